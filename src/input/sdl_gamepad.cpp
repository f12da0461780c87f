#include "input/sdl_gamepad.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kMinAxes = 2;
constexpr int kMinButtons = 8;
constexpr int32_t kSdlAxisMax = 32767;
constexpr int32_t kSdlAxisMin = 32768;  // magnitude of SDL's lowest axis value

bool joystick_ready() {
    // A gamepad keeps playing while another window has the keyboard focus.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    return SDL_WasInit(SDL_INIT_JOYSTICK) != 0 || SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
}

bool suitable(SDL_Joystick* joystick) {
    return SDL_JoystickNumAxes(joystick) >= kMinAxes &&
           SDL_JoystickNumButtons(joystick) >= kMinButtons;
}

int device_index_of(SDL_JoystickID id) {
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (SDL_JoystickGetDeviceInstanceID(i) == id) return i;
    }
    return -1;
}

}  // namespace

SdlGamepad::~SdlGamepad() {
    close();
}

void SdlGamepad::close() {
    if (pad_) SDL_JoystickClose(pad_);
    pad_ = nullptr;
}

// Opens the new one before closing the old, so choosing the same controller again keeps it.
void SdlGamepad::take(SDL_Joystick* joystick) {
    SDL_Joystick* old = pad_;
    pad_ = joystick;
    if (old) SDL_JoystickClose(old);
    chosen_ = true;
}

bool SdlGamepad::open_first() {
    if (!joystick_ready()) return false;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        SDL_Joystick* joystick = SDL_JoystickOpen(i);
        if (!joystick) continue;
        if (suitable(joystick)) {
            take(joystick);
            return true;
        }
        SDL_JoystickClose(joystick);
    }
    return false;
}

int SdlGamepad::list(char (*names)[kGamepadNameSize], int max) {
    listed_count_ = 0;
    if (!names || !joystick_ready()) return 0;
    const int count = std::min({SDL_NumJoysticks(), max, kMaxListedGamepads});
    for (int i = 0; i < count; ++i) {
        const char* name = SDL_JoystickNameForIndex(i);
        std::snprintf(names[i], kGamepadNameSize, "%s", name ? name : "");
        // Kept by id: device indices shift when a controller comes or goes.
        listed_[i] = SDL_JoystickGetDeviceInstanceID(i);
        listed_count_ = i + 1;
    }
    return listed_count_;
}

bool SdlGamepad::use(int list_index) {
    if (list_index < 0 || list_index >= listed_count_) return false;
    const int device = device_index_of(listed_[list_index]);
    if (device < 0) return false;
    SDL_Joystick* joystick = SDL_JoystickOpen(device);
    if (!joystick) return false;
    take(joystick);
    return true;
}

bool SdlGamepad::take_choice(Message& msg) {
    if (!chosen_) return false;
    chosen_ = false;
    msg = gamepad_device_message(true);
    return true;
}

bool SdlGamepad::translate(const SDL_Event& event, Message& msg) {
    if (!pad_) return false;
    const SDL_JoystickID id = SDL_JoystickInstanceID(pad_);
    switch (event.type) {
        case SDL_JOYAXISMOTION:
            if (event.jaxis.which != id || event.jaxis.axis >= kGamepadAxes) return false;
            msg = gamepad_axis_message(event.jaxis.axis, scale_axis(event.jaxis.value));
            return true;
        case SDL_JOYBUTTONDOWN:
        case SDL_JOYBUTTONUP:
            if (event.jbutton.which != id || event.jbutton.button >= kGamepadButtonCount) {
                return false;
            }
            msg = gamepad_button_message(event.jbutton.button, event.jbutton.state == SDL_PRESSED);
            return true;
        case SDL_JOYDEVICEREMOVED:
            if (event.jdevice.which != id) return false;
            close();
            msg = gamepad_device_message(false);
            return true;
        default:
            return false;
    }
}

int32_t scale_axis(Sint16 value) {
    const int32_t v = value;
    return v >= 0 ? v * kAxisLimit / kSdlAxisMax : v * kAxisLimit / kSdlAxisMin;
}
