// The gamepad through SDL's joystick API. One controller at a time is the gamepad; a
// controller pulled out makes it absent, and one plugged in is only taken when chosen.
#pragma once
#include <SDL.h>

#include "input/gamepad_input.h"

constexpr int kGamepadNameSize = 92;  // fits one list box row
constexpr int kMaxListedGamepads = 16;

// Opens the first attached controller with at least 2 axes and 8 buttons as the gamepad
// and plugs the gamepad into the input tick. False when there is none (not an error).
bool gamepad_init();
// gamepad_init for the start-up hook, which has no use for the result.
void start_gamepad();

// Writes the names of every attached controller, in device order, into names (at most
// max, each cut to fit) and returns how many it wrote. The list stays in force for
// use_gamepad until the next call.
int list_gamepads(char (*names)[kGamepadNameSize], int max);
// Makes the controller at list_index of the last list the gamepad, whatever its axes and
// buttons. False when that controller is gone or cannot be opened; the old gamepad then
// stays.
bool use_gamepad(int list_index);

bool has_gamepad();

// Reads X, Y, Z and Rz (-100..100; 0 for an axis the pad lacks) and the button bytes.
// A detached or unreadable gamepad gives false and a centred state with nothing pressed.
bool poll_gamepad(GamepadState& state);

// Scales one SDL axis value (-32768..32767) to -100..100.
int32_t scale_axis(Sint16 value);

// Lets the event loop drop a gamepad that was pulled out; other events are ignored.
void gamepad_event(const SDL_Event& event);
