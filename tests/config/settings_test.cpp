// Settings in config.cfg, and the ini text they are read from and written to.
#include "config/settings.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "config/ini_text.h"
#include "platform/atomic_file.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// Each test runs in a fresh folder of its own as the current directory.
class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.ok());
        ASSERT_TRUE(inside_.ok());
    }
    void TearDown() override { set_save_fault_for_testing(fault_none); }

    static std::string read_string(const char* section, const char* key, size_t size = 80) {
        std::vector<char> buffer(size + 1, '#');
        read_setting_string(section, key, buffer.data(), size);
        return std::string(buffer.data());
    }

    TempFolder folder_{"torvi-settings-"};
    WorkingFolder inside_{folder_.path()};
    const fs::path dir_ = folder_.path();
};

TEST_F(SettingsTest,
       MissingValuesReadAsDefaultsStringsAreCutAndWritesReadBackFromTheCurrentFolder) {
    // No config.cfg: the built-in settings, written out whole by the first change.
    EXPECT_FALSE(config_present());
    EXPECT_EQ(read_setting_int("menu_dialog", "posy"), 100);
    EXPECT_EQ(read_string("shell", "texturecfg"), "Data/textures.cfg");
    EXPECT_TRUE(write_setting_int("input", "jump", 1));
    EXPECT_EQ(read_setting_int("console", "size"), 14);
    EXPECT_EQ(read_setting_int("input", "jump"), 1);

    write_text(kConfigFileName, "[console]\nposx=12\nfont=\n");
    EXPECT_EQ(read_setting_int("input", "jump"), 0);
    EXPECT_EQ(read_string("console", "posy"), "error");
    EXPECT_EQ(read_string("console", "font"), "");

    write_text(kConfigFileName, "[input]\ntype=gamepad\n");
    EXPECT_EQ(read_string("input", "type", 4), "gam");
    char untouched[2] = {'x', 'y'};
    read_setting_string("input", "type", untouched, 0);
    read_setting_string("input", "type", nullptr, 10);
    EXPECT_EQ(std::string(untouched, 2), "xy");

    // Every call uses the current folder, and written values read back exactly.
    fs::create_directory(dir_ / "one");
    write_text(dir_ / "one" / kConfigFileName, "[input]\njump=1\n");
    write_text(kConfigFileName, "[input]\njump=2\n");
    fs::current_path(dir_ / "one");
    EXPECT_EQ(read_setting_int("input", "jump"), 1);
    fs::current_path(dir_);
    EXPECT_TRUE(write_setting_int("input", "jump", 5));
    EXPECT_EQ(read_text(dir_ / "one" / kConfigFileName), "[input]\njump=1\n");

    EXPECT_TRUE(write_setting_string("input", "type", "Gamepad"));
    EXPECT_TRUE(write_setting_int("menu_dialog", "posx", INT_MIN));
    EXPECT_EQ(read_string("input", "type"), "Gamepad");
    EXPECT_EQ(read_setting_int("menu_dialog", "posx"), INT_MIN);
    EXPECT_EQ(read_text(kConfigFileName),
              "[input]\njump=5\ntype=Gamepad\n[menu_dialog]\nposx=-2147483648\n");
}

// The fault cases of the atomic save are covered in the platform tests; here only that
// settings are saved through it, and that bad names or unreadable files write nothing.
TEST_F(SettingsTest, FailedSavesBadNamesAndUnreadableFilesLeaveTheFileAlone) {
    EXPECT_FALSE(write_setting_int("in]put", "jump", 1));
    EXPECT_FALSE(fs::exists(kConfigFileName));
    const std::string original = "[input]\ntype=tastatur\n";
    write_text(kConfigFileName, original);
    set_save_fault_for_testing(fault_rename);
    EXPECT_FALSE(write_setting_string("input", "type", "gamepad"));
    EXPECT_EQ(read_text(kConfigFileName), original);
    set_save_fault_for_testing(fault_none);
    fs::remove(kConfigFileName);

    fs::create_directory(kConfigFileName);
    EXPECT_FALSE(write_setting_int("input", "jump", 1));
    EXPECT_TRUE(fs::is_directory(kConfigFileName));
    EXPECT_EQ(read_setting_int("input", "jump"), 0);
    fs::remove(kConfigFileName);

    // Too big to be a real settings file: refused whole, on reading and on writing.
    const std::string huge = "[input]\njump=3\n" + std::string(size_t{1} << 20, ';');
    write_text(kConfigFileName, huge);
    EXPECT_EQ(read_setting_int("input", "jump"), 0);
    EXPECT_FALSE(write_setting_int("input", "jump", 1));
    EXPECT_EQ(read_text(kConfigFileName), huge);
}

std::string found(const std::string& text, const char* section, const char* key) {
    std::string value;
    return ini_find(text, section, key, &value) ? value : "<missing>";
}

std::string set(std::string text, const char* section, const char* key, const char* value) {
    EXPECT_TRUE(ini_set(text, section, key, value));
    return text;
}

// A write changes its one line (or adds it where it belongs) and keeps every other byte.
TEST(IniSet, WritesTouchOnlyTheirLineAndValuesCannotAddLines) {
    struct Case {
        const char *before, *section, *key, *value, *after;
    };
    const Case cases[] = {
        // After the section's last non-blank line, even a comment heading the next section.
        {"[a]\nk=1\n; b next\n\n[b]\n", "A", "m", "2", "[a]\nk=1\n; b next\nm=2\n\n[b]\n"},
        // A last line without its line break gets one first; a CR closing the file its LF.
        {"[a]\nk=1", "a", "m", "2", "[a]\nk=1\nm=2\n"},
        {"[a]\nk=1", "b", "k", "2", "[a]\nk=1\n[b]\nk=2\n"},
        {"[a]\r\nk=1\r", "b", "k", "2", "[a]\r\nk=1\r\n[b]\r\nk=2\r\n"},
        {"", " input ", " type ", "gamepad", "[input]\ntype=gamepad\n"},
        // Replacing keeps the line's spelling, blanks and ending.
        {"[s]\r\nKey=\r\nother=1\r\n", "s", "key", "v", "[s]\r\nKey=v\r\nother=1\r\n"},
        {"[s]\nk = old", "s", "k", "", "[s]\nk = "},
        {"[s]\nk = ", "s", "k", "  padded", "[s]\nk =  padded"},
        {"[s]\nk =  padded", "s", "k", "  padded", "[s]\nk =  padded"},
        // A value that is already so leaves the line alone, blanks and all.
        {"[s]\n  PosX = 80  \n", "s", "posx", "80", "[s]\n  PosX = 80  \n"},
        // A byte-order mark hides no section.
        {"\xEF\xBB\xBF[s]\nk=1\n", "s", "k", "2", "\xEF\xBB\xBF[s]\nk=2\n"},
        {"\xEF\xBB\xBF", "s", "k", "1", "\xEF\xBB\xBF[s]\nk=1\n"},
        // A value is cut at its first line break.
        {"[input]\ntype=x\n", "input", "type", "gamepad\n[shell]\nfont=evil",
         "[input]\ntype=gamepad\n"},
        {"[input]\n", "input", "jump", "1\rforward=9", "[input]\njump=1\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(set(c.before, c.section, c.key, c.value), c.after) << c.before;
    EXPECT_EQ(found("[s]\nk = ", "s", "k"), "");
}

TEST(IniSet, UnusableNamesOrNoValueWriteNothing) {
    const char* bad_sections[] = {nullptr, "  ", "a]b", "a=b", "a\nb", "a\rb"};
    const char* bad_keys[] = {nullptr, "", "k]", "k=v", "k\n", ";k", " #k", "[k"};
    std::string text = "[s]\nk=1\n";
    for (const char* section : bad_sections) EXPECT_FALSE(ini_set(text, section, "k", "v"));
    for (const char* key : bad_keys) EXPECT_FALSE(ini_set(text, "s", key, "v"));
    EXPECT_FALSE(ini_set(text, "s", "k", nullptr));
    EXPECT_EQ(text, "[s]\nk=1\n");
    EXPECT_EQ(ini_name_problem(";odd section[", ini_section), nullptr);
}

TEST(IniFind, FirstSectionAndFirstKeyWin) {
    // Lines before any section, comments, a line without "=" and a broken header are skipped.
    const std::string text =
        "k=before any section\n[s]\n; k=commented\n#k=commented\nk\n[damaged\nk=first\n"
        "K=second\n[t]\nonly=t\n[S]\nlate=in the duplicate\n";
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
    // clang-format off
    const std::pair<const char*, int> cases[] = {
        {"12abc", 12}, {"-7", -7}, {"+5", 5}, {"", 0}, {"-", 0}, {"+-5", 0}, {"0x10", 0},
        {"000000000000000000000042", 42}, {"2147483648", INT_MAX}, {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN}, {"-99999999999999999999999999", INT_MIN}};
    // clang-format on
    for (const auto& [text, value] : cases) EXPECT_EQ(ini_int_value(text), value) << text;
}

}  // namespace
