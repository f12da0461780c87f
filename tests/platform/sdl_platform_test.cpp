// The SDL side of the platform layer, on the offscreen driver.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/sdl_events.h"
#include "platform/sdl_message_box.h"
#include "platform/sdl_window.h"

namespace {

class SdlPlatform : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        ASSERT_TRUE(video_.start());
        ASSERT_TRUE(window_.open(true));
    }

    SdlVideo video_;
    GameWindow window_;
};

SDL_Event key_event(Uint32 type, SDL_Keycode key, bool repeat = false) {
    SDL_Event e{};
    e.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat;
    e.key.keysym.sym = key;
    return e;
}

TEST_F(SdlPlatform, KeysBecomeVirtualKeyMessages) {
    EXPECT_EQ(window_.width(), kWindowedWidth);
    EXPECT_EQ(window_.height(), kWindowedHeight);
    EXPECT_FALSE(has_real_display());
    Message msg{};
    ASSERT_TRUE(translate_event(key_event(SDL_KEYDOWN, SDLK_w), window_, msg));
    EXPECT_EQ(msg.id, static_cast<uint32_t>(msg_key_down));
    EXPECT_EQ(msg.wparam, static_cast<uint32_t>('W'));
    ASSERT_TRUE(translate_event(key_event(SDL_KEYDOWN, SDLK_w, true), window_, msg));
    EXPECT_EQ(msg.lparam & kKeyRepeatBit, kKeyRepeatBit);
    ASSERT_TRUE(translate_event(key_event(SDL_KEYUP, SDLK_ESCAPE), window_, msg));
    EXPECT_EQ(msg.id, static_cast<uint32_t>(msg_key_up));
    EXPECT_EQ(msg.wparam, 27u);
    EXPECT_FALSE(translate_event(key_event(SDL_KEYDOWN, SDLK_F5), window_, msg));
    EXPECT_EQ(virtual_key(SDLK_9), '9');
    EXPECT_EQ(virtual_key(SDLK_KP_ENTER), vk_enter);
    EXPECT_EQ(virtual_key(SDLK_DOWN), vk_down);
}

TEST_F(SdlPlatform, MouseEventsCarryPixelsAndButtons) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = 300;
    e.motion.y = 200;
    e.motion.state = SDL_BUTTON_LMASK | SDL_BUTTON_MMASK;
    Message msg{};
    ASSERT_TRUE(translate_event(e, window_, msg));
    EXPECT_EQ(msg.id, static_cast<uint32_t>(msg_mouse_move));
    EXPECT_EQ(msg.lparam, pack_point(300, 200));
    EXPECT_EQ(msg.wparam, static_cast<uint32_t>(mouse_bit_left | mouse_bit_middle));

    e = SDL_Event{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = SDL_PRESSED;
    e.button.clicks = 2;
    e.button.x = 5;
    e.button.y = 6;
    ASSERT_TRUE(translate_event(e, window_, msg));
    EXPECT_EQ(msg.id, static_cast<uint32_t>(msg_lbutton_dblclk));
    e.button.button = SDL_BUTTON_RIGHT;
    e.button.clicks = 1;
    ASSERT_TRUE(translate_event(e, window_, msg));
    EXPECT_EQ(msg.id, static_cast<uint32_t>(msg_rbutton_down));
    e.button.button = SDL_BUTTON_X1;
    EXPECT_FALSE(translate_event(e, window_, msg));

    // Closing the window either way becomes the close message.
    e.type = SDL_QUIT;
    ASSERT_TRUE(translate_event(e, window_, msg));
    EXPECT_EQ(msg.id, static_cast<uint32_t>(msg_close));
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    ASSERT_TRUE(translate_event(e, window_, msg));
    EXPECT_EQ(msg.id, static_cast<uint32_t>(msg_close));
}

TEST_F(SdlPlatform, ErrorBoxWithoutAScreenPrintsCutTo255CharactersInsteadOfWaiting) {
    set_error_box_window(window_.handle());
    testing::internal::CaptureStderr();
    ErrorBox("Kein HAL-Device - das wird langsam! (%d)", 8);
    ErrorBox("%s", std::string(1000, 'x').c_str());
    const std::string err = testing::internal::GetCapturedStderr();
    set_error_box_window(nullptr);
    EXPECT_NE(err.find("Kein HAL-Device - das wird langsam! (8)"), std::string::npos) << err;
    EXPECT_NE(err.find(std::string(255, 'x')), std::string::npos);
    EXPECT_EQ(err.find(std::string(256, 'x')), std::string::npos);
}

TEST_F(SdlPlatform, AMissingCursorFileKeepsTheSystemCursor) {
    testing::internal::CaptureStderr();
    window_.load_cursor("/nonexistent/main.cur");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("using the system cursor"), std::string::npos) << err;
}

}  // namespace
