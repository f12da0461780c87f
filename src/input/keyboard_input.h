// The control bindings and the keyboard half of the 10 ms input tick: held keys become
// camera turns, one Move action every tick, and button actions on each change.
#pragma once
#include <cstdint>

#include "config/settings.h"
#include "platform/key_state.h"
#include "world/action_sender.h"
#include "world/camera.h"
#include "world/player_table.h"

enum InputType : int32_t {
    input_keyboard = 1,
    input_gamepad = 2,
};

// The entries of the ControlTable. Keyboard bindings are letter numbers: n means 'A' + n.
enum ControlEntry : int {
    control_forward = 0,
    control_backward = 1,
    control_left = 2,
    control_right = 3,
    control_primattack = 4,
    control_secnattack = 5,
    control_jump = 6,
    control_type = 7,  // an InputType
};
constexpr int kControlEntryCount = 8;
constexpr int kLetterCount = 26;

struct ControlTable {
    int32_t entries[kControlEntryCount];
};

// What the tick remembers between ticks (each held flag 0 or 1).
enum LatchEntry : int {
    latch_gamepad_y = 0,
    latch_gamepad_x = 1,
    latch_jump = 2,
    latch_primattack = 3,
    latch_secnattack = 4,
};
constexpr int kLatchEntryCount = 5;

struct InputLatch {
    int32_t entries[kLatchEntryCount];
};

struct KeyboardInput {
    ControlTable controls;
    InputLatch latch;
    ActionSender* sender;  // a joined client's session; nullptr without one
    bool told_no_gamepad;  // the player was told once that no gamepad is open
};

// Every entry zero, no sender.
void init_keyboard_input(KeyboardInput& input);

// Reads section "input" of config.cfg: "type" first ("gamepad" selects the gamepad,
// anything else the keyboard), then the seven bindings (0 when missing).
void load_control_table(ControlTable& controls, const Settings& settings);
// Writes "type", then backward, forward, left, right, jump, primattack, secnattack.
void save_control_table(const ControlTable& controls, Settings& settings);

// The virtual key of a letter binding; -1 (no key) for anything outside 0..25.
int binding_key(int32_t binding);

// Where the tick's actions go: the local record on the host, the sender on a client.
struct InputTarget {
    Camera& cam;
    PlayerTable& table;
    const SessionState& session;
};

// One button of the tick: its binding, its latch and the ActionButton it sends.
struct ButtonBinding {
    ControlEntry control;
    LatchEntry latch;
    ActionButton button;
};
constexpr int kButtonCount = 3;

// The order in which both branches of the tick test the buttons.
constexpr ButtonBinding kButtons[kButtonCount] = {
    {control_primattack, latch_primattack, button_primary_attack},
    {control_secnattack, latch_secnattack, button_secondary_attack},
    {control_jump, latch_jump, button_jump},
};

// Applies an action to the local record on the host, sends it on a client, else drops it.
void emit_action(const KeyboardInput& input, InputTarget& target, ActionKind kind, float a,
                 float b);
// ButtonDown when down with the latch clear, ButtonUp when up with it set; else nothing.
void emit_button_edge(KeyboardInput& input, InputTarget& target, const ButtonBinding& binding,
                      bool down);

// One 10 ms keyboard tick. Arrows turn the camera one degree; then one Move (backward
// wins over forward, left over right); then ButtonDown/ButtonUp for primary attack,
// secondary attack and jump when their key changed since the last tick. Reads nothing
// when the gamepad is the input type.
void keyboard_input_tick(KeyboardInput& input, const KeyState& keys, InputTarget target);
