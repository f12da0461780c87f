// Showing and editing the control bindings: what the settings dialog's buttons do.
#pragma once

#include <cstdint>

#include "input/keyboard_input.h"
#include "platform/message.h"

constexpr int kBindingLabelSize = 16;

// The text shown for a binding: "error" for 26 or more; the letter 'A' + value for the
// keyboard; "joy %d" for the gamepad. A negative value (only a hand-edited file gives one)
// is no key or button either, so it shows "error" too.
void binding_label(int32_t value, InputType type, char out[kBindingLabelSize]);

// The label the settings dialog shows for one of the seven bindings: "axis xy" for the
// movement bindings in gamepad type (the stick moves), else binding_label.
void control_label(const ControlTable& controls, ControlEntry entry, char out[kBindingLabelSize]);

// One step of a binding: (binding + 1) mod 26. The four movement bindings step only in
// keyboard type; the three buttons in either type. A negative binding steps to 0.
void step_binding(ControlTable& controls, ControlEntry entry);

// Binds what msg pressed to the entry at once: a letter key in keyboard type, a gamepad
// button 0..25 in gamepad type (the labels name no other). True when the entry now holds
// it; false, changing nothing, for a release, any other key or button, the other device,
// or a movement entry in gamepad type (the stick moves).
bool bind_pressed(ControlTable& controls, ControlEntry entry, const Message& msg);

// Whether another binding in use in the current type holds the same key or button as
// entry. In gamepad type only the three buttons count; "error" bindings never clash.
bool binding_clashes(const ControlTable& controls, ControlEntry entry);

// Switches the device the tick reads; the seven bindings stay as they are.
void set_input_type(ControlTable& controls, InputType type);
