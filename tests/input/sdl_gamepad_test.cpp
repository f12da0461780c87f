#include "input/sdl_gamepad.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Controllers come from SDL's virtual joysticks, so no hardware is needed.
class SdlGamepadTest : public ::testing::Test {
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
    std::vector<std::string> listed() {
        char names[kMaxListedGamepads][kGamepadNameSize];
        return std::vector<std::string>(names, names + pad_.list(names, kMaxListedGamepads));
    }
    // The messages the pad makes of the SDL events now queued.
    std::vector<Message> messages() {
        std::vector<Message> out;
        Message msg;
        if (pad_.take_choice(msg)) out.push_back(msg);
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (pad_.translate(event, msg)) out.push_back(msg);
        }
        return out;
    }

    ::SdlGamepad pad_;
    std::vector<SDL_Joystick*> handles_;
};

// Start-up takes the first controller with two axes and eight buttons; every one is listed
// and can be chosen, and the listed entries follow their controllers when one leaves.
TEST_F(SdlGamepadTest, StartUpTakesTheFirstThatFitsAndAnyListedOneCanBeChosen) {
    SDL_Joystick* seven = attach("seven", 2, 7);
    SDL_Joystick* eight = attach("eight", 4, 8);
    SDL_Joystick* later = attach("later", 4, 16);
    SDL_JoystickUpdate();
    messages();  // what attaching queued
    ASSERT_TRUE(pad_.open_first());
    SDL_JoystickSetVirtualButton(eight, 7, SDL_PRESSED);
    SDL_JoystickSetVirtualAxis(eight, 3, -16384);
    SDL_JoystickSetVirtualButton(later, 1, SDL_PRESSED);  // not the gamepad: no message
    SDL_JoystickUpdate();
    const std::vector<Message> got = messages();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].id, msg_gamepad_device);  // the choice comes first
    EXPECT_EQ(got[0].lparam, 1u);
    bool button = false, axis = false;
    for (const Message& m : got) {
        button |= m.id == msg_gamepad_button && m.wparam == 7 && m.lparam == 1;
        axis |= m.id == msg_gamepad_axis && m.wparam == 3 && static_cast<int32_t>(m.lparam) == -50;
    }
    EXPECT_TRUE(button);
    EXPECT_TRUE(axis);

    ASSERT_EQ(listed(), (std::vector<std::string>{"seven", "eight", "later"}));
    EXPECT_FALSE(pad_.use(3));
    EXPECT_FALSE(pad_.use(-1));
    ASSERT_TRUE(pad_.use(0));  // the one start-up skipped
    ASSERT_TRUE(pad_.use(0));  // choosing it again keeps it
    EXPECT_TRUE(pad_.present());
    detach(seven);
    ASSERT_TRUE(pad_.use(1));   // still "eight", now at device index 0
    EXPECT_FALSE(pad_.use(0));  // "seven" is gone
}

TEST_F(SdlGamepadTest, NoControllerOrAPulledOutOneIsNoGamepad) {
    EXPECT_FALSE(pad_.open_first());
    EXPECT_TRUE(listed().empty());
    EXPECT_FALSE(pad_.use(0));
    EXPECT_TRUE(messages().empty());
    SDL_Joystick* pad = attach("pad", 2, 8);
    ASSERT_TRUE(pad_.open_first());
    messages();
    detach(pad);
    const std::vector<Message> got = messages();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].id, msg_gamepad_device);
    EXPECT_EQ(got[0].lparam, 0u);
    EXPECT_FALSE(pad_.present());
    attach("new", 2, 8);  // a controller plugged in is not taken by itself
    SDL_JoystickUpdate();
    EXPECT_TRUE(messages().empty());
    EXPECT_FALSE(pad_.present());
}

}  // namespace
