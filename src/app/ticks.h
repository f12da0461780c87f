// The work of the three ticks, each run whole under the NetLock.
//
// sim_tick (10 ms): while playing, the input tick (keyboard or gamepad) and, on the host, one
// movement step of all 12 records; in every mode the console fades. phase_tick (125 ms): unless
// this machine is a joined client, one action phase of the local player, in every mode.
// render_tick (37 ms): one frame, then present.
#pragma once
#include <mutex>

#include "app/modes.h"
#include "effects/effect_list.h"
#include "input/keyboard_input.h"
#include "platform/key_state.h"
#include "platform/scheduler.h"

// What later work plugs into the ticks; an empty hook is skipped.
struct TickHooks {
    // Draws one frame into the back buffer (the world in play, the menu's backdrop and
    // dialogs otherwise). The shell installs a plain clear until the renderer replaces it.
    void (*frame)() = nullptr;
    // Shows the drawn frame; installed by the window.
    void (*present)() = nullptr;
    // Ages the console's lines.
    void (*console_fade)() = nullptr;
};

// The process-wide hooks.
TickHooks& tick_hooks();

// The one re-entrant lock that serialises the ticks with the network handlers.
std::recursive_mutex& net_lock();

// Everything a tick works on.
struct Game {
    Shell& shell;
    PlayerTable& table;
    SessionState& session;
    EffectList& effects;
    Camera& cam;
    const KeyState& keys;
    KeyboardInput& input;
    TickHooks& hooks;
};

// The process-wide objects.
Game process_game();

// Runs one tick by its id, holding the NetLock throughout.
void run_tick(Game& game, TickId id);

void run_sim_tick(Game& game);
void run_phase_tick(Game& game);
void run_render_tick(Game& game);
