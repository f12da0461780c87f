#include "input/keyboard_input.h"

#include <cstring>

#include "config/settings.h"
#include "world/movement.h"

namespace {

constexpr float kOneDegree = 0.017453292f;  // radians the arrows turn the camera per tick
constexpr float kFullMove = 100.0f;

// The settings key of each binding, by ControlEntry.
constexpr const char* kBindingKeys[control_type] = {
    kKeyForward, kKeyBackward, kKeyLeft, kKeyRight, kKeyPrimattack, kKeySecnattack, kKeyJump,
};

bool held(const KeyboardInput& input, const KeyState& keys, ControlEntry control) {
    return key_down(keys, binding_key(input.controls.entries[control]));
}

void turn_camera(const KeyState& keys, Camera& cam) {
    if (key_down(keys, vk_up)) orbit(cam, 0.0f, -kOneDegree);
    if (key_down(keys, vk_down)) orbit(cam, 0.0f, kOneDegree);
    if (key_down(keys, vk_left)) orbit(cam, -kOneDegree, 0.0f);
    if (key_down(keys, vk_right)) orbit(cam, kOneDegree, 0.0f);
}

void emit_move(const KeyboardInput& input, const KeyState& keys, InputTarget& target) {
    float b = 0.0f;
    if (held(input, keys, control_backward)) {
        b = kFullMove;
    } else if (held(input, keys, control_forward)) {
        b = -kFullMove;
    }
    float a = 0.0f;
    if (held(input, keys, control_left)) {
        a = -kFullMove;
    } else if (held(input, keys, control_right)) {
        a = kFullMove;
    }
    emit_action(input, target, kind_move, a, b);
}

void emit_button_edges(KeyboardInput& input, const KeyState& keys, InputTarget& target) {
    for (const ButtonBinding& binding : kButtons) {
        emit_button_edge(input, target, binding, held(input, keys, binding.control));
    }
}

}  // namespace

void emit_action(const KeyboardInput& input, InputTarget& target, ActionKind kind, float a,
                 float b) {
    if (target.session.host) {
        PlayerRecord* record = local_record(target.table, target.session);
        if (record) apply_action(*record, kind, a, b, target.cam);
    } else if (target.session.client && input.sender) {
        input.sender->send_action(kind, a, b);
    }
}

void emit_button_edge(KeyboardInput& input, InputTarget& target, const ButtonBinding& binding,
                      bool down) {
    int32_t& latch = input.latch.entries[binding.latch];
    const float button = static_cast<float>(binding.button);
    if (down && latch == 0) {
        latch = 1;
        emit_action(input, target, kind_button_down, button, 0.0f);
    } else if (!down && latch == 1) {
        latch = 0;
        emit_action(input, target, kind_button_up, button, 0.0f);
    }
}

void init_keyboard_input(KeyboardInput& input) {
    input = KeyboardInput{};
}

void load_control_table(ControlTable& controls, const Settings& settings) {
    char type[kInputTypeBufferSize];
    read_setting_string(settings, kSectionInput, kKeyType, type, sizeof type);
    controls.entries[control_type] =
        std::strcmp(type, kInputTypeGamepad) == 0 ? input_gamepad : input_keyboard;
    for (int entry = 0; entry < control_type; ++entry) {
        controls.entries[entry] = read_setting_int(settings, kSectionInput, kBindingKeys[entry]);
    }
}

void save_control_table(const ControlTable& controls, Settings& settings) {
    const bool gamepad = controls.entries[control_type] == input_gamepad;
    write_setting_string(settings, kSectionInput, kKeyType,
                         gamepad ? kInputTypeGamepad : kInputTypeKeyboard);
    for (const char* key : kBindingKeysInQuitOrder) {
        for (int entry = 0; entry < control_type; ++entry) {
            if (std::strcmp(kBindingKeys[entry], key) == 0) {
                write_setting_int(settings, kSectionInput, key, controls.entries[entry]);
            }
        }
    }
}

int binding_key(int32_t binding) {
    return binding >= 0 && binding < kLetterCount ? 'A' + binding : -1;
}

void keyboard_input_tick(KeyboardInput& input, const KeyState& keys, InputTarget target) {
    if (input.controls.entries[control_type] != input_keyboard) return;
    turn_camera(keys, target.cam);
    emit_move(input, keys, target);
    emit_button_edges(input, keys, target);
}
