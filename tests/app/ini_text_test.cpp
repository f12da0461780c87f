#include "app/ini_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>

namespace {

std::string found(const std::string& text, const char* section, const char* key) {
    std::string value;
    return ini_find(text, section, key, &value) ? value : "<missing>";
}

std::string set(std::string text, const char* section, const char* key, const char* value) {
    EXPECT_TRUE(ini_set(text, section, key, value));
    return text;
}

TEST(IniSet, NewLinesGoWhereTheyBelong) {
    // After the section's last non-blank line, even a comment heading the next section.
    EXPECT_EQ(set("[a]\nk=1\n; b next\n\n[b]\n", "A", "m", "2"),
              "[a]\nk=1\n; b next\nm=2\n\n[b]\n");
    // A last line without its line break gets one first.
    EXPECT_EQ(set("[a]\nk=1", "a", "m", "2"), "[a]\nk=1\nm=2\n");
    EXPECT_EQ(set("[a]\nk=1", "b", "k", "2"), "[a]\nk=1\n[b]\nk=2\n");
    // A CR closing the file only lacks its LF.
    EXPECT_EQ(set("[a]\r\nk=1\r", "b", "k", "2"), "[a]\r\nk=1\r\n[b]\r\nk=2\r\n");
    EXPECT_EQ(set("", " input ", " type ", "gamepad"), "[input]\ntype=gamepad\n");
}

TEST(IniSet, ReplacementKeepsTheLineAndItsEnding) {
    EXPECT_EQ(set("[s]\r\nKey=\r\nother=1\r\n", "s", "key", "v"), "[s]\r\nKey=v\r\nother=1\r\n");
    const std::string emptied = set("[s]\nk = old", "s", "k", "");
    EXPECT_EQ(emptied, "[s]\nk = ");
    EXPECT_EQ(found(emptied, "s", "k"), "");

    // Writing the same value again changes nothing, even one with its own blanks.
    const std::string padded = set(emptied, "s", "k", "  padded");
    EXPECT_EQ(padded, "[s]\nk =  padded");
    EXPECT_EQ(set(padded, "s", "k", "  padded"), padded);
}

TEST(IniSet, UnusableNamesAndValuesWithLineBreaksCannotAddLines) {
    std::string text = set("[input]\ntype=x\n", "input", "type", "gamepad\n[shell]\nfont=evil");
    EXPECT_EQ(text, "[input]\ntype=gamepad\n");
    EXPECT_EQ(set(text, "input", "jump", "1\rforward=9"), "[input]\ntype=gamepad\njump=1\n");

    const char* bad_sections[] = {nullptr, "  ", "a]b", "a=b", "a\nb", "a\rb"};
    const char* bad_keys[] = {nullptr, "", "k]", "k=v", "k\n", ";k", " #k", "[k"};
    text = "[s]\nk=1\n";
    for (const char* section : bad_sections) EXPECT_FALSE(ini_set(text, section, "k", "v"));
    for (const char* key : bad_keys) EXPECT_FALSE(ini_set(text, "s", key, "v"));
    EXPECT_FALSE(ini_set(text, "s", "k", nullptr));
    EXPECT_EQ(text, "[s]\nk=1\n");
    EXPECT_EQ(ini_name_problem(";odd section[", IniName::section), nullptr);
}

TEST(IniFind, FirstSectionAndFirstKeyWin) {
    const std::string text =
        "k=before any section\n"
        "[s]\n"
        "; k=commented\n"
        "#k=commented\n"
        "k\n"
        "[damaged\n"
        "k=first\n"
        "K=second\n"
        "[t]\n"
        "only=t\n"
        "[S]\n"
        "late=in the duplicate\n";
    EXPECT_EQ(found(text, " S ", "K"), "first");
    EXPECT_EQ(found(text, "s", "late"), "<missing>");
    EXPECT_EQ(found(text, "s", "only"), "<missing>");
    EXPECT_EQ(found("[s]\nk=\tGamepad \n", "s", "k"), "Gamepad");

    // Writing goes to the same first section that reading searches.
    const std::string written = set(text, "S", "late", "new");
    EXPECT_EQ(found(written, "s", "late"), "new");
    EXPECT_EQ(found(written, "t", "only"), "t");
}

TEST(IniIntValue, SignDigitsAndClamping) {
    const std::pair<const char*, int> cases[] = {{"12abc", 12},
                                                 {"-7", -7},
                                                 {"+5", 5},
                                                 {"", 0},
                                                 {"-", 0},
                                                 {"+-5", 0},
                                                 {"0x10", 0},
                                                 {"000000000000000000000042", 42},
                                                 {"2147483648", INT_MAX},
                                                 {"-2147483648", INT_MIN},
                                                 {"-2147483649", INT_MIN},
                                                 {"-99999999999999999999999999", INT_MIN}};
    for (const auto& [text, value] : cases) EXPECT_EQ(ini_int_value(text), value) << text;
}

}  // namespace
