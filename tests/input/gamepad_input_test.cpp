#include "input/gamepad_input.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr float kDegree = 0.017453292f;

struct SentAction {
    ActionKind kind;
    float a;
    float b;
};
std::vector<SentAction>* sent_ = nullptr;

class GamepadInputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sent_ = &sent;
        init_keyboard_input(input);
        input.send_action = [](ActionKind kind, float a, float b) {
            sent_->push_back({kind, a, b});
        };
        input.controls =
            ControlTable{{'W' - 'A', 'S' - 'A', 'A' - 'A', 'D' - 'A', 4, 5, 6, input_gamepad}};
        init_key_state(keys);
        init_player_table(table);
        init_session_state(session);
        session.client = true;
        set_camera(cam, {0.0f, 5.0f, 5.0f}, {0.0f, 0.0f, 0.0f});
        pad = GamepadState{};
        track_gamepad(pad, gamepad_device_message(true));
    }
    void TearDown() override { sent_ = nullptr; }

    InputTarget target() { return InputTarget{cam, table, session}; }
    void tick() { gamepad_input_tick(input, state, target()); }
    void full_tick() { input_tick(input, keys, pad, target()); }
    void pad_message(const Message& msg) { track_gamepad(pad, msg); }
    GamepadState pad{};
    void press(int button) { state.buttons[button] = kButtonPressed; }
    void release(int button) { state.buttons[button] = 0; }
    // The eye after orbiting a fresh camera by the given whole degrees.
    Vec3 eye_after(float yaw_degrees, float pitch_degrees) {
        Camera expected{};
        set_camera(expected, {0.0f, 5.0f, 5.0f}, {0.0f, 0.0f, 0.0f});
        orbit(expected, yaw_degrees * kDegree, pitch_degrees * kDegree);
        return expected.eye;
    }
    void expect_eye(Vec3 eye) {
        EXPECT_FLOAT_EQ(cam.eye.x, eye.x);
        EXPECT_FLOAT_EQ(cam.eye.y, eye.y);
        EXPECT_FLOAT_EQ(cam.eye.z, eye.z);
    }

    std::vector<SentAction> sent;
    KeyboardInput input;
    GamepadState state{};
    KeyState keys;
    PlayerTable table;
    SessionState session;
    Camera cam{};
};

TEST_F(GamepadInputTest, StickGivesOneMoveAndIsLatched) {
    state.x = -40;
    state.y = 70;
    tick();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].kind, ActionKind::Move);
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

TEST_F(GamepadInputTest, OrbitTurnsWholeDegreesCutTowardZero) {
    state.z = -15;
    tick();
    expect_eye(eye_after(-1.0f, 0.0f));
}

TEST_F(GamepadInputTest, SmallAxisValuesDoNotTurn) {
    state.z = 9;
    state.rz = -9;
    const Vec3 before = cam.eye;
    tick();
    expect_eye(before);
}

TEST_F(GamepadInputTest, RotationAxisPitchesAndThrottleYaws) {
    state.rz = 25;
    tick();
    expect_eye(eye_after(0.0f, 2.0f));
    set_camera(cam, {0.0f, 5.0f, 5.0f}, {0.0f, 0.0f, 0.0f});
    state.rz = 0;
    state.z = 100;
    tick();
    expect_eye(eye_after(10.0f, 0.0f));
}

TEST_F(GamepadInputTest, ButtonsEmitOnEdgesInTheirOrder) {
    press(6);
    press(4);
    tick();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[1].kind, ActionKind::ButtonDown);
    EXPECT_EQ(sent[1].a, 0.0f);  // primary attack before jump
    EXPECT_EQ(sent[2].kind, ActionKind::ButtonDown);
    EXPECT_EQ(sent[2].a, 2.0f);
    EXPECT_EQ(input.latch.entries[latch_jump], 1);
    EXPECT_EQ(input.latch.entries[latch_primattack], 1);
    for (int i = 0; i < 3; ++i) {  // held: no repeat
        sent.clear();
        tick();
        EXPECT_EQ(sent.size(), 1u);
    }
    release(6);
    press(5);
    sent.clear();
    tick();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[1].kind, ActionKind::ButtonDown);
    EXPECT_EQ(sent[1].a, 1.0f);
    EXPECT_EQ(sent[2].kind, ActionKind::ButtonUp);
    EXPECT_EQ(sent[2].a, 2.0f);
}

TEST_F(GamepadInputTest, OnlyBitSevenMeansPressed) {
    state.buttons[4] = 0x7F;
    tick();
    EXPECT_EQ(sent.size(), 1u);
    state.buttons[4] = 0x81;
    tick();
    EXPECT_EQ(sent.size(), 3u);
}

TEST_F(GamepadInputTest, BindingsOffThePadAreNeverPressed) {
    for (uint8_t& button : state.buttons) button = kButtonPressed;
    EXPECT_TRUE(gamepad_button_down(state, 0));
    EXPECT_TRUE(gamepad_button_down(state, kGamepadButtonCount - 1));
    EXPECT_FALSE(gamepad_button_down(state, kGamepadButtonCount));
    EXPECT_FALSE(gamepad_button_down(state, -1));
    EXPECT_FALSE(gamepad_button_down(state, INT32_MIN));
}

TEST_F(GamepadInputTest, GamepadTypeWithAPadRunsTheGamepadBranch) {
    pad_message(gamepad_axis_message(0, 30));
    pad_message(gamepad_button_message(6, true));
    track_message(keys, key_message(true, 'W'));
    full_tick();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].a, 30.0f);
    EXPECT_EQ(sent[0].b, 0.0f);  // the W key is not read
    EXPECT_EQ(sent[1].a, 2.0f);
}

TEST_F(GamepadInputTest, MessagesClampAxesAndIgnoreWhatIsOffThePad) {
    pad_message(gamepad_axis_message(1, -5000));
    pad_message(gamepad_axis_message(kGamepadAxes, 50));
    pad_message(gamepad_button_message(kGamepadButtonCount, true));
    EXPECT_EQ(pad.y, -100);
    EXPECT_EQ(pad.x, 0);
    pad_message(key_message(true, 'W'));
    EXPECT_TRUE(pad.present);
}

TEST_F(GamepadInputTest, PulledOutPadReadsCentredAndReleasesHeldButtons) {
    pad_message(gamepad_axis_message(0, 50));
    pad_message(gamepad_button_message(4, true));
    full_tick();
    pad_message(gamepad_device_message(false));
    sent.clear();
    full_tick();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].a, 0.0f);
    EXPECT_EQ(sent[1].kind, ActionKind::ButtonUp);
    EXPECT_EQ(sent[1].a, 0.0f);
}

TEST_F(GamepadInputTest, GamepadTypeWithoutAPadReadsNothing) {
    track_message(keys, key_message(true, 'W'));
    pad = GamepadState{};
    full_tick();
    EXPECT_TRUE(sent.empty());
}

TEST_F(GamepadInputTest, KeyboardTypeReadsKeysEvenWithAPad) {
    input.controls.entries[control_type] = input_keyboard;
    pad_message(gamepad_axis_message(0, 30));
    track_message(keys, key_message(true, 'W'));
    full_tick();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].a, 0.0f);
    EXPECT_EQ(sent[0].b, -100.0f);
}

}  // namespace
