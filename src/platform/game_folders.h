// Where the game reads and writes. Portable: one folder holding config.cfg and Data/ (the
// repository, or --data DIR) is read and written. Installed: the data beside the program
// is only read, and what the player makes goes to the XDG folders.
#pragma once

#include <string>

#include "platform/file_search.h"

// The data folder relative to the installed program's folder (CMake's bin to share/torvi).
extern const char kDataBesideProgram[];

enum RunMode { run_portable, run_installed };

struct GameFolders {
    RunMode mode = run_portable;
    std::string data = ".";  // the game runs in it: Data/ and config.cfg's paths are read here
    std::string settings = "config.cfg";  // read at start, saved by the settings dialogs
    std::string shipped_settings;         // installed: what a first save starts from
    FilePlaces maps{"Data/maps/", "Data/maps/"};
    FilePlaces bones{"Data/bones/", "Data/bones/"};
};

// What the choice looks at besides the disk; a null variable is unset.
struct FolderInputs {
    const char* data_option = nullptr;  // --data DIR
    std::string current;                // the current folder
    std::string program;                // the running program's folder; empty when unknown
    const char* home = nullptr;
    const char* config_home = nullptr;  // $XDG_CONFIG_HOME
    const char* data_home = nullptr;    // $XDG_DATA_HOME
};

// --data DIR, or a current folder holding config.cfg and Data/: portable there. Else
// Data/ in program/kDataBesideProgram: installed. Else portable in the current folder,
// whose check then says what is missing. False, why filled, when installed with no home.
bool choose_game_folders(const FolderInputs& in, GameFolders& out, std::string& why);

// The running program's folder, from /proc/self/exe; empty when unknown.
std::string program_folder();

// Makes the player's folders of an installed game. False, with a stderr line, when one
// cannot be made (a read-only home).
bool make_user_folders(const GameFolders& folders);

// "portable" or "installed".
const char* run_mode_name(RunMode mode);
