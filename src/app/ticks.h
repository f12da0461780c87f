// The work of the ticks. Ticks change the game; drawing only reads it.
//
// sim_tick (10 ms): what the network brought (a host's remote events, a client's world,
// hosts found); while playing, the input tick (keyboard or gamepad) and, on the host, one
// movement step of all 12 records; then a host's world (every third tick) or a client's
// camera goes out; in every mode the console fades. phase_tick (125 ms): unless this
// machine is a joined client, one action phase of every player in the game, in every mode.
// render_tick (37 ms): before the frame is drawn the camera follows the local player in
// play and the cursor at a screen edge moves the editor's camera; after it the effects
// age in play. Both run whether or not the frame is drawn.
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
    // Draws one frame of the game into the back buffer.
    virtual void draw(const Game& game) = 0;
    // Shows the drawn frame.
    virtual void present() = 0;
};

// One tick outside the loop (tests, tools): a render tick draws and presents on display
// whenever there is one.
void run_tick(Game& game, TickId id, Display* display);

void run_sim_tick(Game& game);
void run_phase_tick(Game& game);
void run_frame_step(Game& game);
void end_frame_step(Game& game);

// Whether the picture can differ from the one drawn last: always while the world or the
// editor's view is shown, in the menu only after a change.
// Whether the list of players shows: Tab held in a game.
bool scoreboard_shown(const Game& game);
bool needs_redraw(const Game& game);
