// torvi's entry point: the command line, then the game's loop.
#include <memory>

#include "app/game_main.h"

int main(int argc, char** argv) {
    RunOptions options;
    switch (parse_command_line(argc, argv, options)) {
        case CommandLine::help:
            print_usage();
            return kExitOk;
        case CommandLine::bad:
            return kExitBadInput;
        case CommandLine::run:
            break;
    }
    auto game = std::make_unique<Game>();
    return run_game(options, *game);
}
