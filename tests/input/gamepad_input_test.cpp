#include "input/gamepad_input.h"

#include <gtest/gtest.h>

#include "input_test_support.h"

namespace {

constexpr float kDegree = 0.017453292f;

class GamepadInputTest : public InputTest {
  protected:
    void SetUp() override {
        InputTest::SetUp();
        bind("WSADEFG", input_gamepad);  // the buttons on 4, 5 and 6
        pad_message(gamepad_device_message(true));
    }
    void tick() { gamepad_input_tick(input, state, target()); }
    void full_tick() { input_tick(input, keys, pad, target()); }
    void pad_message(const Message& msg) { track_gamepad(pad, msg); }

    GamepadState state{};  // for the gamepad half alone
    GamepadState pad{};    // kept from gamepad messages, for the whole tick
};

TEST_F(GamepadInputTest, StickGivesOneMoveAndIsLatched) {
    state.x = -40;
    state.y = 70;
    tick();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].kind, kind_move);
    EXPECT_EQ(sent[0].a, -40.0f);
    EXPECT_EQ(sent[0].b, 70.0f);
    EXPECT_EQ(input.latch.entries[latch_gamepad_x], -40);
    EXPECT_EQ(input.latch.entries[latch_gamepad_y], 70);
    state = GamepadState{};
    sent.clear();
    tick();
    ASSERT_EQ(sent.size(), 1u);  // a centred stick still moves by (0, 0)
    EXPECT_EQ(sent[0].a, 0.0f);
    EXPECT_EQ(input.latch.entries[latch_gamepad_x], 0);
}

TEST_F(GamepadInputTest, ThrottleYawsAndRotationPitchesByWholeDegreesCutTowardZero) {
    struct Case {
        int32_t z, rz;
        float yaw, pitch;
    };
    const Case cases[] = {{-15, 0, -1, 0}, {9, -9, 0, 0}, {0, 25, 0, 2}, {100, 0, 10, 0}};
    for (const Case& c : cases) {
        set_camera(cam, {0.0f, 5.0f, 5.0f}, {0.0f, 0.0f, 0.0f});
        Camera expected = cam;
        orbit(expected, c.yaw * kDegree, c.pitch * kDegree);
        state.z = c.z;
        state.rz = c.rz;
        tick();
        EXPECT_FLOAT_EQ(cam.eye.x, expected.eye.x) << c.z << " " << c.rz;
        EXPECT_FLOAT_EQ(cam.eye.y, expected.eye.y) << c.z << " " << c.rz;
        EXPECT_FLOAT_EQ(cam.eye.z, expected.eye.z) << c.z << " " << c.rz;
    }
}

TEST_F(GamepadInputTest, ButtonsEmitOnEdgesInTheirOrder) {
    state.buttons[6] = kButtonPressed;
    state.buttons[4] = kButtonPressed;
    tick();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[1].kind, kind_button_down);
    EXPECT_EQ(sent[1].a, 0.0f);  // primary attack before jump
    EXPECT_EQ(sent[2].kind, kind_button_down);
    EXPECT_EQ(sent[2].a, 2.0f);
    EXPECT_EQ(input.latch.entries[latch_jump], 1);
    EXPECT_EQ(input.latch.entries[latch_primattack], 1);
    for (int i = 0; i < 3; ++i) {  // held: no repeat
        sent.clear();
        tick();
        EXPECT_EQ(sent.size(), 1u);
    }
    state.buttons[6] = 0;
    state.buttons[5] = kButtonPressed;
    sent.clear();
    tick();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[1].kind, kind_button_down);
    EXPECT_EQ(sent[1].a, 1.0f);
    EXPECT_EQ(sent[2].kind, kind_button_up);
    EXPECT_EQ(sent[2].a, 2.0f);
}

TEST_F(GamepadInputTest, OnlyBitSevenMeansPressedAndBindingsOffThePadNever) {
    state.buttons[4] = 0x7F;
    tick();
    EXPECT_EQ(sent.size(), 1u);
    state.buttons[4] = 0x81;
    tick();
    EXPECT_EQ(sent.size(), 3u);

    for (uint8_t& button : state.buttons) button = kButtonPressed;
    EXPECT_TRUE(gamepad_button_down(state, 0));
    EXPECT_TRUE(gamepad_button_down(state, kGamepadButtonCount - 1));
    EXPECT_FALSE(gamepad_button_down(state, kGamepadButtonCount));
    EXPECT_FALSE(gamepad_button_down(state, -1));
    EXPECT_FALSE(gamepad_button_down(state, INT32_MIN));
}

TEST_F(GamepadInputTest, GamepadTypeReadsOnlyThePadAndAPulledOutPadReleasesItsButtons) {
    pad_message(gamepad_axis_message(0, 30));
    pad_message(gamepad_button_message(4, true));
    press('W');
    full_tick();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].a, 30.0f);
    EXPECT_EQ(sent[0].b, 0.0f);  // the W key is not read
    EXPECT_EQ(sent[1].a, 0.0f);
    pad_message(gamepad_device_message(false));
    sent.clear();
    full_tick();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].a, 0.0f);
    EXPECT_EQ(sent[1].kind, kind_button_up);
    EXPECT_EQ(sent[1].a, 0.0f);
}

TEST_F(GamepadInputTest, WithoutAPadGamepadTypeReadsNothingAndKeyboardTypeReadsTheKeys) {
    press('W');
    press(vk_right);
    const Vec3 eye = cam.eye;
    pad = GamepadState{};  // no gamepad chosen
    full_tick();
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(cam.eye.x, eye.x);  // nor the arrows

    input.controls.entries[control_type] = input_keyboard;
    pad_message(gamepad_device_message(true));
    pad_message(gamepad_axis_message(0, 30));
    release(vk_right);
    full_tick();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].a, 0.0f);
    EXPECT_EQ(sent[0].b, -100.0f);
}

TEST_F(GamepadInputTest, MessagesClampAxesAndIgnoreWhatIsOffThePad) {
    pad_message(gamepad_axis_message(1, -5000));
    pad_message(gamepad_axis_message(kGamepadAxes, 50));
    pad_message(gamepad_button_message(kGamepadButtonCount, true));
    pad_message(key_message(true, 'W'));
    EXPECT_EQ(pad.y, -100);
    EXPECT_EQ(pad.x, 0);
    EXPECT_TRUE(pad.present);
}

}  // namespace
