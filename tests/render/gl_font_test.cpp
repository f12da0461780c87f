#include "render/gl_font.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "render/gl_test_context.h"

namespace {

constexpr int kTextHeight = 16;

class FontTest : public GlTest {
  protected:
    struct Box {
        int left = kWidth, top = kHeight, right = -1, bottom = -1, count = 0;
    };

    // Draws text on black at (x, y) and gives the bounding box of the lit pixels.
    Box draw(int x, int y, const char* text) {
        device_.clear(0xFF000000);
        font_.draw_text(x, y, 0xFFFFFFFF, text);
        const std::vector<uint8_t> image = pixels();
        Box box;
        for (int py = 0; py < kHeight; ++py) {
            for (int px = 0; px < kWidth; ++px) {
                if (red_at(image, px, py) < 64) continue;
                ++box.count;
                box.left = std::min(box.left, px);
                box.right = std::max(box.right, px);
                box.top = std::min(box.top, py);
                box.bottom = std::max(box.bottom, py);
            }
        }
        return box;
    }

    Font font_;
};

TEST_F(FontTest, TextLightsPixelsInsideItsBoxOnlyAndLineBreaksStartAtTheLeft) {
    ASSERT_TRUE(font_.create(device_, "Tahoma", kTextHeight, false));  // an installed stand-in
    const TextSize size = font_.measure("MMM");
    EXPECT_GT(size.width, 20);
    Box box = draw(5, 10, "MMM");
    EXPECT_GT(box.count, 60);
    EXPECT_GE(box.left, 5);
    EXPECT_LT(box.right, 5 + size.width);
    EXPECT_GE(box.top, 10);
    EXPECT_LT(box.bottom, 10 + size.height);
    EXPECT_GT(box.right - box.left, size.width * 3 / 4);  // all three letters

    EXPECT_EQ(font_.measure("M\nM").height, 2 * font_.line_height());
    box = draw(2, 2, "M\nM");
    EXPECT_GE(box.bottom, 2 + font_.line_height());
    EXPECT_LT(box.right, 2 + font_.measure("M").width);
}

TEST_F(FontTest, ColourTintsTheGlyphsAndAnUnusableFontDrawsNothing) {
    ASSERT_TRUE(font_.create(device_, "DejaVu Sans", kTextHeight, true));
    device_.clear(0xFF000000);
    font_.draw_text(0, 0, 0xFF00FF00, "\xC3\x9CMM");  // U with umlaut, in UTF-8
    const auto image = pixels();
    int green = 0, red = 0;
    for (size_t i = 0; i < image.size(); i += 4) {
        green += image[i + 1] > 128;
        red += image[i] > 0;
    }
    EXPECT_GT(green, 40);
    EXPECT_EQ(red, 0);

    Font unusable;
    EXPECT_FALSE(unusable.create(device_, "error", 0, true));  // console settings missing
    EXPECT_EQ(unusable.measure("MMM").width, 0);
    device_.clear(0xFF000000);
    unusable.draw_text(0, 0, 0xFFFFFFFF, "MMM");
    EXPECT_EQ(pixels_not(0), 0);
}

}  // namespace
