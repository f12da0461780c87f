#include "input/gamepad_input.h"

#include "world/camera.h"

namespace {

constexpr float kOneDegree = 0.017453292f;
constexpr int32_t kUnitsPerDegree = 10;

// Whole degrees, cut toward zero, so small stick drift never turns the camera.
float axis_turn(int32_t axis) {
    return static_cast<float>(axis / kUnitsPerDegree) * kOneDegree;
}

bool gamepad_branch(const KeyboardInput& input, const GamepadSource& source) {
    return input.controls.entries[control_type] == input_gamepad && source.present && source.poll &&
           source.present();
}

}  // namespace

GamepadSource& gamepad_source() {
    static GamepadSource source;
    return source;
}

bool gamepad_button_down(const GamepadState& state, int32_t binding) {
    if (binding < 0 || binding >= kGamepadButtonCount) return false;
    return (state.buttons[binding] & kButtonPressed) != 0;
}

void gamepad_input_tick(KeyboardInput& input, const GamepadState& state, InputTarget target) {
    orbit(target.cam, axis_turn(state.z), axis_turn(state.rz));
    input.latch.entries[latch_gamepad_y] = state.y;
    input.latch.entries[latch_gamepad_x] = state.x;
    emit_action(input, target, ActionKind::Move, static_cast<float>(state.x),
                static_cast<float>(state.y));
    for (const ButtonBinding& binding : kButtons) {
        const bool down = gamepad_button_down(state, input.controls.entries[binding.control]);
        emit_button_edge(input, target, binding, down);
    }
}

void input_tick(KeyboardInput& input, const KeyState& keys, const GamepadSource& source,
                InputTarget target) {
    if (gamepad_branch(input, source)) {
        GamepadState state{};
        if (!source.poll(state)) state = GamepadState{};
        gamepad_input_tick(input, state, target);
    } else {
        keyboard_input_tick(input, keys, target);
    }
}
