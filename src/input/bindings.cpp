#include "input/bindings.h"

#include <cstdio>

namespace {

constexpr char kErrorLabel[] = "error";
constexpr char kGamepadLabelFormat[] = "joy %d";
constexpr char kStickLabel[] = "axis xy";

bool movement_entry(ControlEntry entry) {
    return entry == control_forward || entry == control_backward || entry == control_left ||
           entry == control_right;
}

bool steppable(const ControlTable& controls, ControlEntry entry) {
    if (entry < control_forward || entry >= control_type) return false;
    return !movement_entry(entry) || controls.entries[control_type] == input_keyboard;
}

bool valid_binding(int32_t value) {
    return value >= 0 && value < kLetterCount;
}

// The binding msg presses in that type; -1 for none.
int32_t pressed_binding(const Message& msg, InputType type) {
    if (type == input_keyboard && msg.id == msg_key_down && msg.wparam >= 'A' &&
        msg.wparam <= 'Z') {
        return static_cast<int32_t>(msg.wparam - 'A');
    }
    if (type == input_gamepad && msg.id == msg_gamepad_button && msg.lparam != 0 &&
        msg.wparam < static_cast<uint32_t>(kLetterCount)) {
        return static_cast<int32_t>(msg.wparam);
    }
    return -1;
}

}  // namespace

void binding_label(int32_t value, InputType type, char out[kBindingLabelSize]) {
    if (value < 0 || value >= kLetterCount) {
        std::snprintf(out, kBindingLabelSize, "%s", kErrorLabel);
    } else if (type == input_gamepad) {
        std::snprintf(out, kBindingLabelSize, kGamepadLabelFormat, value);
    } else {
        std::snprintf(out, kBindingLabelSize, "%c", static_cast<char>('A' + value));
    }
}

void control_label(const ControlTable& controls, ControlEntry entry, char out[kBindingLabelSize]) {
    const InputType type = static_cast<InputType>(controls.entries[control_type]);
    if (movement_entry(entry) && type == input_gamepad) {
        std::snprintf(out, kBindingLabelSize, "%s", kStickLabel);
    } else if (entry < control_forward || entry >= control_type) {
        std::snprintf(out, kBindingLabelSize, "%s", kErrorLabel);
    } else {
        binding_label(controls.entries[entry], type, out);
    }
}

void step_binding(ControlTable& controls, ControlEntry entry) {
    if (!steppable(controls, entry)) return;
    int32_t& binding = controls.entries[entry];
    // A negative binding from a hand-edited file restarts at the first key or button.
    binding = binding < 0 ? 0 : (binding + 1) % kLetterCount;
}

bool bind_pressed(ControlTable& controls, ControlEntry entry, const Message& msg) {
    const int32_t value =
        pressed_binding(msg, static_cast<InputType>(controls.entries[control_type]));
    if (value < 0 || !steppable(controls, entry)) return false;
    controls.entries[entry] = value;
    return true;
}

bool binding_clashes(const ControlTable& controls, ControlEntry entry) {
    if (!steppable(controls, entry) || !valid_binding(controls.entries[entry])) return false;
    for (int other = control_forward; other < control_type; ++other) {
        const auto other_entry = static_cast<ControlEntry>(other);
        if (other_entry != entry && steppable(controls, other_entry) &&
            controls.entries[other] == controls.entries[entry]) {
            return true;
        }
    }
    return false;
}

void set_input_type(ControlTable& controls, InputType type) {
    controls.entries[control_type] = type;
}
