#include "input/bindings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "support/temp_folder.h"

namespace {

std::string label(int32_t value, InputType type) {
    char out[kBindingLabelSize];
    binding_label(value, type, out);
    return out;
}

std::string shown(const ControlTable& controls, ControlEntry entry) {
    char out[kBindingLabelSize];
    control_label(controls, entry, out);
    return out;
}

ControlTable table_of(InputType type) {
    ControlTable controls{{0, 1, 2, 3, 4, 5, 6, type}};
    return controls;
}

TEST(BindingLabel, KeyboardShowsTheLetter) {
    EXPECT_EQ(label(0, input_keyboard), "A");
    EXPECT_EQ(label(9, input_keyboard), "J");
    EXPECT_EQ(label(25, input_keyboard), "Z");
}

TEST(BindingLabel, GamepadShowsTheButtonNumber) {
    EXPECT_EQ(label(3, input_gamepad), "joy 3");
    EXPECT_EQ(label(0, input_gamepad), "joy 0");
    EXPECT_EQ(label(25, input_gamepad), "joy 25");
}

TEST(BindingLabel, AnythingOutsideTheAlphabetIsAnError) {
    for (InputType type : {input_keyboard, input_gamepad}) {
        EXPECT_EQ(label(26, type), "error");
        EXPECT_EQ(label(1000000, type), "error");
        EXPECT_EQ(label(-1, type), "error");
        EXPECT_EQ(label(INT32_MIN, type), "error");
    }
}

TEST(BindingLabel, MovementShowsTheStickInGamepadType) {
    const ControlTable pad = table_of(input_gamepad);
    EXPECT_EQ(shown(pad, control_forward), "axis xy");
    EXPECT_EQ(shown(pad, control_right), "axis xy");
    EXPECT_EQ(shown(pad, control_primattack), "joy 4");
    EXPECT_EQ(shown(pad, control_jump), "joy 6");
    const ControlTable keys = table_of(input_keyboard);
    EXPECT_EQ(shown(keys, control_forward), "A");
    EXPECT_EQ(shown(keys, control_right), "D");
    EXPECT_EQ(shown(keys, control_jump), "G");
}

TEST(StepBinding, EveryBindingWrapsFromZToAInKeyboardType) {
    ControlTable controls{};
    set_input_type(controls, input_keyboard);
    for (int entry = 0; entry < control_type; ++entry) {
        controls.entries[entry] = 24;
        step_binding(controls, static_cast<ControlEntry>(entry));
        EXPECT_EQ(controls.entries[entry], 25);
        step_binding(controls, static_cast<ControlEntry>(entry));
        EXPECT_EQ(controls.entries[entry], 0) << "entry " << entry;
    }
}

TEST(StepBinding, GamepadTypeStepsOnlyTheButtons) {
    ControlTable controls{{25, 25, 25, 25, 25, 25, 25, input_gamepad}};
    for (int entry = 0; entry < control_type; ++entry) {
        step_binding(controls, static_cast<ControlEntry>(entry));
    }
    for (ControlEntry moving : {control_forward, control_backward, control_left, control_right}) {
        EXPECT_EQ(controls.entries[moving], 25);
    }
    for (ControlEntry button : {control_primattack, control_secnattack, control_jump}) {
        EXPECT_EQ(controls.entries[button], 0);
    }
    EXPECT_EQ(label(controls.entries[control_jump], input_gamepad), "joy 0");
    EXPECT_EQ(controls.entries[control_type], input_gamepad);
}

TEST(StepBinding, OutOfRangeBindingsComeBackIntoTheAlphabet) {
    ControlTable controls = table_of(input_keyboard);
    controls.entries[control_jump] = 26;
    controls.entries[control_forward] = 1000;
    controls.entries[control_left] = -7;
    controls.entries[control_right] = INT32_MIN;
    step_binding(controls, control_jump);
    step_binding(controls, control_forward);
    step_binding(controls, control_left);
    step_binding(controls, control_right);
    EXPECT_EQ(controls.entries[control_jump], 1);
    EXPECT_EQ(controls.entries[control_forward], 1001 % 26);
    EXPECT_EQ(controls.entries[control_left], 0);
    EXPECT_EQ(controls.entries[control_right], 0);
}

TEST(StepBinding, TheTypeEntryIsNoBinding) {
    ControlTable controls = table_of(input_keyboard);
    step_binding(controls, control_type);
    EXPECT_EQ(controls.entries[control_type], input_keyboard);
}

TEST(SetInputType, SwitchingAndBackKeepsTheBindings) {
    const ControlTable before{{22, 18, 0, 3, 5, 6, 9, input_keyboard}};
    ControlTable controls = before;
    set_input_type(controls, input_gamepad);
    EXPECT_EQ(controls.entries[control_type], input_gamepad);
    set_input_type(controls, input_keyboard);
    for (int i = 0; i < kControlEntryCount; ++i) EXPECT_EQ(controls.entries[i], before.entries[i]);
}

// An empty config.cfg in a folder of the test's own.
TEST(EmptyConfig, GivesKeyboardTypeAndSevenLabelsReadingA) {
    ControlTable controls{{3, 3, 3, 3, 3, 3, 3, input_gamepad}};
    {
        const TempFolder folder("torvi-bindings-");
        ASSERT_TRUE(folder.ok());
        const WorkingFolder inside(folder.path());
        ASSERT_TRUE(inside.ok());
        std::ofstream("config.cfg").close();
        load_control_table(controls);
    }

    EXPECT_EQ(controls.entries[control_type], input_keyboard);
    for (int entry = 0; entry < control_type; ++entry) {
        EXPECT_EQ(shown(controls, static_cast<ControlEntry>(entry)), "A");
    }
}

}  // namespace
