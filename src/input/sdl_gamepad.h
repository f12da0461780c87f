// The gamepad through SDL's joystick API. One controller at a time is the gamepad; its SDL
// events become gamepad messages of the one event stream. A controller plugged in is only
// taken when chosen.
#pragma once
#include <SDL.h>

#include "input/gamepad_input.h"

constexpr int kMaxListedGamepads = 16;

class SdlGamepad : public GamepadDevices {
  public:
    SdlGamepad() = default;
    SdlGamepad(const SdlGamepad&) = delete;
    SdlGamepad& operator=(const SdlGamepad&) = delete;
    ~SdlGamepad() override;

    // Opens the first attached controller with at least 2 axes and 8 buttons as the
    // gamepad. False when there is none (not an error).
    bool open_first();

    int list(char (*names)[kGamepadNameSize], int max) override;
    // Takes any listed controller, whatever its axes and buttons. The old gamepad stays
    // when the new one cannot be opened.
    bool use(int list_index) override;

    bool present() const { return pad_ != nullptr; }

    // The message an SDL event of the gamepad makes: an axis of X, Y, Z, Rz scaled to
    // -100..100, a button, or the gamepad pulled out (then closed). A gamepad chosen
    // since the last call is reported first, by the message of that choice. False for
    // any other event, which the caller handles.
    bool translate(const SDL_Event& event, Message& msg);
    // The message of a gamepad chosen since the last call; false when none.
    bool take_choice(Message& msg);

  private:
    void take(SDL_Joystick* joystick);
    void close();

    SDL_Joystick* pad_ = nullptr;
    bool chosen_ = false;  // a choice not yet reported to the stream
    SDL_JoystickID listed_[kMaxListedGamepads] = {};
    int listed_count_ = 0;
};

// Scales one SDL axis value (-32768..32767) to -100..100.
int32_t scale_axis(Sint16 value);
