// Showing and editing the control bindings: what the settings dialog's buttons do.
#pragma once

#include <cstdint>

#include "input/keyboard_input.h"

constexpr int kBindingLabelSize = 16;

// The text shown for a binding: "error" for 26 or more; the letter 'A' + value for the
// keyboard; "joy %d" for the gamepad.
void binding_label(int32_t value, InputType type, char out[kBindingLabelSize]);

// One step of a binding: (binding + 1) mod 26. The four movement bindings step only in
// keyboard type; the three buttons in either type.
void step_binding(ControlTable& controls, ControlEntry entry);

void set_input_type(ControlTable& controls, InputType type);
