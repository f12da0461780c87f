#include "render/gl_font.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "render/gl_test_context.h"

namespace {

constexpr int kTextHeight = 16;

class FontTest : public GlTest {
  protected:
    struct Box {
        int left = kWidth, top = GlTest::kHeight, right = -1, bottom = -1, count = 0;
    };

    // The bounding box of the lit pixels.
    static Box lit_box(const std::vector<uint8_t>& image) {
        Box box;
        for (int y = 0; y < GlTest::kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if (red_at(image, x, y) < 64) continue;
                ++box.count;
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
        }
        return box;
    }
};

TEST_F(FontTest, FaceNamesMatchAnInstalledFont) {
    const std::string regular = match_font_file("Tahoma", false);
    const std::string bold = match_font_file("Tahoma", true);
    ASSERT_FALSE(regular.empty());
    EXPECT_TRUE(std::filesystem::exists(regular));
    EXPECT_NE(bold.find("Bold"), std::string::npos) << bold;
}

TEST_F(FontTest, TextLightsPixelsInsideItsBoxOnly) {
    Font font;
    ASSERT_TRUE(font.create(device_, "DejaVu Sans", kTextHeight, false));
    const TextSize size = font.measure("MMM");
    EXPECT_GT(size.width, 20);
    EXPECT_EQ(size.height, font.line_height());
    device_.clear(0xFF000000);
    font.draw_text(5, 10, 0xFFFFFFFF, "MMM");
    const Box box = lit_box(pixels());
    EXPECT_GT(box.count, 60);
    EXPECT_GE(box.left, 5);
    EXPECT_LT(box.right, 5 + size.width);
    EXPECT_GE(box.top, 10);
    EXPECT_LT(box.bottom, 10 + size.height);
    EXPECT_GT(box.right - box.left, size.width * 3 / 4);  // all three letters
}

TEST_F(FontTest, LineBreaksStartANewLineAtTheLeft) {
    Font font;
    ASSERT_TRUE(font.create(device_, "DejaVu Sans", kTextHeight, true));
    EXPECT_EQ(font.measure("M\nM").height, 2 * font.line_height());
    EXPECT_EQ(font.measure("M\nM").width, font.measure("M").width);
    device_.clear(0xFF000000);
    font.draw_text(2, 2, 0xFFFFFFFF, "M\nM");
    const Box box = lit_box(pixels());
    EXPECT_GE(box.bottom, 2 + font.line_height());
    EXPECT_LT(box.right, 2 + font.measure("M").width);
}

TEST_F(FontTest, ColourTintsTheGlyphs) {
    Font font;
    ASSERT_TRUE(font.create(device_, "DejaVu Sans", kTextHeight, true));
    device_.clear(0xFF000000);
    font.draw_text(0, 0, 0xFF00FF00,
                   "\xC3\x9C"
                   "MM");  // U with umlaut, in UTF-8
    const auto image = pixels();
    int green = 0, red = 0;
    for (size_t i = 0; i < image.size(); i += 4) {
        green += image[i + 1] > 128;
        red += image[i] > 0;
    }
    EXPECT_GT(green, 40);
    EXPECT_EQ(red, 0);
}

TEST_F(FontTest, AnUnusableFontDrawsNothing) {
    Font font;
    EXPECT_FALSE(font.create(device_, "error", 0, true));  // console settings missing
    EXPECT_FALSE(font.ready());
    device_.clear(0xFF000000);
    font.draw_text(0, 0, 0xFFFFFFFF, "MMM");
    EXPECT_EQ(lit_box(pixels()).count, 0);
    EXPECT_EQ(font.measure("MMM").width, 0);
}

}  // namespace
