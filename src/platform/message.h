// The window messages of the one event stream, with the Win32 ids and packing the
// routing code was written against, so menus, dialogs and editors see what they expect.
#pragma once
#include <cstdint>

enum MessageId : uint32_t {
    msg_paint = 0x000F,  // the window's picture was lost (shown, uncovered, resized): redraw
    msg_close = 0x0010,  // the window is being closed (system close, Alt+F4, "quit" line)
    msg_key_down = 0x0100,
    msg_key_up = 0x0101,
    msg_mouse_move = 0x0200,
    msg_lbutton_down = 0x0201,
    msg_lbutton_up = 0x0202,
    msg_lbutton_dblclk = 0x0203,
    msg_rbutton_down = 0x0204,
    msg_rbutton_up = 0x0205,
    msg_mbutton_down = 0x0207,
    msg_mbutton_up = 0x0208,
    msg_mouse_leave = 0x02A3,  // the cursor left the window
    msg_gui_command = 32769,   // a widget's command; the command id is in wparam
    // The gamepad's part of the stream, so it is recorded and replayed like the keys.
    msg_gamepad_axis = 0x8100,    // wparam the axis (0 X, 1 Y, 2 Z, 3 Rz), lparam -100..100
    msg_gamepad_button = 0x8101,  // wparam the button, lparam 1 pressed, 0 released
    msg_gamepad_device = 0x8102,  // lparam 1 a gamepad was chosen, 0 it was pulled out
};

// The mouse buttons held, in wparam of every mouse message.
enum MouseButtonBits : uint32_t {
    mouse_bit_left = 0x01,
    mouse_bit_right = 0x02,
    mouse_bit_middle = 0x10,
};

// Set in lparam of a key-down message when the key was already down (auto-repeat).
constexpr uint32_t kKeyRepeatBit = 1u << 30;

// Virtual-key codes of the keys the game knows besides 'A'..'Z' and '0'..'9'.
enum VirtualKey : int {
    vk_backspace = 8,
    vk_tab = 9,
    vk_enter = 13,
    vk_control = 17,
    vk_escape = 27,
    vk_space = 32,
    vk_left = 37,
    vk_up = 38,
    vk_right = 39,
    vk_down = 40,
    vk_minus = '-',       // the minus key
    vk_underscore = '_',  // the minus key with Shift held
    vk_f3 = 114,
};

struct Message {
    uint32_t id;
    uint32_t wparam;
    uint32_t lparam;
};

// x in the low 16 bits, y in the high 16 bits; each coordinate is cut to 16 bits.
constexpr uint32_t pack_point(int x, int y) {
    return (static_cast<uint32_t>(x) & 0xFFFFu) | ((static_cast<uint32_t>(y) & 0xFFFFu) << 16);
}
// The coordinates read back as signed 16-bit numbers, as Win32 code does.
constexpr int point_x(uint32_t lparam) {
    return static_cast<int16_t>(lparam & 0xFFFFu);
}
constexpr int point_y(uint32_t lparam) {
    return static_cast<int16_t>(lparam >> 16);
}

constexpr bool is_mouse_message(uint32_t id) {
    return id >= msg_mouse_move && id <= msg_mbutton_up;
}
constexpr bool is_key_message(uint32_t id) {
    return id == msg_key_down || id == msg_key_up;
}

constexpr Message key_message(bool down, int vk, bool repeat = false) {
    return {down ? msg_key_down : msg_key_up, static_cast<uint32_t>(vk),
            repeat ? kKeyRepeatBit : 0u};
}
constexpr Message mouse_message(MessageId id, uint32_t buttons, int x, int y) {
    return {id, buttons, pack_point(x, y)};
}
constexpr Message command_message(uint32_t command) {
    return {msg_gui_command, command, 0};
}
constexpr Message gamepad_axis_message(int axis, int32_t value) {
    return {msg_gamepad_axis, static_cast<uint32_t>(axis), static_cast<uint32_t>(value)};
}
constexpr Message gamepad_button_message(int button, bool down) {
    return {msg_gamepad_button, static_cast<uint32_t>(button), down ? 1u : 0u};
}
constexpr Message gamepad_device_message(bool present) {
    return {msg_gamepad_device, 0, present ? 1u : 0u};
}
constexpr bool is_gamepad_message(uint32_t id) {
    return id >= msg_gamepad_axis && id <= msg_gamepad_device;
}
constexpr Message close_message() {
    return {msg_close, 0, 0};
}
