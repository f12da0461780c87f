#include "app/ticks.h"

#include "app/modes.h"
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

namespace {

constexpr uint64_t kSimTickMs = 10;

// What the network brought since the last tick: a client's end, hosts found; and a
// client's camera out to the host, which turns its moves by it.
void net_tick(Game& game) {
    Network& net = *game.net;
    const uint64_t now = game.sim_ticks * kSimTickMs;
    if (game.session.client) {
        net.send_view(game.cam, now);
        char why[128];
        if (net.take_end(now, why, sizeof why)) end_game(game, why);
    }
    if (net.take_hosts_changed()) fill_server_list(game.dialogs, net.hosts());
}

}  // namespace

// What this tick made heard: pop-ups, jumps, landings, element changes.
void hear(Game& game) {
    hear_world(game.sound, game.table, game.effects, game.cam);
    play_heard(game.sound, game.speaker);
}

void run_sim_tick(Game& game) {
    ++game.sim_ticks;
    if (game.net) net_tick(game);
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
    hear(game);
}

// The host steps every player in the game; a client shows what the host sends.
void run_phase_tick(Game& game) {
    if (!game.session.host) return;
    for (PlayerRecord& record : game.table.slots) {
        if (record.slot_state == slot_in_game) phase_step(record, game.table, game.effects);
    }
    hear(game);
}

void run_render_tick(Game& game, Display* display) {
    if (game.net && game.session.host) game.net->send_world();
    if (!display) return;
    display->draw(game);
    display->present();
}
