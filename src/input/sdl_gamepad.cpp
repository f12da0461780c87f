#include "input/sdl_gamepad.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kMinAxes = 2;
constexpr int kMinButtons = 8;
constexpr int32_t kSdlAxisMax = 32767;
constexpr int32_t kSdlAxisMin = 32768;  // magnitude of SDL's lowest axis value

SDL_Joystick* pad_ = nullptr;
SDL_JoystickID listed_[kMaxListedGamepads];
int listed_count_ = 0;

bool joystick_ready() {
    return SDL_WasInit(SDL_INIT_JOYSTICK) != 0 || SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
}

bool suitable(SDL_Joystick* joystick) {
    return SDL_JoystickNumAxes(joystick) >= kMinAxes &&
           SDL_JoystickNumButtons(joystick) >= kMinButtons;
}

void drop_gamepad() {
    if (pad_) SDL_JoystickClose(pad_);
    pad_ = nullptr;
}

// Opens the new one before closing the old, so choosing the same controller again keeps it.
void take_gamepad(SDL_Joystick* joystick) {
    SDL_Joystick* old = pad_;
    pad_ = joystick;
    if (old) SDL_JoystickClose(old);
    gamepad_source() = GamepadSource{has_gamepad, poll_gamepad};
}

int device_index_of(SDL_JoystickID id) {
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (SDL_JoystickGetDeviceInstanceID(i) == id) return i;
    }
    return -1;
}

int32_t read_axis(int axis, int axis_count) {
    return axis < axis_count ? scale_axis(SDL_JoystickGetAxis(pad_, axis)) : 0;
}

void read_buttons(GamepadState& state) {
    const int count = std::min(SDL_JoystickNumButtons(pad_), kGamepadButtonCount);
    for (int i = 0; i < count; ++i) {
        state.buttons[i] = SDL_JoystickGetButton(pad_, i) ? kButtonPressed : 0;
    }
}

}  // namespace

bool gamepad_init() {
    if (!joystick_ready()) return false;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        SDL_Joystick* joystick = SDL_JoystickOpen(i);
        if (!joystick) continue;
        if (suitable(joystick)) {
            take_gamepad(joystick);
            return true;
        }
        SDL_JoystickClose(joystick);
    }
    return false;
}

void start_gamepad() {
    gamepad_init();
}

int list_gamepads(char (*names)[kGamepadNameSize], int max) {
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

bool use_gamepad(int list_index) {
    if (list_index < 0 || list_index >= listed_count_) return false;
    const int device = device_index_of(listed_[list_index]);
    if (device < 0) return false;
    SDL_Joystick* joystick = SDL_JoystickOpen(device);
    if (!joystick) return false;
    take_gamepad(joystick);
    return true;
}

bool has_gamepad() {
    if (pad_ && !SDL_JoystickGetAttached(pad_)) drop_gamepad();
    return pad_ != nullptr;
}

bool poll_gamepad(GamepadState& state) {
    state = GamepadState{};
    if (!has_gamepad()) return false;
    const int axes = SDL_JoystickNumAxes(pad_);
    state.x = read_axis(0, axes);
    state.y = read_axis(1, axes);
    state.z = read_axis(2, axes);
    state.rz = read_axis(3, axes);
    read_buttons(state);
    return true;
}

int32_t scale_axis(Sint16 value) {
    const int32_t v = value;
    return v >= 0 ? v * kAxisLimit / kSdlAxisMax : v * kAxisLimit / kSdlAxisMin;
}

void gamepad_event(const SDL_Event& event) {
    if (event.type != SDL_JOYDEVICEREMOVED || !pad_) return;
    if (event.jdevice.which == SDL_JoystickInstanceID(pad_)) drop_gamepad();
}
