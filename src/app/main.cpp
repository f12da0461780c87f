// torvi's entry point: the command line, then the game's loop.
#include <memory>

#include "app/data_folder.h"
#include "app/game_main.h"

namespace {

// --help and --version end with the folders this start would use.
int print_folders_for(const RunOptions& options) {
    GameFolders folders;
    if (!find_game_folders(options.data_dir, folders)) return kExitBadInput;
    print_folders(folders);
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    RunOptions options;
    switch (parse_command_line(argc, argv, options)) {
        case command_line_help:
            print_usage();
            return print_folders_for(options);
        case command_line_version:
            print_version();
            return print_folders_for(options);
        case command_line_bad:
            return kExitBadInput;
        case command_line_run:
            break;
    }
    auto game = std::make_unique<Game>();
    return run_game(options, *game);
}
