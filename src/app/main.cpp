// torvi's entry point: the command line, then the game's loop.
#include <memory>

#include "app/game_main.h"

int main(int argc, char** argv) {
    RunOptions options;
    switch (parse_command_line(argc, argv, options)) {
        case command_line_help:
            print_usage();
            return kExitOk;
        case command_line_bad:
            return kExitBadInput;
        case command_line_run:
            break;
    }
    auto game = std::make_unique<Game>();
    return run_game(options, *game);
}
