// The work of the three ticks, each run whole under the game's network lock.
//
// sim_tick (10 ms): what the network brought (a client's session that ended, hosts found)
// and a client's camera out to its host; while playing, the input tick (keyboard or
// gamepad) and, on the host, one movement step of all 12 records; in every mode the
// console fades. phase_tick (125 ms): unless this machine is a joined client, one action
// phase of every player in the game, in every mode. render_tick (37 ms): the host's world
// out to its clients, then one frame, then present.
#pragma once

#include "app/game.h"
#include "platform/scheduler.h"

inline constexpr char kNoGamepadText[] =
    "no gamepad is open: plug one in and choose it under settings, or switch to the keyboard";
inline constexpr uint32_t kNoGamepadColour = 0xFFFF4040;

// What the render tick draws the game on and shows it with; the GL screen is one.
class Display {
  public:
    virtual ~Display() = default;
    // Draws one frame of the game into the back buffer. Drawing reads the game; it only
    // moves the camera after the local player and ages the effects it drew.
    virtual void draw(Game& game) = 0;
    // Shows the drawn frame.
    virtual void present() = 0;
};

// Runs one tick by its id, holding the network lock throughout. Without a display the
// render tick draws nothing.
void run_tick(Game& game, TickId id, Display* display);

void run_sim_tick(Game& game);
void run_phase_tick(Game& game);
void run_render_tick(Game& game, Display* display);
