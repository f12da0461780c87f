#include "gui/gl_widgets.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "../render/gl_test_context.h"
#include "console/gl_console.h"
#include "render/gl_texture.h"

namespace {

constexpr uint32_t kClear = 0xFF000000;
// Body at (16, 20), 32 x 28: the frame corners sit at (1, 5), (48, 5), (1, 48), (48, 48).
constexpr float kBodyX = 16, kBodyY = 20;

class WidgetDrawTest : public GlTest {
  protected:
    Console console_;
    Fonts fonts_;
    WidgetDrawing drawing_;
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_NE(getcwd(old_directory_, sizeof old_directory_), nullptr);
        ASSERT_EQ(chdir(TORVI_SOURCE_DIR), 0);
        add_texture(device_.textures(), "shell", "Data/textures/shell.png");
        ASSERT_NE(find_texture(device_.textures(), "shell"), nullptr);
        console_device_init(console_, fonts_, device_);
        widgets_device_init(drawing_, device_);
        dialog_.init(kBodyX, kBodyY, "", 32, 28);
        button_ = dialog_.add_button(1, "OK", nullptr, nullptr, 1, 1, ButtonStyle::text);
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

    char old_directory_[4096] = {};
    Dialog dialog_;
    Button* button_ = nullptr;
    CheckBox* box_ = nullptr;
};

TEST_F(WidgetDrawTest, FrameAtItsCornersAndIdleTextIsDim) {
    draw_dialog(device_, drawing_, ready_font(fonts_.gui), dialog_);
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
    draw_dialog(device_, drawing_, ready_font(fonts_.gui), dialog_);
    EXPECT_GT(bright_in_button(pixels()), 4);
}

}  // namespace
