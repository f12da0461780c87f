#include "platform/message.h"

#include <gtest/gtest.h>

#include "platform/key_state.h"

namespace {

TEST(MessagePacking, PointsSplitIntoSigned16BitXAndY) {
    EXPECT_EQ(pack_point(0x1234, 0x0567), 0x05671234u);
    EXPECT_EQ(point_x(pack_point(1023, 767)), 1023);
    EXPECT_EQ(point_y(pack_point(1023, 767)), 767);
    const uint32_t lparam = pack_point(-5, -300);
    EXPECT_EQ(point_x(lparam), -5);
    EXPECT_EQ(point_y(lparam), -300);
    EXPECT_EQ(point_y(pack_point(-1, 7)), 7);  // a negative x must not bleed into y
    const Message m = mouse_message(msg_rbutton_down, mouse_bit_left | mouse_bit_right, 3, 4);
    EXPECT_EQ(m.wparam, 0x03u);
    EXPECT_EQ(command_message(26).wparam, 26u);
    EXPECT_TRUE(is_mouse_message(msg_mbutton_up));
    EXPECT_FALSE(is_mouse_message(msg_gui_command));
}

TEST(KeyStateTable, KeyMessagesSetAndClearTheirKeyAndOutOfRangeCodesAreIgnored) {
    KeyState keys;
    init_key_state(keys);
    track_message(keys, key_message(true, 'W'));
    track_message(keys, key_message(true, vk_escape));
    EXPECT_TRUE(key_down(keys, 'W'));
    EXPECT_TRUE(key_down(keys, 27));
    track_message(keys, key_message(false, 'W'));
    EXPECT_FALSE(key_down(keys, 'W'));
    EXPECT_TRUE(key_down(keys, 27));
    track_message(keys, Message{msg_key_down, 100000, 0});
    EXPECT_FALSE(key_down(keys, -1));
    EXPECT_FALSE(key_down(keys, 256));
    EXPECT_FALSE(key_down(keys, 100000));
}

TEST(KeyStateTable, MouseMessagesMoveTheCursorAndHoldButtons) {
    KeyState keys;
    init_key_state(keys);
    track_message(keys, mouse_message(msg_lbutton_down, mouse_bit_left, 640, 480));
    EXPECT_EQ(keys.cursor_x, 640);
    EXPECT_EQ(keys.cursor_y, 480);
    EXPECT_EQ(mouse_buttons(keys), static_cast<uint32_t>(mouse_bit_left));
    track_message(keys, mouse_message(msg_mouse_move, mouse_bit_left | mouse_bit_middle, 10, 20));
    EXPECT_TRUE(key_down(keys, vk_mbutton));
    track_message(keys, mouse_message(msg_lbutton_up, 0, 10, 20));
    EXPECT_EQ(mouse_buttons(keys), 0u);
    track_message(keys, command_message(0x00FF00FF));  // a command carries no position
    EXPECT_EQ(keys.cursor_x, 10);
}

}  // namespace
