// Which keys are held and where the cursor is, kept from the messages of the one event
// stream, so scripted and real input look the same to everything that asks.
#pragma once
#include <cstdint>

#include "platform/message.h"

constexpr int kVirtualKeyCount = 256;

// The mouse buttons have virtual keys of their own, as in Win32.
enum MouseKey : int {
    vk_lbutton = 1,
    vk_rbutton = 2,
    vk_mbutton = 4,
};

struct KeyState {
    bool down[kVirtualKeyCount];  // by virtual-key code, mouse buttons included
    int cursor_x;                 // back-buffer pixels
    int cursor_y;
    bool cursor_inside;  // a mouse message came since the start or the last leave
};

// No key held, cursor at (0, 0).
void init_key_state(KeyState& keys);
// Key messages set or clear their key; mouse messages move the cursor and set the three
// mouse buttons from their wparam; leaving the window marks the cursor outside. Others
// change nothing.
void track_message(KeyState& keys, const Message& msg);
// False for any code outside 0..255.
bool key_down(const KeyState& keys, int vk);
// The mouse buttons held, as mouse_bit_* flags.
uint32_t mouse_buttons(const KeyState& keys);
