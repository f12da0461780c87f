// What the play view lays over the world as the player switched it: for now, how much
// the characters' status labels show (F3).
#pragma once

#include "config/settings.h"
#include "skeleton/character_layout.h"

struct Hud {
    StatusLabelMode labels = label_full;
    // As config.cfg had it at start: quitting writes the choice only when it differs.
    StatusLabelMode labels_read = label_full;
};

// [hud] labels: "name" shows the names alone; anything else, or none, the full labels.
void read_hud_settings(Hud& hud, const Settings& settings);

// Full labels and names alone swap.
void toggle_labels(Hud& hud);

// Writes [hud] labels when it differs from what was read; a replay's memory-only settings
// keep it in memory.
void save_hud_settings(Hud& hud, Settings& settings);
