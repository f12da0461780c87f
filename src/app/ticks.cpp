#include "app/ticks.h"

#include "world/movement.h"
#include "world/phases.h"

void run_tick(Game& game, TickId id, Display* display) {
    std::lock_guard<std::recursive_mutex> hold(game.net_lock);
    switch (id) {
        case sim_tick:
            return run_sim_tick(game);
        case phase_tick:
            return run_phase_tick(game);
        case render_tick:
            return run_render_tick(game, display);
    }
}

void run_sim_tick(Game& game) {
    if (game.shell.mode == mode_playing) {
        const InputNotice notice = input_tick(game.input, game.keys, game.pad,
                                              InputTarget{game.cam, game.table, game.session});
        if (notice == notice_no_gamepad) {
            console_print(game.console, kNoGamepadColour, "%s", kNoGamepadText);
        }
        if (game.session.host) {
            for (PlayerRecord& record : game.table.slots) physics_step(record);
        }
    }
    console_fade(game.console);
}

void run_phase_tick(Game& game) {
    if (game.session.client) return;
    PlayerRecord* record = local_record(game.table, game.session);
    if (record) phase_step(*record, game.table, game.effects);
}

void run_render_tick(Game& game, Display* display) {
    if (!display) return;
    display->draw(game);
    display->present();
}
