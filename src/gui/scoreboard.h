// The list of players a player sees while holding Tab in a game: each one in the game with
// its element and how many others it knocked out, in a dialog of the game's skin.
#pragma once

#include "gui/widgets.h"
#include "world/player_table.h"

constexpr int kScoreboardColumns = 3;  // name, element, knock-outs

struct Scoreboard {
    Dialog dialog;
    Label* cells[kPlayerSlots][kScoreboardColumns] = {};  // one row per player, top down
};

// Built once, centred on a screen of that size; every row empty.
void build_scoreboard(Scoreboard& board, int screen_width, int screen_height);

// Fills the rows with the players in the game, in slot order; the rows left over are
// empty. Writes only the labels' fixed buffers.
void fill_scoreboard(Scoreboard& board, const PlayerTable& table);
