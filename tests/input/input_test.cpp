// The 10 ms input tick from keys and from a gamepad, the bindings and their labels, and the
// control table in config.cfg.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <tuple>
#include <vector>

#include "input/bindings.h"
#include "input/gamepad_input.h"
#include "input/keyboard_input.h"
#include "support/temp_folder.h"

namespace {

constexpr float kDegree = 0.017453292f;

struct SentAction {
    ActionKind kind;
    float a, b;
};
std::vector<SentAction> sent;

struct Recorder : ActionSender {
    void send_action(ActionKind kind, float a, float b) override { sent.push_back({kind, a, b}); }
} recorder;

// A joined client records every action, so each test sees exactly what a tick emits. The
// keys are bound W S A D for movement, F G J for the buttons; a gamepad is attached.
class InputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sent.clear();
        init_keyboard_input(input);
        input.sender = &recorder;
        bind("WSADFGJ", input_keyboard);
        init_key_state(keys);
        init_player_table(table);
        init_session_state(session);
        session.client = true;
        session.local_player_index = 0;
        set_camera(cam, {0.0f, 5.0f, 5.0f}, {0.0f, 0.0f, 0.0f});
        pad_message(gamepad_device_message(true));
    }

    // The seven bindings as letters, in table order, and the input type.
    void bind(const char (&letters)[8], InputType type) {
        for (int i = 0; i < control_type; ++i) input.controls.entries[i] = letters[i] - 'A';
        input.controls.entries[control_type] = type;
    }
    void press(int vk) { track_message(keys, key_message(true, vk)); }
    void release(int vk) { track_message(keys, key_message(false, vk)); }
    void pad_message(const Message& msg) { track_gamepad(pad, msg); }
    InputTarget target() { return InputTarget{cam, table, session}; }
    void tick() { input_tick(input, keys, pad, target()); }
    void pad_tick() { gamepad_input_tick(input, state, target()); }  // the gamepad half alone
    SentAction only_move() {
        sent.clear();
        tick();
        EXPECT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent.at(0).kind, kind_move);
        return sent.at(0);
    }

    KeyboardInput input;
    KeyState keys;
    PlayerTable table;
    SessionState session;
    Camera cam{};
    GamepadState pad{};    // kept from gamepad messages, for the whole tick
    GamepadState state{};  // for the gamepad half alone
};

// Every tick moves along full-scale axes, backward and left winning; the buttons go out on
// their edges only, primary attack before jump.
TEST_F(InputTest, KeysMoveEveryTickAndButtonsEmitOnEdgesInTheirOrder) {
    for (int i = 0; i < 3; ++i) {  // no key still gives a move every tick
        const SentAction move = only_move();
        EXPECT_EQ(move.a, 0.0f);
        EXPECT_EQ(move.b, 0.0f);
    }
    for (auto [vk, a, b] : {std::tuple{'W', 0.0f, -100.0f},
                            {'S', 0.0f, 100.0f},
                            {'D', 100.0f, 100.0f},
                            {'A', -100.0f, 100.0f}}) {
        press(vk);  // held on: S over W, A over D
        const SentAction move = only_move();
        EXPECT_TRUE(move.a == a && move.b == b) << vk;
    }

    press('J');
    press('F');
    sent.clear();
    tick();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_TRUE(sent[1].kind == kind_button_down && sent[1].a == 0.0f);
    EXPECT_TRUE(sent[2].kind == kind_button_down && sent[2].a == 2.0f);
    only_move();  // held: no repeat
    release('J');
    sent.clear();
    tick();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_TRUE(sent[1].kind == kind_button_up && sent[1].a == 2.0f);
    EXPECT_EQ(input.latch.entries[latch_jump], 0);
    EXPECT_EQ(input.latch.entries[latch_primattack], 1);
}

TEST_F(InputTest, BindingsOutsideTheAlphabetMeanNoKeyAndSharedBindingsAllFire) {
    input.controls.entries[control_jump] = -3;
    input.controls.entries[control_forward] = 1000;
    for (int vk = 0; vk < kVirtualKeyCount; ++vk) press(vk);
    tick();
    EXPECT_EQ(sent[0].b, 100.0f);  // only backward
    EXPECT_EQ(sent.size(), 3u);    // the two attacks; no jump

    init_key_state(keys);
    input.latch = InputLatch{};
    bind("AAAAAAA", input_keyboard);  // what an empty config.cfg gives
    press('A');
    sent.clear();
    tick();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0].b, 100.0f);
    EXPECT_EQ(sent[0].a, -100.0f);
    EXPECT_EQ(sent[3].a, 2.0f);
}

// Each arrow turns one degree a tick, and its opposite turns back.
TEST_F(InputTest, ArrowsOrbitTheCameraOneDegreePerTick) {
    const Vec3 start = cam.eye;
    press(vk_right);
    tick();
    EXPECT_NEAR(std::atan2(cam.eye.x, cam.eye.z), kDegree, 1e-5f);
    EXPECT_NEAR(std::hypot(cam.eye.x, cam.eye.z), std::hypot(start.x, start.z), 1e-4f);
    release(vk_right);
    press(vk_up);
    tick();
    EXPECT_NE(cam.eye.y, start.y);
    release(vk_up);
    press(vk_left);
    press(vk_down);
    tick();
    EXPECT_NEAR(cam.eye.x, start.x, 1e-4f);
    EXPECT_NEAR(cam.eye.y, start.y, 1e-4f);
}

// The stick's move goes out every tick, latched; a centred stick still moves by (0, 0).
// Messages clamp the axes and leave alone what is off the pad.
TEST_F(InputTest, GamepadTypeReadsOnlyThePadAndAPulledOutPadReleasesItsButtons) {
    bind("WSADEFG", input_gamepad);  // the buttons on 4, 5 and 6
    pad_message(gamepad_axis_message(kGamepadAxes, 50));
    pad_message(gamepad_button_message(kGamepadButtonCount, true));
    pad_message(gamepad_axis_message(2, -5000));
    EXPECT_EQ(pad.z, -100);
    pad_message(gamepad_axis_message(2, 0));
    pad_message(gamepad_axis_message(0, 30));
    pad_message(gamepad_axis_message(1, -70));
    pad_message(gamepad_button_message(4, true));
    press('S');
    tick();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].kind, kind_move);
    EXPECT_EQ(sent[0].a, 30.0f);
    EXPECT_EQ(sent[0].b, -70.0f);  // the S key is not read
    EXPECT_EQ(input.latch.entries[latch_gamepad_x], 30);
    EXPECT_EQ(input.latch.entries[latch_gamepad_y], -70);
    EXPECT_EQ(sent[1].a, 0.0f);
    pad_message(gamepad_device_message(false));
    sent.clear();
    tick();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].a, 0.0f);
    EXPECT_EQ(input.latch.entries[latch_gamepad_y], 0);
    EXPECT_EQ(sent[1].kind, kind_button_up);
    EXPECT_EQ(sent[1].a, 0.0f);
}

// Without a gamepad, gamepad type rests the player and says so once; no key is read.
TEST_F(InputTest, WithoutAPadGamepadTypeRestsAndSaysSoOnceAndKeyboardTypeIgnoresThePad) {
    bind("WSADEFG", input_gamepad);
    press('W');
    press(vk_right);
    const Vec3 eye = cam.eye;
    pad = GamepadState{};  // no gamepad chosen
    EXPECT_EQ(input_tick(input, keys, pad, target()), notice_no_gamepad);
    EXPECT_EQ(input_tick(input, keys, pad, target()), notice_none);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_TRUE(sent[0].kind == kind_move && sent[0].a == 0.0f && sent[0].b == 0.0f);
    EXPECT_EQ(cam.eye.x, eye.x);  // nor the arrows
    sent.clear();

    input.controls.entries[control_type] = input_keyboard;
    pad_message(gamepad_device_message(true));
    pad_message(gamepad_axis_message(0, 30));
    release(vk_right);
    EXPECT_EQ(only_move().a, 0.0f);
    EXPECT_EQ(sent[0].b, -100.0f);
}

TEST_F(InputTest, ThrottleYawsAndRotationPitchesByWholeDegreesCutTowardZero) {
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
        pad_tick();
        EXPECT_FLOAT_EQ(cam.eye.x, expected.eye.x) << c.z << " " << c.rz;
        EXPECT_FLOAT_EQ(cam.eye.y, expected.eye.y) << c.z << " " << c.rz;
        EXPECT_FLOAT_EQ(cam.eye.z, expected.eye.z) << c.z << " " << c.rz;
    }
}

// The pad's button edges go out as the keyboard's do (above).
TEST(GamepadButtons, BindingsOffThePadAreNeverDown) {
    GamepadState state{};
    for (uint8_t& button : state.buttons) button = kButtonPressed;
    EXPECT_TRUE(gamepad_button_down(state, kGamepadButtonCount - 1));
    for (int32_t off : {kGamepadButtonCount, -1, INT32_MIN}) {
        EXPECT_FALSE(gamepad_button_down(state, off)) << off;
    }
}

// Loading and saving go through config.cfg in a folder of the test's own.
TEST(ControlTableFile, MissingFileGivesTheShippedKeysOnlyExactGamepadSelectsItAndSavesLoadBack) {
    const TempFolder folder("torvi-input-");
    const WorkingFolder inside(folder.path());
    ASSERT_TRUE(folder.ok() && inside.ok());
    Settings settings;
    load_settings(settings);
    ControlTable controls{{3, 3, 3, 3, 3, 3, 9, input_gamepad}};
    load_control_table(controls, settings);  // W S A D walk, K and L attack, J jumps
    const ControlTable shipped{{22, 18, 0, 3, 10, 11, 9, input_keyboard}};
    for (int i = 0; i < kControlEntryCount; ++i) EXPECT_EQ(controls.entries[i], shipped.entries[i]);

    std::ofstream("config.cfg") << "[input]\ntype=Gamepad\njump=9\nsecnattack=6\n";
    load_settings(settings);
    load_control_table(controls, settings);
    EXPECT_EQ(controls.entries[control_type], input_keyboard);
    EXPECT_EQ(controls.entries[control_jump], 9);
    EXPECT_EQ(controls.entries[control_secnattack], 6);

    const ControlTable saved{{22, 18, 0, 3, 5, 6, 9, input_gamepad}};
    save_control_table(saved, settings);
    load_settings(settings);
    load_control_table(controls, settings);
    for (int i = 0; i < kControlEntryCount; ++i) EXPECT_EQ(controls.entries[i], saved.entries[i]);
}

// Letters and button numbers show in the settings dialog, and the dialog steps them in
// either input type (app tests); here the errors, the wrap and bad bindings.
TEST(Bindings, OutsideTheAlphabetLabelsAreErrorsAndSteppingWrapsBackIntoIt) {
    char out[kBindingLabelSize];
    for (InputType type : {input_keyboard, input_gamepad}) {
        for (int32_t value : {26, 1000000, -1, INT32_MIN}) {
            binding_label(value, type, out);
            EXPECT_STREQ(out, "error") << value;
        }
    }
    ControlTable controls{{25, 25, 25, 25, 25, 25, 25, input_keyboard}};
    for (int entry = 0; entry <= control_type; ++entry) {
        step_binding(controls, static_cast<ControlEntry>(entry));
    }
    for (int entry = 0; entry < control_type; ++entry) EXPECT_EQ(controls.entries[entry], 0);
    EXPECT_EQ(controls.entries[control_type], input_keyboard);  // no binding to step
    const int32_t bad[] = {26, 1000, -7, INT32_MIN};
    const int32_t stepped[] = {1, 1001 % 26, 0, 0};
    for (int k = 0; k < 4; ++k) {
        controls.entries[control_jump] = bad[k];
        step_binding(controls, control_jump);
        EXPECT_EQ(controls.entries[control_jump], stepped[k]) << bad[k];
    }
}

}  // namespace
