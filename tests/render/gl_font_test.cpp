#include "render/gl_font.h"

#include <gtest/gtest.h>

#include <vector>

#include "render/gl_test_context.h"
#include "render/glyph_packing.h"

namespace {

constexpr int kTextHeight = 16;

class FontTest : public GlTest {
  protected:
    // Draws text on black at (x, y) and gives the lit pixels.
    Lit draw(int x, int y, const char* text) {
        device_.clear(0xFF000000);
        font_.draw_text(x, y, 0xFFFFFFFF, text);
        return lit_pixels([](uint32_t rgb) { return rgb >> 16 >= 64; });
    }

    Font font_;
};

TEST_F(FontTest, TextLightsPixelsInsideItsBoxOnlyAndLineBreaksStartAtTheLeft) {
    ASSERT_TRUE(font_.create(device_, "Tahoma", kTextHeight, false));  // an installed stand-in
    const TextSize size = font_.measure("MMM");
    Lit box = draw(5, 10, "MMM");
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
    EXPECT_GT(lit_pixels([](uint32_t rgb) { return (rgb >> 8 & 0xFF) > 128; }).count, 40);
    EXPECT_EQ(lit_pixels([](uint32_t rgb) { return rgb >> 16 != 0; }).count, 0);

    // A height no screen can show is bounded, with a line, and still draws.
    Font huge;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(huge.create(device_, "DejaVu Sans", 2000, false));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("more than a screen"), std::string::npos);
    EXPECT_LE(huge.line_height(), 200);
    device_.clear(0xFF000000);
    huge.draw_text(0, 0, 0xFFFFFFFF, "M");
    EXPECT_GT(pixels_not(0xFF000000), 1000);

    Font unusable;
    EXPECT_FALSE(unusable.create(device_, "error", 0, true));  // console settings missing
    EXPECT_EQ(unusable.measure("MMM").width, 0);
    device_.clear(0xFF000000);
    unusable.draw_text(0, 0, 0xFFFFFFFF, "MMM");
    EXPECT_EQ(pixels_not(0), 0);
}

TEST_F(FontTest, CyrillicDrawsItsOwnGlyphAndWhatTheAtlasOrTheFileLacksDrawsAsAQuestionMark) {
    ASSERT_TRUE(font_.create(device_, "DejaVu Sans", kTextHeight, false));
    auto image = [&](const char* text) {
        draw(2, 2, text);
        return pixels();
    };
    const std::vector<uint8_t> question = image("?");
    EXPECT_GT(draw(2, 2, "\xD0\x96").count, 20);  // Cyrillic Zhe
    EXPECT_TRUE(image("\xD0\x96") != question);
    // U+0250, which the font has but the atlas does not, and U+0378, in no font.
    for (const char* lacking : {"\xC9\x90", "\xCD\xB8"}) {
        EXPECT_TRUE(image(lacking) == question) << lacking;
        EXPECT_EQ(font_.measure(lacking).width, font_.measure("?").width);
    }
}

// Every glyph placed lies inside the atlas and apart from the others; what cannot fit is
// refused, not spilled past the end.
TEST(GlyphPacking, BoxesStayInsideAndApartAndWhatDoesNotFitIsRefused) {
    GlyphBox boxes[] = {{30, 20}, {0, 0}, {101, 5}, {40, 30}, {50, 10}, {60, 60}, {20, 20}};
    const int used = shelf_pack(boxes, 7, 100, 70, 1);
    EXPECT_FALSE(boxes[1].placed);  // no image
    EXPECT_FALSE(boxes[2].placed);  // wider than the atlas
    EXPECT_FALSE(boxes[5].placed);  // its row would pass the bottom
    EXPECT_TRUE(boxes[6].placed);   // packing goes on after a refusal
    EXPECT_LE(used, 70);
    for (const GlyphBox& a : boxes) {
        if (!a.placed) continue;
        EXPECT_TRUE(a.x >= 0 && a.y >= 0 && a.x + a.width <= 100 && a.y + a.height <= used);
        for (const GlyphBox& b : boxes) {
            if (&a == &b || !b.placed) continue;
            EXPECT_TRUE(a.x + a.width <= b.x || b.x + b.width <= a.x || a.y + a.height <= b.y ||
                        b.y + b.height <= a.y);
        }
    }
}

}  // namespace
