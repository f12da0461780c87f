// The gamepad half of the 10 ms input tick and the tick that chooses between the halves.
#pragma once
#include <cstdint>

#include "input/keyboard_input.h"
#include "platform/message.h"

constexpr int kGamepadButtonCount = 128;
constexpr uint8_t kButtonPressed = 0x80;  // bit 7 of a button byte
constexpr int32_t kAxisLimit = 100;       // every axis reads -100..100

constexpr int kGamepadAxes = 4;       // X, Y, Z, Rz
constexpr int kGamepadNameSize = 92;  // fits one list box row

// The gamepad as its messages left it. No gamepad, centred axes and no button pressed when
// value-initialised.
struct GamepadState {
    bool present;
    int32_t x;
    int32_t y;
    int32_t z;
    int32_t rz;
    uint8_t buttons[kGamepadButtonCount];
};

// Gamepad messages move an axis (clamped to -100..100), press or release a button, or
// choose a gamepad (centred, nothing pressed). A gamepad pulled out is centred with
// nothing pressed but stays the chosen one, so a held button still gets its release.
// Other messages change nothing.
void track_gamepad(GamepadState& pad, const Message& msg);

// The controllers attached to this machine, for the settings dialog; the SDL backend is one.
class GamepadDevices {
  public:
    virtual ~GamepadDevices() = default;
    // Writes the names of the attached controllers (at most max, each cut to fit) and
    // returns how many; the list stays in force for use until the next call.
    virtual int list(char (*names)[kGamepadNameSize], int max) = 0;
    // Makes the controller at index of the last list the gamepad; false when it is gone.
    virtual bool use(int index) = 0;
};

// Whether the button byte a binding selects is pressed; false for any index off the pad.
bool gamepad_button_down(const GamepadState& state, int32_t binding);

// One 10 ms gamepad tick: Z and Rz orbit the camera one degree per 10 units, X and Y are
// latched and sent as one Move, then the three buttons emit on their edges.
void gamepad_input_tick(KeyboardInput& input, const GamepadState& state, InputTarget target);

// What the input tick has for the player to read.
enum InputNotice : int32_t {
    notice_none = 0,
    notice_no_gamepad = 1,  // gamepad type, and no gamepad is open
};

// The whole input tick: the gamepad branch in gamepad type, the keyboard branch in
// keyboard type. Without a gamepad the gamepad branch reads it centred with nothing held,
// so the player rests, and says so once (again after a gamepad came and went).
InputNotice input_tick(KeyboardInput& input, const KeyState& keys, const GamepadState& pad,
                       InputTarget target);
