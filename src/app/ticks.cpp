#include "app/ticks.h"

#include "app/modes.h"
#include "net/say.h"
#include "world/movement.h"
#include "world/phases.h"

namespace {

constexpr uint64_t kSimTickMs = 10;
constexpr uint32_t kKnockOutColour = 0xFFFFD040;

// What the network brought since the last tick.
void take_network_news(Game& game) {
    NetGame net = net_game(game);
    const NetNews news = take_network(net, *game.net, game.recorder);
    if (news.hosts_changed) {
        fill_server_list(game.dialogs, game.net_state.hosts);
        game.redraw = true;
    }
    if (news.welcomed) enter_joined_game(game);
    if (news.ended) {
        char why[128];
        ended_text(game.net_state, news.reason, why, sizeof why);
        end_game(game, why);
    }
}

// A host's world out to its clients, a client's camera out to its host.
void send_to_network(Game& game) {
    NetGame net = net_game(game);
    if (game.session.host) send_world_when_due(net, *game.net);
    if (game.session.client)
        send_view_when_due(net, *game.net, game.cam, game.sim_ticks * kSimTickMs);
}

const char* slot_name(const Game& game, int slot) {
    return slot >= 0 && slot < kPlayerSlots ? game.table.slots[slot].name : "?";
}

void say_knock_out(Game& game, const KnockOut& knock_out) {
    const char* victim = slot_name(game, knock_out.victim);
    const char* attacker = slot_name(game, knock_out.attacker);
    console_print(game.console, kKnockOutColour, "%s knocked out by %s", victim, attacker);
    say("%s knocked out by %s", victim, attacker);
}

bool editor_shown(const Game& game) {
    return game.shell.mode != mode_playing && game.shell.dialog == dialog_editor;
}

// What this tick made heard: pop-ups, jumps, landings, element changes.
void hear(Game& game) {
    hear_world(game.sound, game.table, game.effects, game.cam);
    play_heard(game.sound, game.speaker);
}

}  // namespace

void run_tick(Game& game, TickId id, Display* display) {
    switch (id) {
        case sim_tick:
            return run_sim_tick(game);
        case phase_tick:
            return run_phase_tick(game);
        case render_tick:
            run_frame_step(game);
            if (display) {
                display->draw(game);
                display->present();
            }
            return end_frame_step(game);
    }
}

void run_sim_tick(Game& game) {
    ++game.sim_ticks;
    if (game.net) take_network_news(game);
    if (game.shell.mode == mode_playing) {
        const InputNotice notice = input_tick(game.input, game.keys, game.pad,
                                              InputTarget{game.cam, game.table, game.session});
        if (notice == notice_no_gamepad) {
            console_print(game.console, kNoGamepadColour, "%s", kNoGamepadText);
        }
        if (game.session.host) {
            for (int slot = 0; slot < kPlayerSlots; ++slot) {
                knockout_step(game.table.slots[slot], slot);
                physics_step(game.table.slots[slot]);
            }
        }
    }
    if (game.net) send_to_network(game);
    console_fade(game.console);
    hear(game);
}

// The host steps every player in the game; a client shows what the host sends.
void run_phase_tick(Game& game) {
    if (!game.session.host) return;
    Fight fight{game.session.knockouts, 0, {}};
    for (PlayerRecord& record : game.table.slots) {
        if (record.slot_state == slot_in_game) phase_step(record, game.table, game.effects, fight);
    }
    for (int i = 0; i < fight.count; ++i) say_knock_out(game, fight.happened[i]);
    hear(game);
}

bool scoreboard_shown(const Game& game) {
    return game.shell.mode == mode_playing && key_down(game.keys, vk_tab);
}

void run_frame_step(Game& game) {
    if (scoreboard_shown(game)) fill_scoreboard(game.dialogs.scoreboard, game.table);
    if (game.shell.mode == mode_playing) {
        if (const PlayerRecord* local = local_record(game.table, game.session)) {
            follow(game.cam, local->position);
        }
    }
    if (editor_shown(game)) {
        editor_edge_moves(game.editor, game.cam, game.keys, game.dialogs.screen_width,
                          game.dialogs.screen_height);
    }
}

void end_frame_step(Game& game) {
    if (game.shell.mode == mode_playing) age_effects(game.effects);
}

bool needs_redraw(const Game& game) {
    return game.shell.mode == mode_playing || editor_shown(game) || game.redraw ||
           console_fading(game.console);
}
