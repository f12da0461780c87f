// The console drawn for real.
#include "app/gl_console.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "../render/gl_test_context.h"
#include "app/console.h"

namespace {

constexpr uint32_t kRed = 0xFFFF0000;
constexpr int kLineHeight = 14;

class ConsoleDrawTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        work_in(folder());
        write_file("config.cfg", "[console]\nposx=0\nposy=0\nsize=14\nfont=Tahoma\ntextlines=2\n");
        ASSERT_TRUE(renderer().init(kWidth, kHeight));
        console_device_init(renderer());
    }

    // Red pixels (red above 8, green and blue none) in rows first..last, after a fresh draw.
    struct Reds {
        int count, leftmost, brightest;
    };
    Reds reds_in_rows(int first, int last) {
        renderer().clear(0xFF000000);
        console_draw(renderer());
        const std::vector<uint8_t> image = pixels();
        Reds reds{0, kWidth, 0};
        for (int y = first; y <= last; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const uint32_t c = rgba_at(image, x, y);
                const int r = c >> 24, g = (c >> 16) & 0xFF, b = (c >> 8) & 0xFF;
                if (r <= 8 || g > 8 || b > 8) continue;
                ++reds.count;
                reds.leftmost = std::min(reds.leftmost, x);
                reds.brightest = std::max(reds.brightest, r);
            }
        }
        return reds;
    }
};

TEST_F(ConsoleDrawTest, TheNewestLineIsDrawnInItsColourOnTheBottomLine) {
    ASSERT_NE(console_font(), nullptr);  // the fonts come from the settings
    ASSERT_NE(gui_font(), nullptr);
    EXPECT_EQ(console_line_count(console()), 2);
    EXPECT_GE(console_font()->line_height(), kLineHeight);
    EXPECT_EQ(reds_in_rows(0, kHeight - 1).count, 0);  // empty lines draw nothing

    console_print(kRed, "MMMM");
    // Line 1 starts at y = 0 + 1 * (14 + 4) and x = 0 + 4; line 0 is still empty.
    EXPECT_EQ(reds_in_rows(0, kLineHeight + 3).count, 0);
    const Reds bottom = reds_in_rows(kLineHeight + 4, kHeight - 1);
    EXPECT_GT(bottom.count, 30);
    EXPECT_GE(bottom.leftmost, 4);
    EXPECT_LT(bottom.leftmost, 8);
    EXPECT_GE(bottom.brightest, 250);

    console_print(kRed, "MMMM");  // pushes the first one up to line 0
    EXPECT_GT(reds_in_rows(0, kLineHeight + 3).count, 30);
}

TEST_F(ConsoleDrawTest, LinesFadeOutAndVanish) {
    console_print(kRed, "MMMM");
    for (int tick = 0; tick < 200; ++tick) console_fade();
    const Reds faded = reds_in_rows(0, kHeight - 1);
    EXPECT_GT(faded.count, 0);
    EXPECT_LE(faded.brightest, 256 - 200);  // alpha 55 over black
    for (int tick = 0; tick < 56; ++tick) console_fade();
    EXPECT_EQ(reds_in_rows(0, kHeight - 1).count, 0);
}

TEST_F(ConsoleDrawTest, NoConsoleSectionDrawsNothingAndSaysSo) {
    write_file("config.cfg", "[shell]\n");
    testing::internal::CaptureStderr();
    console_device_init(renderer());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("error"), std::string::npos);
    EXPECT_EQ(console_font(), nullptr);
    EXPECT_NE(gui_font(), nullptr);
    console_print(kRed, "MMMM");
    EXPECT_EQ(reds_in_rows(0, kHeight - 1).count, 0);
}

}  // namespace
