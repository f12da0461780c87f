// The widget set: what each widget does with messages, and how a dialog is drawn.
#include "gui/widgets.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "../render/gl_test_context.h"
#include "gui/gl_widgets.h"
#include "gui/scoreboard.h"
#include "render/gl_font.h"
#include "render/gl_texture.h"

namespace {

std::vector<uint32_t> sent;
// The check box's state when its command arrived.
const CheckBox* watched_box = nullptr;
std::vector<bool> checked_when_sent;

struct Recorder : CommandSink {
    void send_command(uint32_t id) override {
        sent.push_back(id);
        if (watched_box != nullptr) checked_when_sent.push_back(watched_box->checked);
    }
};

class WidgetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sent.clear();
        checked_when_sent.clear();
        watched_box = nullptr;
        dialog_.init(100, 50, "test", 300, 200);
        dialog_.sink = &recorder_;
    }

    bool send(uint32_t id, int cx, int cy) {
        return dialog_.handle_message(mouse_message(static_cast<MessageId>(id), 0, 0, 0), cx, cy);
    }
    bool move(int cx, int cy) { return send(msg_mouse_move, cx, cy); }
    bool down(int cx, int cy) { return send(msg_lbutton_down, cx, cy); }
    bool up(int cx, int cy) { return send(msg_lbutton_up, cx, cy); }
    bool click(int cx, int cy) { return down(cx, cy) && up(cx, cy); }
    bool key(int vk) { return dialog_.handle_message(key_message(true, vk), 0, 0); }

    Recorder recorder_;
    Dialog dialog_;
};

TEST_F(WidgetTest, ButtonSendsOnlyOnReleaseInsideButAlwaysEndsThePress) {
    Button* b = dialog_.add_button(7, "GO", nullptr, nullptr, 0, 0, style_text);
    EXPECT_TRUE(move(105, 55));
    EXPECT_TRUE(b->hover);
    EXPECT_FALSE(move(300, 300));
    EXPECT_FALSE(b->hover);
    const Button* other = dialog_.add_button(8, "NO", nullptr, nullptr, 0, 30, style_text);
    EXPECT_TRUE(move(105, 55) && move(105, 85));  // from one button straight onto another
    EXPECT_TRUE(other->hover && !b->hover);

    EXPECT_TRUE(down(105, 55));
    EXPECT_TRUE(up(300, 300));  // released outside: consumed, no command
    EXPECT_TRUE(sent.empty());
    EXPECT_FALSE(up(105, 55));  // no press left to end

    EXPECT_FALSE(down(300, 300));
    EXPECT_TRUE(click(105, 55));
    EXPECT_EQ(sent, std::vector<uint32_t>{7});
    EXPECT_FALSE(key(vk_enter));

    // Disabled or hidden widgets get nothing.
    b->enabled = false;
    EXPECT_FALSE(down(105, 55));
    b->enabled = true;
    set_visible(b, false);
    EXPECT_FALSE(down(105, 55));
}

TEST_F(WidgetTest, TheWidgetAddedLaterGetsTheMessageFirstAndIsFoundFirst) {
    dialog_.add_button(1, "AAAA", nullptr, nullptr, 0, 0, style_text);
    dialog_.add_button(2, "BBBB", nullptr, nullptr, 0, 0, style_text);
    EXPECT_EQ(dialog_.widget_newest_first(0).id, 2u);
    EXPECT_DEATH(dialog_.widget_newest_first(2), "widget index");  // the caller's mistake
    EXPECT_TRUE(click(105, 55));
    EXPECT_EQ(sent, std::vector<uint32_t>{2});

    dialog_.add_label(15, "one", 0, 0);
    Label* second = dialog_.add_label(15, "two", 0, 20);
    EXPECT_EQ(dialog_.find(15), second);
    EXPECT_EQ(dialog_.find(99), nullptr);
    EXPECT_EQ(dialog_.add_button(1, "", "pic", nullptr, 0, 0, style_image), nullptr);
    EXPECT_EQ(dialog_.widget_count(), 4);
}

TEST_F(WidgetTest, CheckBoxFlipsBeforeItsCommand) {
    CheckBox* box = dialog_.add_check_box(3, 0, 0);
    watched_box = box;
    EXPECT_TRUE(click(100, 50));
    EXPECT_TRUE(box->checked);
    EXPECT_EQ(checked_when_sent, std::vector<bool>{true});
    EXPECT_TRUE(click(115, 65));
    EXPECT_FALSE(box->checked);
    EXPECT_TRUE(down(100, 50));
    EXPECT_TRUE(up(116, 50));  // just outside: no flip
    EXPECT_FALSE(box->checked);
    EXPECT_EQ(sent.size(), 2u);
}

TEST_F(WidgetTest, DraggedDialogMovesItsWidgetsHitRectangles) {
    Button* b = dialog_.add_button(7, "GO", nullptr, nullptr, 0, 0, style_text);
    EXPECT_TRUE(down(110, 45));  // on the title bar
    EXPECT_TRUE(move(160, 95));  // consumed by the drag, even over the button
    EXPECT_FALSE(b->hover);
    EXPECT_TRUE(up(160, 95));
    EXPECT_FLOAT_EQ(dialog_.x, 150);
    EXPECT_FLOAT_EQ(dialog_.y, 100);
    EXPECT_FALSE(move(105, 55));  // the old place
    EXPECT_TRUE(click(155, 105));
    EXPECT_EQ(sent, std::vector<uint32_t>{7});
}

// A 7-cell bar at body (0, 0): up arrow 50..66, track 66..146, down arrow 146..162.
TEST_F(WidgetTest, ScrollBarArrowsStepOnReleaseItsThumbDragsAndAllClamp) {
    ScrollBar* bar = dialog_.add_scroll_bar(5, 0, 0, 7);
    EXPECT_EQ(bar->maximum, 8);
    EXPECT_TRUE(down(105, 150));  // down arrow
    EXPECT_EQ(bar->position(), 0);
    EXPECT_TRUE(up(400, 400));  // wherever the cursor is
    EXPECT_EQ(bar->position(), 1);
    EXPECT_TRUE(click(105, 52));  // up arrow
    EXPECT_TRUE(click(105, 52));  // already at the minimum
    EXPECT_EQ(bar->position(), 0);
    EXPECT_FALSE(up(105, 52));     // nothing pressed
    EXPECT_FALSE(down(125, 100));  // beside the bar
    EXPECT_TRUE(sent.empty());

    EXPECT_TRUE(down(104, 70));       // thumb at offset 0: 66..82
    EXPECT_TRUE(move(104, 70 + 32));  // half the thumb's 64-pixel travel
    EXPECT_EQ(bar->position(), 4);
    EXPECT_TRUE(move(104, 500));
    EXPECT_EQ(bar->position(), 8);
    EXPECT_TRUE(up(0, 0));
    EXPECT_TRUE(click(105, 150));  // already at the maximum
    EXPECT_EQ(bar->position(), 8);
    EXPECT_TRUE(down(104, 134));  // the thumb, now at the bottom of the track
    EXPECT_TRUE(move(104, 0));
    EXPECT_EQ(bar->position(), 0);
    EXPECT_TRUE(up(0, 0));
    EXPECT_FALSE(move(104, 110));
    EXPECT_EQ(bar->position(), 0);

    bar->set_range(0, 0);  // an empty range ignores the mouse and reports zero
    bar->pos = 3;
    EXPECT_FALSE(down(105, 55));
    EXPECT_EQ(bar->position(), 0);
    EXPECT_EQ(bar->thumb_offset(), 0);
}

// The dialogs' lists show their newest item first (app tests).
TEST_F(WidgetTest, ListRowsSelectByClickWithoutCommandAndOnlyWhereAnItemIs) {
    ListBox* list = dialog_.add_list_box(40, 0, 0, 4, 5);  // rows at y 50, 66, 82, 98
    EXPECT_FALSE(down(110, 70));                           // empty list
    const int data = 42;
    list->add_item("a", &data);
    list->add_item("b");
    list->add_item("c");
    EXPECT_TRUE(down(110, 70));
    EXPECT_FALSE(down(110, 100));  // the fourth row is past the end
    EXPECT_STREQ(list->selected_item()->text, "b");
    EXPECT_FALSE(down(180, 52));  // right of the five columns
    list->set_first_visible(3);
    EXPECT_TRUE(send(msg_lbutton_dblclk, 110, 52));
    EXPECT_EQ(list->selected_item()->data, &data);
    EXPECT_FALSE(down(110, 66));  // row 1 would be item 4
    EXPECT_FALSE(up(110, 52));
    EXPECT_TRUE(sent.empty());
    list->clear();
    EXPECT_EQ(list->selected_item(), nullptr);
}

// The list of players: those in the game in slot order with element and knock-outs; the
// rows after them empty, also after a player left.
TEST(Scoreboard, ListsThePlayersInTheGameAndEmptiesTheRest) {
    Scoreboard board;
    build_scoreboard(board, 1024, 768);
    PlayerTable table;
    init_player_table(table);
    for (int slot : {0, 3, 5}) {
        table.slots[slot].slot_state = slot_in_game;
        std::snprintf(table.slots[slot].name, sizeof table.slots[slot].name, "p%d", slot);
        table.slots[slot].element = slot % 4;
        table.slots[slot].knockouts = static_cast<uint32_t>(slot * 2);
    }
    table.slots[4].slot_state = slot_reserved;
    fill_scoreboard(board, table);
    EXPECT_STREQ(board.cells[1][0]->text, "p3");
    EXPECT_STREQ(board.cells[1][1]->text, "robot");
    EXPECT_STREQ(board.cells[1][2]->text, "6");
    EXPECT_STREQ(board.cells[2][0]->text, "p5");
    table.slots[3].slot_state = slot_free;
    fill_scoreboard(board, table);
    EXPECT_STREQ(board.cells[1][0]->text, "p5");
    EXPECT_STREQ(board.cells[2][0]->text, "");
}

TEST_F(WidgetTest, TextFieldTakesKeysWhileFocusedUpToSeventyNineCharacters) {
    TextField* field = dialog_.add_text_field(9, 0, 0, 4);
    auto text = [field] {
        char out[kWidgetTextSize];
        field->text(out, sizeof out);
        return std::string(out);
    };
    EXPECT_FALSE(key('A'));
    EXPECT_FALSE(down(170, 55));  // past the four cells
    EXPECT_TRUE(down(160, 55));
    EXPECT_TRUE(field->focused);
    EXPECT_FALSE(up(160, 55));
    for (int vk :
         {int{'A'}, int{'B'}, int{vk_backspace}, int{'1'}, int{vk_minus}, int{vk_underscore}})
        EXPECT_TRUE(key(vk));
    for (int vk : {16, int{vk_space}, int{'a'}, int{'.'}, int{'/'}})
        EXPECT_FALSE(key(vk)) << vk;  // nothing a file name should not hold
    EXPECT_FALSE(dialog_.handle_message(key_message(false, 'C'), 0, 0));
    EXPECT_EQ(text(), "A1-_");
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(key(vk_backspace));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(key(vk_backspace));  // empty: still consumed
    EXPECT_EQ(text(), "");
    for (int i = 0; i < kTextFieldMaxLength; ++i) EXPECT_TRUE(key('0' + i % 10));
    EXPECT_TRUE(key('Z'));  // the 80th: consumed and ignored
    EXPECT_EQ(text().size(), static_cast<size_t>(kTextFieldMaxLength));
    EXPECT_EQ(text().back(), '8');
    char small[4];
    field->text(small, sizeof small);
    EXPECT_STREQ(small, "012");
    EXPECT_TRUE(sent.empty());
    EXPECT_TRUE(send(msg_lbutton_dblclk, 100, 50));
    EXPECT_FALSE(field->focused);
}

TEST(LabelTest, LongTextsAreCutToTheField) {
    const std::string long_text(200, 'y');
    Label label;
    label.set_text(long_text.c_str());
    Dialog dialog;
    dialog.init(0, 0, long_text.c_str(), 10, 10);
    Button* b = dialog.add_button(1, long_text.c_str(), nullptr, nullptr, 0, 0, style_text);
    for (const char* cut : {label.text, dialog.title, b->text}) {
        EXPECT_EQ(strlen(cut), static_cast<size_t>(kWidgetTextSize - 1));
    }
    ListBox list;
    list.add_item(long_text.c_str());
    EXPECT_EQ(strlen(list.items[0].text), static_cast<size_t>(kListItemTextSize - 1));
}

// A dialog with its body at (16, 20), 32 x 28: the frame corners sit at (1, 5), (48, 5),
// (1, 48) and (48, 48); an "OK" button at (17, 21)-(33, 33) and a check box below it.
class WidgetDrawTest : public GlTest {};

TEST_F(WidgetDrawTest, FrameAtItsCornersAndButtonTextDimUntilHoveredAndRedWhenWarned) {
    work_in(TORVI_SOURCE_DIR);
    add_texture(device_.textures(), "shell", "Data/textures/shell.png");
    ASSERT_NE(find_texture(device_.textures(), "shell"), nullptr);
    Fonts fonts;
    fonts.gui.create(device_, "Tahoma", 10, true);
    ASSERT_NE(ready_font(fonts.gui), nullptr);
    WidgetDrawing drawing;
    widgets_device_init(drawing, device_);
    Dialog dialog;
    dialog.init(16, 20, "", 32, 28);
    Button* button = dialog.add_button(1, "OK", nullptr, nullptr, 1, 1, style_text);
    dialog.add_check_box(2, 16, 14);
    // Pixels in the button's rectangle with red above 200, and green and blue above 200
    // (white) or below 100 (red).
    auto in_button = [&](bool white) {
        device_.clear(0xFF000000);
        draw_dialog(device_, drawing, ready_font(fonts.gui), dialog);
        const std::vector<uint8_t> image = pixels();
        int count = 0;
        for (int y = 21; y < 33; ++y) {
            for (int x = 17; x < 33; ++x) {
                const uint32_t p = rgba_at(image, x, y), g = (p >> 16) & 0xFF, b = (p >> 8) & 0xFF;
                count += (p >> 24) > 200 && (white ? g > 200 && b > 200 : g < 100 && b < 100);
            }
        }
        return count;
    };
    EXPECT_EQ(in_button(true), 0);
    const auto image = pixels();
    const uint32_t clear_rgba = 0x000000FF;
    for (int corner = 0; corner < 4; ++corner) {
        EXPECT_NE(rgba_at(image, corner % 2 ? 55 : 8, corner / 2 ? 55 : 12), clear_rgba) << corner;
    }
    EXPECT_EQ(rgba_at(image, 0, 0), clear_rgba);  // outside the frame
    EXPECT_GT(red_at(image, 40, 42), 150);        // the light check box over the dark fill
    button->hover = true;
    EXPECT_GT(in_button(true), 4);
    button->warn = true;  // red instead of white
    EXPECT_GT(in_button(false), 4);
    EXPECT_EQ(in_button(true), 0);
}

}  // namespace
