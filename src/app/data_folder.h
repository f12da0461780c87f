// The folder the game runs in: config.cfg and the Data/ files it cannot start without.
#pragma once

#include <string>

#include "config/settings.h"
#include "platform/game_folders.h"

// Chooses the folders from --data (null when not given), the current folder, the
// program's and the environment; false, with one stderr line, when there are none.
bool find_game_folders(const char* data_option, GameFolders& folders);

// The way the game runs and each folder it reads or writes, one a line on stdout.
void print_folders(const GameFolders& folders);

// The first of the files the game cannot run without that is missing from the current
// folder (the texture configuration, the two toon shaders, the dialogs' "shell" skin),
// as the path or name looked for; empty when all are there.
std::string missing_game_data(const Settings& settings);

// Removes what interrupted saves left beside the settings, the maps and the poses the
// player saves; one line says how many.
void remove_unfinished_saves(const GameFolders& folders);

// Checks the current folder before the window opens. False, with one stderr line naming
// the folder and --data, when game data is missing; a folder without config.cfg starts
// with the built-in settings, and one line says so (installed, a first run is no news).
bool check_data_folder(const Settings& settings, const GameFolders& folders);
