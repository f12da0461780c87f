// The console's lines: pushing, fading, cutting, placement, and drawn for real.
#include "console/console.h"

#include <gtest/gtest.h>

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

TEST(Console, NewestAtTheBottomInTheLinesAllocatedAtSetUpThenFadedAndEmptied) {
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

    // Over 255 ticks a line fades to transparent, and then it empties.
    for (int t = 0; t < 255; ++t) console_fade(c);
    EXPECT_EQ(console_line(c, 4)->colour, 0x00FFFFFFu);
    EXPECT_EQ(text_of(c, 4), "again 95");
    console_fade(c);
    EXPECT_EQ(text_of(c, 4), "");
    EXPECT_EQ(console_line(c, 4)->age, 255);
    EXPECT_EQ(console_line(c, 4)->colour, 0x00FFFFFFu);
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
    const ConsoleSettings huge{INT_MAX, 10, INT_MAX, ""};
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
        load_settings(settings_);
        console_device_init(console_, fonts_, device_, settings_);
    }

    // After a fresh draw, the pixels of red brighter than `above` and no green or blue.
    Lit reds(int above = 8) {
        device_.clear(0xFF000000);
        console_draw(console_, ready_font(fonts_.console));
        return lit_pixels([above](uint32_t rgb) {
            return static_cast<int>(rgb >> 16) > above && (rgb >> 8 & 0xFF) <= 8 &&
                   (rgb & 0xFF) <= 8;
        });
    }

    Console console_;
    Fonts fonts_;
    Settings settings_;
};

TEST_F(ConsoleDrawTest, TheNewestLineIsDrawnInItsColourOnTheBottomLineAndFades) {
    ASSERT_NE(ready_font(fonts_.console), nullptr);  // the fonts come from the settings
    EXPECT_EQ(console_line_count(console_), 2);
    EXPECT_GE(ready_font(fonts_.console)->line_height(), kLineHeight);
    EXPECT_EQ(reds().count, 0);  // empty lines draw nothing

    console_print(console_, kRed, "MMMM");
    // Line 1 starts at y = 0 + 1 * (14 + 4) and x = 0 + 4; line 0 is still empty.
    const Lit bottom = reds();
    EXPECT_GT(bottom.count, 30);
    EXPECT_GE(bottom.top, kLineHeight + 4);
    EXPECT_GE(bottom.left, 4);
    EXPECT_LT(bottom.left, 8);
    EXPECT_GT(reds(249).count, 0);

    console_print(console_, kRed, "MMMM");  // pushes the first one up to line 0
    const Lit both = reds();
    EXPECT_LT(both.top, kLineHeight + 4);
    EXPECT_GT(both.count, bottom.count + 30);

    // Faded lines are drawn with their alpha over the background.
    for (int tick = 0; tick < 200; ++tick) console_fade(console_);
    EXPECT_GT(reds().count, 0);
    EXPECT_EQ(reds(256 - 200).count, 0);
}

// White text on the white menu still reads: each line has a dark shadow.
TEST_F(ConsoleDrawTest, AWhiteLineReadsOnAWhiteBackground) {
    console_print(console_, 0xFFFFFFFF, "MMMM");
    device_.clear(0xFFFFFFFF);
    console_draw(console_, ready_font(fonts_.console));
    EXPECT_GT(lit_pixels([](uint32_t rgb) { return (rgb & 0xFF) < 64; }).count, 30);
}

TEST_F(ConsoleDrawTest, NoConsoleSectionDrawsNothingAndSaysSo) {
    write_file("config.cfg", "[shell]\n");
    load_settings(settings_);
    testing::internal::CaptureStderr();
    console_device_init(console_, fonts_, device_, settings_);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("error"), std::string::npos);
    EXPECT_EQ(ready_font(fonts_.console), nullptr);
    EXPECT_NE(ready_font(fonts_.gui), nullptr);
    console_print(console_, kRed, "MMMM");
    EXPECT_EQ(reds().count, 0);
}

}  // namespace
