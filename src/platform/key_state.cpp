#include "platform/key_state.h"

void init_key_state(KeyState& keys) {
    keys = KeyState{};
}

static bool valid_key(uint32_t vk) {
    return vk < static_cast<uint32_t>(kVirtualKeyCount);
}

void track_message(KeyState& keys, const Message& msg) {
    if (is_key_message(msg.id) && valid_key(msg.wparam)) {
        keys.down[msg.wparam] = msg.id == msg_key_down;
    } else if (is_mouse_message(msg.id)) {
        keys.cursor_x = point_x(msg.lparam);
        keys.cursor_y = point_y(msg.lparam);
        keys.down[vk_lbutton] = (msg.wparam & mouse_bit_left) != 0;
        keys.down[vk_rbutton] = (msg.wparam & mouse_bit_right) != 0;
        keys.down[vk_mbutton] = (msg.wparam & mouse_bit_middle) != 0;
        keys.cursor_inside = true;
    } else if (msg.id == msg_mouse_leave) {
        keys.cursor_inside = false;
    }
}

bool key_down(const KeyState& keys, int vk) {
    return vk >= 0 && valid_key(static_cast<uint32_t>(vk)) && keys.down[vk];
}

uint32_t mouse_buttons(const KeyState& keys) {
    return (keys.down[vk_lbutton] ? mouse_bit_left : 0u) |
           (keys.down[vk_rbutton] ? mouse_bit_right : 0u) |
           (keys.down[vk_mbutton] ? mouse_bit_middle : 0u);
}
