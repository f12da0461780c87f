#include "app/ticks.h"

#include "input/gamepad_input.h"
#include "world/movement.h"
#include "world/phases.h"

TickHooks& tick_hooks() {
    static TickHooks hooks;
    return hooks;
}

std::recursive_mutex& net_lock() {
    static std::recursive_mutex lock;
    return lock;
}

Game process_game() {
    return Game{shell(),  player_table(), session_state(),  effect_list(),
                camera(), key_state(),    keyboard_input(), tick_hooks()};
}

void run_tick(Game& game, TickId id) {
    std::lock_guard<std::recursive_mutex> hold(net_lock());
    switch (id) {
        case sim_tick:
            return run_sim_tick(game);
        case phase_tick:
            return run_phase_tick(game);
        case render_tick:
            return run_render_tick(game);
    }
}

void run_sim_tick(Game& game) {
    if (game.shell.mode == mode_playing) {
        input_tick(game.input, game.keys, gamepad_source(),
                   InputTarget{game.cam, game.table, game.session});
        if (game.session.host) {
            for (PlayerRecord& record : game.table.slots) physics_step(record);
        }
    }
    if (game.hooks.console_fade) game.hooks.console_fade();
}

void run_phase_tick(Game& game) {
    if (game.session.client) return;
    PlayerRecord* record = local_record(game.table, game.session);
    if (record) phase_step(*record, game.table, game.effects);
}

void run_render_tick(Game& game) {
    if (game.hooks.frame) game.hooks.frame();
    if (game.hooks.present) game.hooks.present();
}
