#include "input/sdl_gamepad.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Controllers come from SDL's virtual joysticks, so no hardware is needed.
class SdlGamepad : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    }
    void SetUp() override { ASSERT_EQ(SDL_NumJoysticks(), 0) << "a real controller is attached"; }
    void TearDown() override {
        for (SDL_Joystick* handle : handles_) SDL_JoystickClose(handle);
        for (int i = SDL_NumJoysticks() - 1; i >= 0; --i) SDL_JoystickDetachVirtual(i);
        SDL_JoystickUpdate();
        EXPECT_FALSE(has_gamepad());  // a pulled-out gamepad becomes absent
    }

    // Attaches a controller and keeps a handle of the test's own to move its axes and buttons.
    SDL_Joystick* attach(const char* name, int axes, int buttons) {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = static_cast<Uint16>(axes);
        desc.nbuttons = static_cast<Uint16>(buttons);
        desc.name = name;
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        EXPECT_GE(index, 0) << SDL_GetError();
        SDL_Joystick* handle = SDL_JoystickOpen(index);
        EXPECT_NE(handle, nullptr) << SDL_GetError();
        handles_.push_back(handle);
        return handle;
    }
    void detach(SDL_Joystick* handle) {
        const SDL_JoystickID id = SDL_JoystickInstanceID(handle);
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
        }
        SDL_JoystickUpdate();
    }
    std::vector<std::string> listed(int max = kMaxListedGamepads) {
        char names[kMaxListedGamepads][kGamepadNameSize];
        const int count = list_gamepads(names, max);
        return std::vector<std::string>(names, names + count);
    }
    // A state full of junk, so a poll that fails must clear it.
    static GamepadState junk() {
        GamepadState state;
        std::memset(&state, 0x5A, sizeof state);
        return state;
    }

    std::vector<SDL_Joystick*> handles_;
};

TEST_F(SdlGamepad, StartUpTakesTheFirstWithTwoAxesAndEightButtons) {
    attach("seven", 2, 7);
    SDL_Joystick* eight = attach("eight", 2, 8);
    attach("later", 4, 16);
    ASSERT_TRUE(gamepad_init());
    EXPECT_TRUE(has_gamepad());
    EXPECT_EQ(gamepad_source().present, has_gamepad);
    SDL_JoystickSetVirtualButton(eight, 7, SDL_PRESSED);
    SDL_JoystickUpdate();
    GamepadState state = junk();
    ASSERT_TRUE(poll_gamepad(state));
    EXPECT_EQ(state.buttons[7], kButtonPressed);
    EXPECT_EQ(state.buttons[0], 0);
    EXPECT_EQ(state.buttons[8], 0);  // past the pad's buttons
    EXPECT_EQ(state.z, 0);           // a pad without Z reads it centred
    EXPECT_EQ(state.rz, 0);
}

TEST_F(SdlGamepad, NoControllerIsNoGamepadAndASkippedOneIsListedAndCanBeChosen) {
    EXPECT_FALSE(gamepad_init());
    EXPECT_FALSE(has_gamepad());
    GamepadState state = junk();
    EXPECT_FALSE(poll_gamepad(state));
    EXPECT_EQ(state.x, 0);
    EXPECT_TRUE(listed().empty());
    EXPECT_FALSE(use_gamepad(0));

    attach("seven", 2, 7);
    EXPECT_FALSE(gamepad_init());
    EXPECT_FALSE(has_gamepad());
    ASSERT_EQ(listed(), std::vector<std::string>{"seven"});
    EXPECT_FALSE(use_gamepad(1));
    EXPECT_FALSE(use_gamepad(-1));
    EXPECT_FALSE(has_gamepad());
    ASSERT_TRUE(use_gamepad(0));
    EXPECT_TRUE(has_gamepad());
    EXPECT_TRUE(poll_gamepad(state));
}

TEST_F(SdlGamepad, ListHoldsEveryControllerInDeviceOrder) {
    attach("first", 1, 0);
    attach("second", 6, 32);
    const std::string long_name(200, 'n');
    attach(long_name.c_str(), 2, 8);
    const std::vector<std::string> names = listed();
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[0], "first");
    EXPECT_EQ(names[1], "second");
    EXPECT_EQ(names[2], long_name.substr(0, kGamepadNameSize - 1));
    EXPECT_EQ(listed(2).size(), 2u);
    EXPECT_TRUE(listed(0).empty());
    EXPECT_EQ(list_gamepads(nullptr, 4), 0);
}

TEST_F(SdlGamepad, ChoosingAnotherSwitchesAndChoosingAgainKeepsIt) {
    SDL_Joystick* first = attach("first", 2, 8);
    SDL_Joystick* second = attach("second", 2, 8);
    ASSERT_TRUE(gamepad_init());
    listed();
    ASSERT_TRUE(use_gamepad(1));
    ASSERT_TRUE(use_gamepad(1));
    SDL_JoystickSetVirtualButton(first, 0, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(second, 1, SDL_PRESSED);
    SDL_JoystickUpdate();
    GamepadState state;
    ASSERT_TRUE(poll_gamepad(state));
    EXPECT_EQ(state.buttons[0], 0);
    EXPECT_EQ(state.buttons[1], kButtonPressed);
    detach(first);
    EXPECT_TRUE(has_gamepad());  // only the other one left
}

TEST_F(SdlGamepad, ListedEntryFollowsItsControllerWhenAnEarlierOneLeaves) {
    SDL_Joystick* first = attach("first", 2, 8);
    SDL_Joystick* second = attach("second", 2, 7);
    ASSERT_EQ(listed().size(), 2u);
    detach(first);
    EXPECT_FALSE(use_gamepad(0));  // gone
    ASSERT_TRUE(use_gamepad(1));
    SDL_JoystickSetVirtualButton(second, 6, SDL_PRESSED);
    SDL_JoystickUpdate();
    GamepadState state;
    ASSERT_TRUE(poll_gamepad(state));
    EXPECT_EQ(state.buttons[6], kButtonPressed);
}

TEST_F(SdlGamepad, AxesReadScaledInOrderXYZRzAndAPulledOutPadPollsCentredWithNothingHeld) {
    SDL_Joystick* pad = attach("pad", 4, 8);
    ASSERT_TRUE(gamepad_init());
    const Sint16 axes[4] = {32767, -32768, 0, -16384};
    for (int k = 0; k < 4; ++k) SDL_JoystickSetVirtualAxis(pad, k, axes[k]);
    SDL_JoystickSetVirtualButton(pad, 3, SDL_PRESSED);
    SDL_JoystickUpdate();
    GamepadState state;
    ASSERT_TRUE(poll_gamepad(state));
    EXPECT_EQ(state.x, 100);
    EXPECT_EQ(state.y, -100);
    EXPECT_EQ(state.z, 0);
    EXPECT_EQ(state.rz, -50);
    EXPECT_EQ(state.buttons[3], kButtonPressed);
    detach(pad);
    state = junk();
    EXPECT_FALSE(poll_gamepad(state));
    EXPECT_EQ(state.x | state.y | state.z | state.rz, 0);
    for (uint8_t button : state.buttons) EXPECT_EQ(button, 0);
    EXPECT_FALSE(has_gamepad());
    EXPECT_FALSE(poll_gamepad(state));  // and again, with nothing left to read
}

TEST_F(SdlGamepad, RemovedEventDropsTheGamepadAndAnAddedOneIsNotTaken) {
    SDL_Joystick* pad = attach("pad", 2, 8);
    ASSERT_TRUE(gamepad_init());
    SDL_Event event{};
    event.type = SDL_JOYDEVICEREMOVED;
    event.jdevice.which = SDL_JoystickInstanceID(pad) + 1;
    gamepad_event(event);
    EXPECT_TRUE(has_gamepad());  // some other controller
    event.jdevice.which = SDL_JoystickInstanceID(pad);
    gamepad_event(event);
    EXPECT_FALSE(has_gamepad());
    attach("new", 2, 8);
    event.type = SDL_JOYDEVICEADDED;
    event.jdevice.which = 1;
    gamepad_event(event);
    EXPECT_FALSE(has_gamepad());
}

TEST(ScaleAxis, MapsSdlRangeOntoPlusMinusHundredCutTowardZero) {
    const int cases[][2] = {{32767, 100},  {-32768, -100}, {0, 0},    {16384, 50},
                            {-16384, -50}, {327, 0},       {-328, -1}};
    for (const auto& c : cases) EXPECT_EQ(scale_axis(c[0]), c[1]) << c[0];
}

}  // namespace
