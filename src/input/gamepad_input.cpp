#include "input/gamepad_input.h"

#include "world/camera.h"

namespace {

constexpr float kOneDegree = 0.017453292f;
constexpr int32_t kUnitsPerDegree = 10;

// Whole degrees, cut toward zero, so small stick drift never turns the camera.
float axis_turn(int32_t axis) {
    return static_cast<float>(axis / kUnitsPerDegree) * kOneDegree;
}

bool gamepad_type(const KeyboardInput& input) {
    return input.controls.entries[control_type] == input_gamepad;
}

int32_t clamp_axis(int32_t value) {
    return value < -kAxisLimit ? -kAxisLimit : value > kAxisLimit ? kAxisLimit : value;
}

void centre(GamepadState& pad) {
    const bool present = pad.present;
    pad = GamepadState{};
    pad.present = present;
}

}  // namespace

void track_gamepad(GamepadState& pad, const Message& msg) {
    if (msg.id == msg_gamepad_axis) {
        const int32_t value = clamp_axis(static_cast<int32_t>(msg.lparam));
        int32_t* axes[kGamepadAxes] = {&pad.x, &pad.y, &pad.z, &pad.rz};
        if (msg.wparam < kGamepadAxes) *axes[msg.wparam] = value;
    } else if (msg.id == msg_gamepad_button) {
        if (msg.wparam < kGamepadButtonCount) {
            pad.buttons[msg.wparam] = msg.lparam != 0 ? kButtonPressed : 0;
        }
    } else if (msg.id == msg_gamepad_device) {
        if (msg.lparam != 0) pad.present = true;
        centre(pad);
    }
}

bool gamepad_button_down(const GamepadState& state, int32_t binding) {
    if (binding < 0 || binding >= kGamepadButtonCount) return false;
    return (state.buttons[binding] & kButtonPressed) != 0;
}

void gamepad_input_tick(KeyboardInput& input, const GamepadState& state, InputTarget target) {
    orbit(target.cam, axis_turn(state.z), axis_turn(state.rz));
    input.latch.entries[latch_gamepad_y] = state.y;
    input.latch.entries[latch_gamepad_x] = state.x;
    emit_action(input, target, kind_move, static_cast<float>(state.x), static_cast<float>(state.y));
    for (const ButtonBinding& binding : kButtons) {
        const bool down = gamepad_button_down(state, input.controls.entries[binding.control]);
        emit_button_edge(input, target, binding, down);
    }
}

InputNotice input_tick(KeyboardInput& input, const KeyState& keys, const GamepadState& pad,
                       InputTarget target) {
    if (!gamepad_type(input)) {
        keyboard_input_tick(input, keys, target);
        return notice_none;
    }
    gamepad_input_tick(input, pad.present ? pad : GamepadState{}, target);
    const bool tell = !pad.present && !input.told_no_gamepad;
    input.told_no_gamepad = !pad.present;
    return tell ? notice_no_gamepad : notice_none;
}
