#include "input/bindings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string label(int32_t value, InputType type) {
    char out[kBindingLabelSize];
    binding_label(value, type, out);
    return out;
}

TEST(BindingLabel, LettersOrButtonNumbersAndAnythingOutsideTheAlphabetIsAnError) {
    EXPECT_EQ(label(0, input_keyboard), "A");
    EXPECT_EQ(label(25, input_keyboard), "Z");
    EXPECT_EQ(label(0, input_gamepad), "joy 0");
    EXPECT_EQ(label(25, input_gamepad), "joy 25");
    for (InputType type : {input_keyboard, input_gamepad}) {
        for (int32_t value : {26, 1000000, -1, INT32_MIN}) EXPECT_EQ(label(value, type), "error");
    }
}

TEST(StepBinding, EveryBindingWrapsFromZToAAndOutOfRangeOnesComeBackIntoTheAlphabet) {
    ControlTable controls{};
    set_input_type(controls, input_keyboard);
    for (int entry = 0; entry < control_type; ++entry) {
        controls.entries[entry] = 24;
        step_binding(controls, static_cast<ControlEntry>(entry));
        EXPECT_EQ(controls.entries[entry], 25);
        step_binding(controls, static_cast<ControlEntry>(entry));
        EXPECT_EQ(controls.entries[entry], 0) << "entry " << entry;
    }
    const int32_t bad[] = {26, 1000, -7, INT32_MIN};
    const int32_t stepped[] = {1, 1001 % 26, 0, 0};
    for (int k = 0; k < 4; ++k) {
        controls.entries[control_jump] = bad[k];
        step_binding(controls, control_jump);
        EXPECT_EQ(controls.entries[control_jump], stepped[k]) << bad[k];
    }
    step_binding(controls, control_type);  // no binding
    EXPECT_EQ(controls.entries[control_type], input_keyboard);
}

TEST(StepBinding, GamepadTypeStepsOnlyTheButtonsAndSwitchingTypeKeepsTheBindings) {
    const ControlTable before{{22, 18, 0, 3, 5, 6, 9, input_keyboard}};
    ControlTable controls = before;
    set_input_type(controls, input_gamepad);
    EXPECT_EQ(controls.entries[control_type], input_gamepad);
    set_input_type(controls, input_keyboard);
    for (int i = 0; i < kControlEntryCount; ++i) EXPECT_EQ(controls.entries[i], before.entries[i]);

    controls = ControlTable{{25, 25, 25, 25, 25, 25, 25, input_gamepad}};
    for (int entry = 0; entry < control_type; ++entry) {
        step_binding(controls, static_cast<ControlEntry>(entry));
    }
    for (int entry = 0; entry < control_type; ++entry) {
        EXPECT_EQ(controls.entries[entry], entry < control_primattack ? 25 : 0) << entry;
    }
}

}  // namespace
