// The folder the game runs in: config.cfg and the Data/ files it cannot start without.
#pragma once

#include <string>

#include "config/settings.h"

// The first of the files the game cannot run without that is missing from the current
// folder (the texture configuration, the two toon shaders, the dialogs' "shell" skin),
// as the path or name looked for; empty when all are there.
std::string missing_game_data(const Settings& settings);

// Removes what interrupted saves left beside config.cfg, the maps and the poses; one line
// says how many.
void remove_unfinished_saves();

// Checks the current folder before the window opens. False, with one stderr line naming
// the folder and --data, when game data is missing; a folder without config.cfg starts
// with the built-in settings, and one line says so.
bool check_data_folder(const Settings& settings);
