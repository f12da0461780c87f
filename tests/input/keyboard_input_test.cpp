// Keyboard input, the bindings and their labels, and the control table in config.cfg.
#include "input/keyboard_input.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>

#include "input/bindings.h"
#include "input_test_support.h"
#include "support/temp_folder.h"

namespace {

class KeyboardInputTest : public InputTest {
  protected:
    void SetUp() override {
        InputTest::SetUp();
        bind("WSADFGJ", input_keyboard);
    }
    void tick() { keyboard_input_tick(input, keys, target()); }
    SentAction only_move() {
        sent.clear();
        tick();
        EXPECT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent.at(0).kind, kind_move);
        return sent.at(0);
    }
};

TEST_F(KeyboardInputTest, EveryTickMovesAlongFullScaleAxesBackwardAndLeftWinning) {
    for (int i = 0; i < 3; ++i) {  // no key still gives a move every tick
        const SentAction move = only_move();
        EXPECT_EQ(move.a, 0.0f);
        EXPECT_EQ(move.b, 0.0f);
    }
    press('W');
    EXPECT_EQ(only_move().b, -100.0f);
    press('S');
    EXPECT_EQ(only_move().b, 100.0f);
    press('D');
    EXPECT_EQ(only_move().a, 100.0f);
    press('A');
    EXPECT_EQ(only_move().a, -100.0f);
}

TEST_F(KeyboardInputTest, ButtonsEmitOnEdgesOnlyInTheirOrder) {
    press('J');
    press('F');
    tick();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].kind, kind_move);
    EXPECT_EQ(sent[1].kind, kind_button_down);
    EXPECT_EQ(sent[1].a, 0.0f);  // primary attack before jump
    EXPECT_EQ(sent[2].kind, kind_button_down);
    EXPECT_EQ(sent[2].a, 2.0f);
    only_move();  // held: no repeat
    only_move();
    release('J');
    sent.clear();
    tick();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].kind, kind_button_up);
    EXPECT_EQ(sent[1].a, 2.0f);
    EXPECT_EQ(input.latch.entries[latch_jump], 0);
    EXPECT_EQ(input.latch.entries[latch_primattack], 1);
}

TEST_F(KeyboardInputTest, BindingsOutsideTheAlphabetMeanNoKeyAndSharedBindingsAllFire) {
    EXPECT_EQ(binding_key(0), 'A');
    EXPECT_EQ(binding_key(25), 'Z');
    EXPECT_EQ(binding_key(26), -1);
    EXPECT_EQ(binding_key(-1), -1);
    input.controls.entries[control_jump] = -3;
    input.controls.entries[control_forward] = 1000;
    for (int vk = 0; vk < kVirtualKeyCount; ++vk) press(vk);
    tick();
    EXPECT_EQ(sent[0].b, 100.0f);  // only backward
    EXPECT_EQ(sent.size(), 3u);    // the two attacks; no jump

    init_key_state(keys);
    init_keyboard_input(input);
    input.send_action = [](ActionKind kind, float a, float b) { sent_->push_back({kind, a, b}); };
    bind("AAAAAAA", input_keyboard);  // what an empty config.cfg gives
    press('A');
    sent.clear();
    tick();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0].b, 100.0f);
    EXPECT_EQ(sent[0].a, -100.0f);
    EXPECT_EQ(sent[3].a, 2.0f);
}

TEST_F(KeyboardInputTest, ArrowsOrbitTheCameraOneDegreePerTick) {
    const float radius = std::hypot(cam.eye.x, cam.eye.z);
    press(vk_right);
    tick();
    EXPECT_NEAR(std::atan2(cam.eye.x, cam.eye.z), 0.017453292f, 1e-5f);
    EXPECT_NEAR(std::hypot(cam.eye.x, cam.eye.z), radius, 1e-4f);
    tick();
    EXPECT_NEAR(std::fabs(std::atan2(cam.eye.x, cam.eye.z)), 2 * 0.017453292f, 1e-5f);
    release(vk_right);
    press(vk_left);
    tick();
    tick();
    EXPECT_NEAR(cam.eye.x, 0.0f, 1e-4f);  // back where it started
    release(vk_left);
    const float height = cam.eye.y;
    press(vk_up);
    tick();
    EXPECT_NE(cam.eye.y, height);
    release(vk_up);
    press(vk_down);
    tick();
    EXPECT_NEAR(cam.eye.y, height, 1e-4f);  // down undoes up
}

TEST_F(KeyboardInputTest, TheHostAppliesToTheLocalRecordAndNobodyDrops) {
    session.client = false;
    session.host = true;
    table.slots[0].slot_state = slot_in_game;
    press('J');
    tick();
    EXPECT_TRUE(sent.empty());
    EXPECT_FLOAT_EQ(table.slots[0].velocity.y, 200.0f);
    session.host = false;
    release('J');
    tick();
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(input.latch.entries[latch_jump], 0);  // the edge is still taken
}

// Loading and saving go through config.cfg in a folder of the test's own.
TEST(ControlTableFile, MissingFileGivesKeyboardOnAOnlyExactGamepadSelectsItAndSavesLoadBack) {
    const TempFolder folder("torvi-input-");
    ASSERT_TRUE(folder.ok());
    const WorkingFolder inside(folder.path());
    ASSERT_TRUE(inside.ok());
    ControlTable controls{{3, 3, 3, 3, 3, 3, 9, input_gamepad}};
    load_control_table(controls);
    EXPECT_EQ(controls.entries[control_type], input_keyboard);
    for (int i = 0; i < control_type; ++i) EXPECT_EQ(controls.entries[i], 0);

    std::ofstream("config.cfg") << "[input]\ntype=Gamepad\njump=9\nsecnattack=6\n";
    load_control_table(controls);
    EXPECT_EQ(controls.entries[control_type], input_keyboard);
    EXPECT_EQ(controls.entries[control_jump], 9);
    EXPECT_EQ(controls.entries[control_secnattack], 6);
    std::ofstream("config.cfg") << "[input]\ntype=gamepad\n";
    load_control_table(controls);
    EXPECT_EQ(controls.entries[control_type], input_gamepad);

    const ControlTable saved{{22, 18, 0, 3, 5, 6, 9, input_gamepad}};
    save_control_table(saved);
    load_control_table(controls);
    for (int i = 0; i < kControlEntryCount; ++i) EXPECT_EQ(controls.entries[i], saved.entries[i]);
}

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
