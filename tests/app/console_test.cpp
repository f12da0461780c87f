// The console's lines: pushing, fading, cutting, placement and set-up from the settings.
#include "app/console.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <fstream>
#include <string>

#include "support/temp_folder.h"

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
    EXPECT_EQ(console_line(c, 4)->colour, 0xFF00FF00u);
    EXPECT_EQ(console_line(c, 4)->age, 0);
    EXPECT_EQ(console_line(c, 5), nullptr);
    EXPECT_EQ(console_line(c, -1), nullptr);

    for (int k = 0; k < 100; ++k) console_print(c, 0xFFFFFFFF, "%d", k);
    EXPECT_EQ(c.storage.data(), first);
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(console_line(c, i) >= first && console_line(c, i) < first + 5);
    }
    // Printing the text of the line about to be reused keeps it intact.
    console_print(c, 0xFFFFFFFF, "again %s", console_line(c, 0)->text);
    EXPECT_EQ(text_of(c, 4), "again 95");
}

TEST(Console, LinesFadeAndEmpty) {
    Console c;
    console_lines_init(c, 2);
    EXPECT_EQ(console_line(c, 0)->colour, 0xFF000000u);
    console_print(c, 0xFFFFFFFF, "white");
    for (int t = 0; t < 100; ++t) console_fade(c);
    EXPECT_EQ(console_line(c, 1)->colour, 0x9BFFFFFFu);
    EXPECT_EQ(console_line(c, 1)->age, 100);
    for (int t = 100; t < 255; ++t) console_fade(c);
    EXPECT_EQ(console_line(c, 1)->colour, 0x00FFFFFFu);
    EXPECT_EQ(text_of(c, 1), "white");
    console_fade(c);
    EXPECT_EQ(text_of(c, 1), "");
    EXPECT_EQ(console_line(c, 1)->age, 255);
    EXPECT_EQ(console_line(c, 1)->colour, 0x00FFFFFFu);
}

TEST(Console, LongMessagesAreCutAndNoLinesOrAbsurdCountsAreSafe) {
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
        EXPECT_EQ(console_line_count(c), 0);
        EXPECT_EQ(console_line(c, 0), nullptr);
    }
    console_lines_init(c, INT_MAX);
    EXPECT_EQ(console_line_count(c), kMaxConsoleLines);
}

TEST(Console, LinePositions) {
    ConsoleSettings s{};
    s.posx = 8;
    s.posy = 10;
    s.size = 14;
    EXPECT_EQ(console_line_position(s, 0).x, 12);
    EXPECT_EQ(console_line_position(s, 0).y, 10);
    EXPECT_EQ(console_line_position(s, 3).y, 10 + 3 * 18);
    s.size = INT_MAX;
    s.posx = INT_MAX;
    EXPECT_EQ(console_line_position(s, 3).y, INT_MAX);
    EXPECT_EQ(console_line_position(s, 3).x, INT_MAX);
}

TEST(Console, SetUpReadsTheConsoleSectionAndWithoutOneGivesNoLines) {
    const TempFolder folder("torvi-console-");
    const WorkingFolder inside(folder.path());
    ASSERT_TRUE(inside.ok());
    Console c;
    console_init(c);
    console_lines_init(c);
    EXPECT_EQ(c.settings.size, 0);
    EXPECT_STREQ(c.settings.font, "error");
    EXPECT_EQ(console_line_count(c), 0);

    std::ofstream("config.cfg") << "[console]\nposx=8\nposy=9\nsize=14\nfont=Tahoma\n"
                                   "textlines=6\n";
    console_init(c);
    console_lines_init(c);
    EXPECT_EQ(c.settings.posx, 8);
    EXPECT_EQ(c.settings.posy, 9);
    EXPECT_EQ(c.settings.size, 14);
    EXPECT_STREQ(c.settings.font, "Tahoma");
    EXPECT_EQ(console_line_count(c), 6);
}

}  // namespace
