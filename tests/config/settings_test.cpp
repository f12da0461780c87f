// Settings in config.cfg, and the ini text they are read from and written to.
#include "config/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
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

    static std::string read_string(const Settings& settings, const char* section, const char* key,
                                   size_t size = 80) {
        std::vector<char> buffer(size + 1, '#');
        read_setting_string(settings, section, key, buffer.data(), size);
        return std::string(buffer.data());
    }
    // Settings loaded from a config.cfg that holds text.
    static Settings loaded(const std::string& text) {
        write_text(kConfigFileName, text);
        Settings settings;
        EXPECT_TRUE(load_settings(settings));
        return settings;
    }

    TempFolder folder_{"torvi-settings-"};
    WorkingFolder inside_{folder_.path()};
    const fs::path dir_ = folder_.path();
};

TEST_F(SettingsTest, MissingValuesReadAsDefaultsStringsAreCutAndWritesReadBack) {
    // No config.cfg: the built-in settings, written out whole by the first change.
    Settings settings;
    EXPECT_TRUE(load_settings(settings));
    EXPECT_FALSE(config_present(settings));
    EXPECT_EQ(read_setting_int(settings, "menu_dialog", "posy"), 100);
    EXPECT_EQ(read_string(settings, "shell", "texturecfg"), "Data/textures.cfg");
    EXPECT_TRUE(write_setting_int(settings, "input", "jump", 1));
    EXPECT_TRUE(config_present(settings));
    EXPECT_EQ(read_setting_int(settings, "console", "size"), 14);
    EXPECT_EQ(read_setting_int(settings, "input", "jump"), 1);
    EXPECT_EQ(read_text(kConfigFileName), settings.text);

    settings = loaded("[console]\nposx=12\nfont=\n");
    EXPECT_EQ(read_setting_int(settings, "input", "jump"), 0);
    EXPECT_EQ(read_setting_int_or(settings, "input", "jump", -5), -5);
    EXPECT_EQ(read_string(settings, "console", "posy"), "error");
    EXPECT_EQ(read_string(settings, "console", "font"), "");

    settings = loaded("[input]\ntype=gamepad\n");
    EXPECT_EQ(read_string(settings, "input", "type", 4), "gam");
    char untouched[2] = {'x', 'y'};
    read_setting_string(settings, "input", "type", untouched, 0);
    read_setting_string(settings, "input", "type", nullptr, 10);
    EXPECT_EQ(std::string(untouched, 2), "xy");

    // The name resolves against the folder current at the load, not at later calls.
    fs::create_directory(dir_ / "one");
    write_text(dir_ / "one" / kConfigFileName, "[input]\njump=1\n");
    write_text(kConfigFileName, "[input]\njump=2\n");
    fs::current_path(dir_ / "one");
    settings = Settings{};
    load_settings(settings);
    fs::current_path(dir_);
    EXPECT_EQ(read_setting_int(settings, "input", "jump"), 1);
    EXPECT_TRUE(write_setting_int(settings, "input", "jump", 5));
    EXPECT_EQ(read_text(kConfigFileName), "[input]\njump=2\n");

    settings = loaded("[input]\njump=5\n");
    EXPECT_TRUE(write_setting_string(settings, "input", "type", "Gamepad"));
    EXPECT_TRUE(write_setting_int(settings, "menu_dialog", "posx", INT_MIN));
    EXPECT_EQ(read_string(settings, "input", "type"), "Gamepad");
    EXPECT_EQ(read_setting_int(settings, "menu_dialog", "posx"), INT_MIN);
    EXPECT_EQ(read_text(kConfigFileName),
              "[input]\njump=5\ntype=Gamepad\n[menu_dialog]\nposx=-2147483648\n");
}

// Reads use the text loaded; a write starts from the file as it is now, so an edit made
// while the game ran stays, and what it saved is what reads see from then on.
TEST_F(SettingsTest, ReadsKeepTheLoadedTextAndWritesKeepEditsMadeSince) {
    Settings settings = loaded("[input]\njump=3\n");
    fs::remove(kConfigFileName);
    EXPECT_EQ(read_setting_int(settings, "input", "jump"), 3);
    write_text(kConfigFileName, "[input]\njump=4\n; added by hand\n[player]\nname=someone\n");
    EXPECT_EQ(read_setting_int(settings, "input", "jump"), 3);

    EXPECT_TRUE(write_setting_int(settings, "input", "forward", 7));
    const std::string saved =
        "[input]\njump=4\n; added by hand\nforward=7\n[player]\nname=someone\n";
    EXPECT_EQ(read_text(kConfigFileName), saved);
    EXPECT_EQ(settings.text, saved);
    EXPECT_EQ(read_string(settings, "player", "name"), "someone");
}

// Installed, the player has no settings file until the first save, which starts from the
// shipped one; the shipped file is only read.
TEST_F(SettingsTest, AMissingFileReadsAndIsFirstSavedFromTheShippedOne) {
    write_text("shipped.cfg", "[input]\njump=3\n");
    Settings settings;
    settings.shipped_path = (dir_ / "shipped.cfg").string();
    EXPECT_TRUE(load_settings(settings, "mine.cfg"));
    EXPECT_FALSE(config_present(settings));
    EXPECT_EQ(read_setting_int(settings, "input", "jump"), 3);

    EXPECT_TRUE(write_setting_int(settings, "input", "forward", 7));
    EXPECT_EQ(read_text("mine.cfg"), "[input]\njump=3\nforward=7\n");
    EXPECT_EQ(read_text("shipped.cfg"), "[input]\njump=3\n");
}

TEST_F(SettingsTest, MemoryOnlyWritesAndSettingInMemoryLeaveTheFileAlone) {
    const std::string original = "[input]\njump=3\n";
    Settings settings = loaded(original);
    EXPECT_TRUE(set_setting_in_memory(settings, "input", "jump", "8"));
    EXPECT_EQ(read_setting_int(settings, "input", "jump"), 8);
    EXPECT_FALSE(set_setting_in_memory(settings, "in]put", "jump", "1"));

    settings.memory_only = true;
    ::chmod(kConfigFileName, 0444);
    EXPECT_TRUE(config_writable(settings, "the bindings"));
    EXPECT_TRUE(write_setting_int(settings, "input", "jump", 9));
    EXPECT_TRUE(write_setting_string(settings, "player", "name", "replayed"));
    EXPECT_EQ(read_setting_int(settings, "input", "jump"), 9);
    EXPECT_EQ(read_string(settings, "player", "name"), "replayed");
    EXPECT_EQ(read_text(kConfigFileName), original);
}

// The fault cases of the atomic save are covered in the platform tests; here only that
// settings are saved through it, and that bad names or unreadable files write nothing.
TEST_F(SettingsTest, FailedSavesBadNamesAndUnreadableFilesLeaveTheFileAlone) {
    Settings settings;
    load_settings(settings);
    EXPECT_FALSE(write_setting_int(settings, "in]put", "jump", 1));
    EXPECT_FALSE(fs::exists(kConfigFileName));
    Settings never_loaded;
    EXPECT_FALSE(write_setting_int(never_loaded, "input", "jump", 1));
    EXPECT_FALSE(fs::exists(kConfigFileName));

    const std::string original = "[input]\ntype=tastatur\n";
    settings = loaded(original);
    set_save_fault_for_testing(fault_rename);
    EXPECT_FALSE(write_setting_string(settings, "input", "type", "gamepad"));
    EXPECT_EQ(read_text(kConfigFileName), original);
    EXPECT_EQ(read_string(settings, "input", "type"), "tastatur");
    set_save_fault_for_testing(fault_none);
    fs::remove(kConfigFileName);

    // One line at the load, none at the reads, which find nothing.
    fs::create_directory(kConfigFileName);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(load_settings(settings));
    EXPECT_EQ(read_setting_int(settings, "input", "jump"), 0);
    EXPECT_EQ(read_string(settings, "shell", "texturecfg"), "error");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_TRUE(config_present(settings));
    EXPECT_FALSE(write_setting_int(settings, "input", "jump", 1));
    EXPECT_TRUE(fs::is_directory(kConfigFileName));
    fs::remove(kConfigFileName);

    // Too big to be a real settings file: refused whole, on reading and on writing.
    const std::string huge = "[input]\njump=3\n" + std::string(size_t{1} << 20, ';');
    write_text(kConfigFileName, huge);
    EXPECT_FALSE(load_settings(settings));
    EXPECT_EQ(read_setting_int(settings, "input", "jump"), 0);
    EXPECT_FALSE(write_setting_int(settings, "input", "jump", 1));
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
