// torvi's entry point: the command line, then the game's loop.
#include <cstdio>

#include "app/game_main.h"
#include "app/gl_game_setup.h"

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
    install_game_hooks();
    return run_game(options);
}
