#include "app/game.h"

#include "app/modes.h"

Game::Game() {
    init_player_table(table);
    init_session_state(session);
    init_effect_list(effects);
    init_key_state(keys);
    init_keyboard_input(input);
    init_net_game_state(net_state);
}

NetGame net_game(Game& game) {
    return NetGame{game.table, game.session, game.map, game.effects, game.console, game.net_state};
}

void GameCommands::send_command(uint32_t command_id) {
    window_procedure(game_, command_message(command_id));
}

void track_input(Game& game, const Message& msg) {
    track_message(game.keys, msg);
    track_gamepad(game.pad, msg);
}
