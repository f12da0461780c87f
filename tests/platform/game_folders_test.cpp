// Which way the game runs and where it then reads and writes, and the player's files
// listed and found before the shipped ones.
#include "platform/game_folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_search.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

// An install under root/prefix (bin/ and the data beside it) and an empty start folder.
class GameFoldersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(root_.ok());
        fs::create_directories(program_);
        fs::create_directories(fs::path(program_) / kDataBesideProgram / "Data");
        fs::create_directories(start_);
        in_.current = start_;
        in_.program = program_;
        in_.home = "/home/ann";
    }

    bool choose() { return choose_game_folders(in_, folders_, why_); }

    TempFolder root_{"torvi-folders-"};
    const std::string program_ = root_.file("prefix/bin");
    const std::string start_ = root_.file("start");
    FolderInputs in_;
    GameFolders folders_;
    std::string why_;
};

TEST_F(GameFoldersTest, DataBesideTheProgramRunsInstalledWithThePlayersFilesInXdgFolders) {
    ASSERT_TRUE(choose());
    EXPECT_EQ(folders_.mode, run_installed);
    const std::string data = root_.file("prefix/share/torvi");
    EXPECT_EQ(folders_.data, data);
    EXPECT_EQ(folders_.settings, "/home/ann/.config/torvi/config.cfg");
    EXPECT_EQ(folders_.shipped_settings, data + "/config.cfg");
    EXPECT_EQ(folders_.maps.user, "/home/ann/.local/share/torvi/maps/");
    EXPECT_EQ(folders_.maps.shipped, data + "/Data/maps/");
    EXPECT_EQ(folders_.bones.user, "/home/ann/.local/share/torvi/bones/");

    in_.config_home = "/cfg";
    in_.data_home = "relative";  // XDG says to ignore a relative one
    ASSERT_TRUE(choose());
    EXPECT_EQ(folders_.settings, "/cfg/torvi/config.cfg");
    EXPECT_EQ(folders_.maps.user, "/home/ann/.local/share/torvi/maps/");

    in_.home = nullptr;
    EXPECT_FALSE(choose());
    EXPECT_NE(why_.find("HOME"), std::string::npos);
}

TEST_F(GameFoldersTest, DataOptionOrAGameFolderHereRunsPortableThere) {
    in_.data_option = "game";
    ASSERT_TRUE(choose());
    EXPECT_EQ(folders_.mode, run_portable);
    EXPECT_EQ(folders_.data, start_ + "/game");
    EXPECT_EQ(folders_.settings, "config.cfg");
    EXPECT_EQ(folders_.maps.user, "Data/maps/");
    EXPECT_EQ(folders_.maps.shipped, "Data/maps/");

    in_.data_option = nullptr;
    write_text(fs::path(start_) / "config.cfg", "");
    ASSERT_TRUE(choose());
    EXPECT_EQ(folders_.mode, run_installed) << "config.cfg alone is no game folder";
    fs::create_directory(fs::path(start_) / "Data");
    ASSERT_TRUE(choose());
    EXPECT_EQ(folders_.mode, run_portable);
    EXPECT_EQ(folders_.data, start_);

    // Neither here nor beside the program: portable here, whose check says what is missing.
    fs::remove_all(fs::path(start_) / "Data");
    in_.program = root_.file("elsewhere");
    ASSERT_TRUE(choose());
    EXPECT_EQ(folders_.mode, run_portable);
}

TEST(FilePlaces, ListsBothFoldersOnceAndFindsThePlayersFileFirst) {
    TempFolder root("torvi-places-");
    ASSERT_TRUE(root.ok());
    const FilePlaces places{root.file("user/"), root.file("shipped/")};
    fs::create_directories(places.user);
    fs::create_directories(places.shipped);
    write_text(places.user + "mine.map", "u");
    write_text(places.user + "both.map", "u");
    write_text(places.shipped + "both.map", "s");
    write_text(places.shipped + "shipped.map", "s");
    EXPECT_EQ(find_named_files(places, ".map"),
              (std::vector<std::string>{"both", "mine", "shipped"}));

    char path[256];
    ASSERT_TRUE(named_file_path(path, sizeof path, places, "both", ".map"));
    EXPECT_EQ(std::string(path), places.user + "both.map");
    ASSERT_TRUE(named_file_path(path, sizeof path, places, "shipped", ".map"));
    EXPECT_EQ(std::string(path), places.shipped + "shipped.map");
    EXPECT_FALSE(named_file_path(path, 8, places, "both", ".map"));
    EXPECT_EQ(path[0], '\0');
}

}  // namespace
