// The gamepad half of the 10 ms input tick and the tick that chooses between the halves.
#pragma once
#include <cstdint>

#include "input/keyboard_input.h"

constexpr int kGamepadButtonCount = 128;
constexpr uint8_t kButtonPressed = 0x80;  // bit 7 of a button byte
constexpr int32_t kAxisLimit = 100;       // every axis reads -100..100

// One reading of the gamepad. Centred axes and no button pressed when value-initialised.
struct GamepadState {
    int32_t x;
    int32_t y;
    int32_t z;
    int32_t rz;
    uint8_t buttons[kGamepadButtonCount];
};

// Where the tick gets the gamepad from; the SDL backend plugs itself in. An empty source
// means no gamepad.
struct GamepadSource {
    bool (*present)() = nullptr;
    bool (*poll)(GamepadState& state) = nullptr;
};

// The process-wide source.
GamepadSource& gamepad_source();

// Whether the button byte a binding selects is pressed; false for any index off the pad.
bool gamepad_button_down(const GamepadState& state, int32_t binding);

// One 10 ms gamepad tick: Z and Rz orbit the camera one degree per 10 units, X and Y are
// latched and sent as one Move, then the three buttons emit on their edges.
void gamepad_input_tick(KeyboardInput& input, const GamepadState& state, InputTarget target);

// The whole input tick: the gamepad branch in gamepad type with a gamepad present (an
// unreadable pad counts as centred with nothing held), the keyboard branch in keyboard
// type, nothing otherwise.
void input_tick(KeyboardInput& input, const KeyState& keys, const GamepadSource& source,
                InputTarget target);
