// The widget set: what each widget does with messages, and how a dialog is drawn.
#include "gui/widgets.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "../render/gl_test_context.h"
#include "gui/gl_widgets.h"
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

TEST_F(WidgetTest, HitRectanglesFollowTheKind) {
    Button* text = dialog_.add_button(1, "OK", nullptr, nullptr, 10, 20, style_text);
    const IntRect source = {0, 0, 24, 10};
    Button* image = dialog_.add_button(2, "", "pic", &source, 50, 20, style_image);
    CheckBox* box = dialog_.add_check_box(3, 90, 20);
    TextField* field = dialog_.add_text_field(4, 10, 60, 3);
    move(0, 0);  // every handler recomputes its rectangle
    EXPECT_EQ(text->hit_rect.left, 110);
    EXPECT_EQ(text->hit_rect.right, 126);  // 8 pixels a character
    EXPECT_EQ(text->hit_rect.bottom, 82);
    EXPECT_EQ(image->hit_rect.right - image->hit_rect.left, 24);
    EXPECT_EQ(image->hit_rect.bottom - image->hit_rect.top, 10);
    EXPECT_EQ(box->hit_rect.right - box->hit_rect.left, 16);
    EXPECT_EQ(field->hit_rect.right, 158);
    EXPECT_EQ(field->hit_rect.bottom, 126);
}

TEST_F(WidgetTest, ButtonSendsOnlyOnReleaseInsideButAlwaysEndsThePress) {
    Button* b = dialog_.add_button(7, "GO", nullptr, nullptr, 0, 0, style_text);
    EXPECT_TRUE(move(105, 55));
    EXPECT_TRUE(b->hover);
    EXPECT_FALSE(move(300, 300));
    EXPECT_FALSE(b->hover);

    EXPECT_TRUE(down(105, 55));
    EXPECT_TRUE(b->pressed);
    EXPECT_TRUE(up(300, 300));  // released outside: consumed, no command
    EXPECT_FALSE(b->pressed);
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
    EXPECT_TRUE(click(105, 55));
    EXPECT_EQ(sent, std::vector<uint32_t>{2});

    dialog_.add_label(15, "one", 0, 0);
    Label* second = dialog_.add_label(15, "two", 0, 20);
    EXPECT_EQ(dialog_.find(15), second);
    EXPECT_EQ(dialog_.find(99), nullptr);
    EXPECT_EQ(dialog_.add_button(1, "", "pic", nullptr, 0, 0, style_image), nullptr);
    EXPECT_EQ(dialog_.widget_count(), 4);
    EXPECT_EQ(second->owner, &dialog_);
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
    EXPECT_EQ(dialog_.title_rect.top, 39);
    EXPECT_TRUE(down(110, 45));  // on the title bar
    EXPECT_TRUE(dialog_.dragging);
    EXPECT_FALSE(b->pressed);
    EXPECT_TRUE(move(160, 95));  // consumed by the drag, even over the button
    EXPECT_FALSE(b->hover);
    EXPECT_TRUE(up(160, 95));
    EXPECT_FALSE(dialog_.dragging);
    EXPECT_EQ(dialog_.drag_dx, 0);
    EXPECT_FLOAT_EQ(dialog_.x, 150);
    EXPECT_FLOAT_EQ(dialog_.y, 100);
    EXPECT_EQ(dialog_.title_rect.left, 150);
    EXPECT_EQ(dialog_.title_rect.top, 89);

    EXPECT_FALSE(move(105, 55));  // the old place
    EXPECT_EQ(b->hit_rect.left, 150);
    EXPECT_EQ(b->hit_rect.top, 100);
    EXPECT_TRUE(click(155, 105));
    EXPECT_EQ(sent, std::vector<uint32_t>{7});
}

// A 7-cell bar at body (0, 0): up arrow 50..66, track 66..146, down arrow 146..162.
class ScrollBarTest : public WidgetTest {
  protected:
    void SetUp() override {
        WidgetTest::SetUp();
        bar_ = dialog_.add_scroll_bar(5, 0, 0, 7);
    }
    ScrollBar* bar_ = nullptr;
};

TEST_F(ScrollBarTest, ThumbOffsetsAndAnEmptyRangeIgnoresTheMouseAndReportsZero) {
    bar_->set_range(0, 5);
    bar_->pos = 5;
    EXPECT_EQ(bar_->thumb_offset(), 64);  // on the last track cell
    bar_->pos = 2;
    EXPECT_EQ(bar_->thumb_offset(), 25);  // 128 / 5, cut

    bar_->set_range(0, 0);
    bar_->pos = 3;
    EXPECT_FALSE(down(105, 55));
    EXPECT_FALSE(bar_->up_pressed);
    EXPECT_EQ(bar_->position(), 0);
    EXPECT_EQ(bar_->thumb_offset(), 0);
    EXPECT_FALSE(up(105, 55));
}

TEST_F(ScrollBarTest, ArrowsStepOnReleaseWhereverTheCursorIs) {
    EXPECT_EQ(bar_->maximum, 8);
    EXPECT_TRUE(down(105, 150));  // down arrow
    EXPECT_TRUE(bar_->down_pressed);
    EXPECT_EQ(bar_->position(), 0);
    EXPECT_TRUE(up(400, 400));
    EXPECT_EQ(bar_->position(), 1);
    EXPECT_FALSE(bar_->down_pressed);

    EXPECT_TRUE(down(105, 52));  // up arrow
    EXPECT_TRUE(up(105, 52));
    EXPECT_EQ(bar_->position(), 0);
    EXPECT_TRUE(click(105, 52));  // already at the minimum
    EXPECT_EQ(bar_->position(), 0);
    EXPECT_FALSE(up(105, 52));     // nothing pressed
    EXPECT_FALSE(down(125, 100));  // beside the bar
    EXPECT_TRUE(sent.empty());

    bar_->pos = 8;
    EXPECT_TRUE(click(105, 150));
    EXPECT_EQ(bar_->position(), 8);
}

TEST_F(ScrollBarTest, ThumbDragsAndClamps) {
    EXPECT_TRUE(down(104, 70));  // thumb at offset 0: 66..82
    EXPECT_TRUE(bar_->dragging);
    EXPECT_EQ(bar_->grab_x, 4);
    EXPECT_EQ(bar_->grab_y, 4);
    EXPECT_TRUE(move(104, 70 + 32));  // half the thumb's 64-pixel travel
    EXPECT_EQ(bar_->position(), 4);
    EXPECT_TRUE(move(104, 500));
    EXPECT_EQ(bar_->position(), 8);
    EXPECT_TRUE(move(104, 0));
    EXPECT_EQ(bar_->position(), 0);
    EXPECT_TRUE(up(0, 0));
    EXPECT_FALSE(bar_->dragging);
    EXPECT_FALSE(move(104, 110));
    EXPECT_EQ(bar_->position(), 0);
}

TEST(ListBoxTest, NewestItemComesFirst) {
    ListBox list;
    const int data = 42;
    list.add_item("a", &data);
    list.add_item("b");
    list.add_item("c");
    ASSERT_EQ(list.count(), 3);
    EXPECT_STREQ(list.items[0].text, "c");
    EXPECT_STREQ(list.items[1].text, "b");
    EXPECT_STREQ(list.items[2].text, "a");
    ASSERT_NE(list.selected_item(), nullptr);
    EXPECT_STREQ(list.selected_item()->text, "c");
    list.selected = 3;
    EXPECT_EQ(list.selected_item()->data, &data);
    list.selected = 4;
    EXPECT_EQ(list.selected_item(), nullptr);
    list.clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.selected, 4);
}

TEST_F(WidgetTest, ListRowsSelectByClickWithoutCommand) {
    ListBox* list = dialog_.add_list_box(40, 0, 0, 4, 5);  // rows at y 50, 66, 82, 98
    EXPECT_FALSE(down(110, 70));                           // empty list
    for (const char* t : {"a", "b", "c"}) list->add_item(t);
    EXPECT_TRUE(down(110, 70));
    EXPECT_EQ(list->selected, 2);
    EXPECT_STREQ(list->selected_item()->text, "b");
    EXPECT_FALSE(down(110, 100));  // the fourth row is past the end
    EXPECT_EQ(list->selected, 2);
    EXPECT_FALSE(down(180, 52));  // right of the five columns
    list->set_first_visible(2);
    EXPECT_TRUE(send(msg_lbutton_dblclk, 110, 52));
    EXPECT_EQ(list->selected, 2);
    EXPECT_FALSE(down(110, 82));  // row 2 would be item 4
    EXPECT_FALSE(up(110, 52));
    EXPECT_TRUE(sent.empty());
}

class TextFieldTest : public WidgetTest {
  protected:
    void SetUp() override {
        WidgetTest::SetUp();
        field_ = dialog_.add_text_field(9, 0, 0, 4);
    }
    std::string text() const {
        char out[kWidgetTextSize];
        field_->text(out, sizeof out);
        return out;
    }
    TextField* field_ = nullptr;
};

TEST_F(TextFieldTest, KeysNeedFocusWhichAClickTogglesThenTypeAndBackspace) {
    EXPECT_FALSE(key('A'));
    EXPECT_FALSE(down(170, 55));  // past the four cells
    EXPECT_TRUE(down(160, 55));
    EXPECT_TRUE(field_->focused);
    EXPECT_FALSE(up(160, 55));
    EXPECT_TRUE(key('A'));
    EXPECT_TRUE(key('B'));
    EXPECT_TRUE(key(vk_backspace));
    EXPECT_TRUE(key('1'));
    EXPECT_EQ(text(), "A1");
    EXPECT_EQ(field_->length, 2);
    EXPECT_FALSE(key(16));  // shift
    EXPECT_FALSE(key(vk_space));
    EXPECT_FALSE(key('a'));  // never a virtual key
    EXPECT_FALSE(dialog_.handle_message(key_message(false, 'C'), 0, 0));
    EXPECT_EQ(text(), "A1");
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(key(vk_backspace));  // empty: still consumed
    EXPECT_EQ(field_->length, 0);
    EXPECT_EQ(text(), "");
    EXPECT_TRUE(sent.empty());
    EXPECT_TRUE(send(msg_lbutton_dblclk, 100, 50));
    EXPECT_FALSE(field_->focused);
}

TEST_F(TextFieldTest, HoldsAtMostSeventyNineCharacters) {
    field_->focused = true;
    for (int i = 0; i < kTextFieldMaxLength; ++i) EXPECT_TRUE(key('0' + i % 10));
    EXPECT_TRUE(key('Z'));  // the 80th: consumed and ignored
    EXPECT_EQ(field_->length, kTextFieldMaxLength);
    EXPECT_EQ(text().size(), static_cast<size_t>(kTextFieldMaxLength));
    EXPECT_EQ(text().back(), '8');
    char small[4];
    field_->text(small, sizeof small);
    EXPECT_STREQ(small, "012");
}

TEST(LabelTest, LongTextsAreCutToTheField) {
    Label label;
    const std::string long_text(200, 'y');
    label.set_text(long_text.c_str());
    EXPECT_EQ(strlen(label.text), static_cast<size_t>(kWidgetTextSize - 1));
    label.set_text("short");
    EXPECT_STREQ(label.text, "short");

    Dialog dialog;
    dialog.init(0, 0, long_text.c_str(), 10, 10);
    EXPECT_EQ(strlen(dialog.title), static_cast<size_t>(kWidgetTextSize - 1));
    Button* b = dialog.add_button(1, long_text.c_str(), nullptr, nullptr, 0, 0, style_text);
    EXPECT_EQ(strlen(b->text), static_cast<size_t>(kWidgetTextSize - 1));
    ListBox list;
    list.add_item(long_text.c_str());
    EXPECT_EQ(strlen(list.items[0].text), static_cast<size_t>(kListItemTextSize - 1));
}

TEST_F(WidgetTest, AWidgetIndexPastTheEndIsTheCallersMistake) {
    dialog_.add_button(7, "GO", nullptr, nullptr, 0, 0, style_text);
    EXPECT_EQ(dialog_.widget_newest_first(0).id, 7u);
    EXPECT_DEATH(dialog_.widget_newest_first(1), "widget index");
}

constexpr uint32_t kClear = 0xFF000000;
// Body at (16, 20), 32 x 28: the frame corners sit at (1, 5), (48, 5), (1, 48), (48, 48).
constexpr float kBodyX = 16, kBodyY = 20;

class WidgetDrawTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_NE(getcwd(old_directory_, sizeof old_directory_), nullptr);
        ASSERT_EQ(chdir(TORVI_SOURCE_DIR), 0);
        add_texture(device_.textures(), "shell", "Data/textures/shell.png");
        ASSERT_NE(find_texture(device_.textures(), "shell"), nullptr);
        fonts_.gui.create(device_, "Tahoma", 10, true);
        widgets_device_init(drawing_, device_);
        dialog_.init(kBodyX, kBodyY, "", 32, 28);
        button_ = dialog_.add_button(1, "OK", nullptr, nullptr, 1, 1, style_text);
        box_ = dialog_.add_check_box(2, 16, 14);
        device_.clear(kClear);
    }

    void TearDown() override {
        if (old_directory_[0] != '\0') {
            EXPECT_EQ(chdir(old_directory_), 0);
        }
        GlTest::TearDown();
    }

    // Pixels in the button's rectangle (17, 21)-(33, 33) with every channel above 200.
    int bright_in_button(const std::vector<uint8_t>& image) {
        int count = 0;
        for (int y = 21; y < 33; ++y) {
            for (int x = 17; x < 33; ++x) {
                const uint32_t p = rgba_at(image, x, y);
                count += (p >> 24) > 200 && ((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) > 200;
            }
        }
        return count;
    }

    void draw() { draw_dialog(device_, drawing_, ready_font(fonts_.gui), dialog_); }

    char old_directory_[4096] = {};
    Fonts fonts_;
    WidgetDrawing drawing_;
    Dialog dialog_;
    Button* button_ = nullptr;
    CheckBox* box_ = nullptr;
};

TEST_F(WidgetDrawTest, FrameAtItsCornersAndIdleTextIsDim) {
    draw();
    const auto image = pixels();
    const uint32_t clear_rgba = 0x000000FF;
    EXPECT_NE(rgba_at(image, 8, 12), clear_rgba);
    EXPECT_NE(rgba_at(image, 55, 12), clear_rgba);
    EXPECT_NE(rgba_at(image, 8, 55), clear_rgba);
    EXPECT_NE(rgba_at(image, 55, 55), clear_rgba);
    EXPECT_EQ(rgba_at(image, 0, 0), clear_rgba);  // outside the frame
    EXPECT_GT(red_at(image, 40, 42), 150);        // the light check box over the dark fill
    EXPECT_EQ(bright_in_button(image), 0);
}

TEST_F(WidgetDrawTest, HoveredButtonTextIsWhite) {
    ASSERT_NE(ready_font(fonts_.gui), nullptr);
    button_->hover = true;
    draw();
    EXPECT_GT(bright_in_button(pixels()), 4);
}

}  // namespace
