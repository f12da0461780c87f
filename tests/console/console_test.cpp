// The console's lines: pushing, fading, cutting, placement, and drawn for real.
#include "console/console.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "../render/gl_test_context.h"
#include "console/gl_console.h"

namespace {

std::string text_of(const Console& c, int i) {
    const ConsoleLine* line = console_line(c, i);
    return line != nullptr ? std::string(line->text) : std::string("<none>");
}

TEST(Console, NewestAtTheBottomOldestPushedOutInTheLinesAllocatedAtSetUp) {
    Console c;
    console_lines_init(c, 5);
    const ConsoleLine* first = c.storage.data();
    for (int k = 1; k <= 6; ++k) console_print(c, 0xFF00FF00, "message %d", k);
    ASSERT_EQ(console_line_count(c), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(text_of(c, i), "message " + std::to_string(i + 2));
    EXPECT_EQ(console_line(c, 5), nullptr);

    for (int k = 0; k < 100; ++k) console_print(c, 0xFFFFFFFF, "%d", k);
    EXPECT_EQ(c.storage.data(), first);
    // Printing the text of the line about to be reused keeps it intact.
    console_print(c, 0xFFFFFFFF, "again %s", console_line(c, 0)->text);
    EXPECT_EQ(text_of(c, 4), "again 95");
}

TEST(Console, LinesFadeAndEmpty) {
    Console c;
    console_lines_init(c, 2);
    console_print(c, 0xFFFFFFFF, "white");
    for (int t = 0; t < 100; ++t) console_fade(c);
    EXPECT_EQ(console_line(c, 1)->colour, 0x9BFFFFFFu);  // alpha 255 - 100
    for (int t = 100; t < 255; ++t) console_fade(c);
    EXPECT_EQ(console_line(c, 1)->colour, 0x00FFFFFFu);
    EXPECT_EQ(text_of(c, 1), "white");
    console_fade(c);
    EXPECT_EQ(text_of(c, 1), "");
    EXPECT_EQ(console_line(c, 1)->age, 255);
    EXPECT_EQ(console_line(c, 1)->colour, 0x00FFFFFFu);
}

TEST(Console, LongMessagesAreCutAndNoLinesOrAbsurdCountsOrSizesAreSafe) {
    Console c;
    console_print(c, 0xFFFFFFFF, "before set-up");
    console_fade(c);
    console_lines_init(c, 2);
    console_print(c, 0xFFFFFFFF, "%s", std::string(300, 'a').c_str());
    const ConsoleLine* line = console_line(c, 1);
    EXPECT_EQ(std::strlen(line->text), kConsoleLineSize - 1);
    EXPECT_EQ(line->age, 0);  // the fields after the text are untouched by the message
    EXPECT_EQ(line->colour, 0xFFFFFFFFu);
    EXPECT_EQ(text_of(c, 0), "");  // the neighbour line too

    for (int count : {0, -7}) {
        console_lines_init(c, count);
        console_print(c, 0xFFFFFFFF, "nothing");
        console_fade(c);
        EXPECT_EQ(console_line(c, 0), nullptr);
    }
    console_lines_init(c, INT_MAX);
    EXPECT_EQ(console_line_count(c), kMaxConsoleLines);
    // Placement saturates instead of overflowing.
    const ConsoleSettings huge{INT_MAX, 10, INT_MAX};
    EXPECT_EQ(console_line_position(huge, 3).x, INT_MAX);
    EXPECT_EQ(console_line_position(huge, 3).y, INT_MAX);
}

constexpr uint32_t kRed = 0xFFFF0000;
constexpr int kLineHeight = 14;

class ConsoleDrawTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        work_in(folder());
        write_file("config.cfg", "[console]\nposx=0\nposy=0\nsize=14\nfont=Tahoma\ntextlines=2\n");
        console_device_init(console_, fonts_, device_);
    }

    // Red pixels (red above 8, green and blue none) in rows first..last, after a fresh draw.
    struct Reds {
        int count, leftmost, brightest;
    };
    Reds reds_in_rows(int first, int last) {
        device_.clear(0xFF000000);
        console_draw(console_, ready_font(fonts_.console));
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

    Console console_;
    Fonts fonts_;
};

TEST_F(ConsoleDrawTest, TheNewestLineIsDrawnInItsColourOnTheBottomLineAndFades) {
    ASSERT_NE(ready_font(fonts_.console), nullptr);  // the fonts come from the settings
    EXPECT_EQ(console_line_count(console_), 2);
    EXPECT_GE(ready_font(fonts_.console)->line_height(), kLineHeight);
    EXPECT_EQ(reds_in_rows(0, kHeight - 1).count, 0);  // empty lines draw nothing

    console_print(console_, kRed, "MMMM");
    // Line 1 starts at y = 0 + 1 * (14 + 4) and x = 0 + 4; line 0 is still empty.
    EXPECT_EQ(reds_in_rows(0, kLineHeight + 3).count, 0);
    const Reds bottom = reds_in_rows(kLineHeight + 4, kHeight - 1);
    EXPECT_GT(bottom.count, 30);
    EXPECT_GE(bottom.leftmost, 4);
    EXPECT_LT(bottom.leftmost, 8);
    EXPECT_GE(bottom.brightest, 250);

    console_print(console_, kRed, "MMMM");  // pushes the first one up to line 0
    EXPECT_GT(reds_in_rows(0, kLineHeight + 3).count, 30);

    // Faded lines are drawn with their alpha over the background.
    for (int tick = 0; tick < 200; ++tick) console_fade(console_);
    const Reds faded = reds_in_rows(0, kHeight - 1);
    EXPECT_GT(faded.count, 0);
    EXPECT_LE(faded.brightest, 256 - 200);
}

TEST_F(ConsoleDrawTest, NoConsoleSectionDrawsNothingAndSaysSo) {
    write_file("config.cfg", "[shell]\n");
    testing::internal::CaptureStderr();
    console_device_init(console_, fonts_, device_);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("error"), std::string::npos);
    EXPECT_EQ(ready_font(fonts_.console), nullptr);
    EXPECT_NE(ready_font(fonts_.gui), nullptr);
    console_print(console_, kRed, "MMMM");
    EXPECT_EQ(reds_in_rows(0, kHeight - 1).count, 0);
}

}  // namespace
