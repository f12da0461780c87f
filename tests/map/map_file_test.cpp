// The .map file: its image, cut and overlong files, damaged values, and safe saving.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "map/map_grid.h"
#include "map_test_support.h"
#include "platform/atomic_file.h"

namespace {

class MapFile : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(folder.ok()); }
    void TearDown() override { set_save_fault_for_testing(SaveFault::none); }

    TempFolder folder{"torvi-map-"};
    const std::string path = folder.file("test.map");
};

TEST_F(MapFile, IsTheGridImageAndRoundTripsByteForByteAndALongerFileGivesItsStart) {
    const MapGrid original = patterned_grid(0);
    ASSERT_TRUE(save_map(original, path.c_str()));
    std::vector<unsigned char> image = read_whole_file(path);
    ASSERT_EQ(image.size(), 8080u);
    EXPECT_EQ(image, grid_image(original));

    MapGrid loaded = patterned_grid(1);
    MapLoad result = load_map(loaded, path.c_str());
    EXPECT_EQ(result.status, MapLoadStatus::ok);
    EXPECT_EQ(result.bytes_read, 8080u);
    EXPECT_FALSE(result.longer);
    EXPECT_EQ(result.replaced, 0);
    EXPECT_TRUE(same_grid(loaded, original));

    image.insert(image.end(), 500, 0xEE);
    ASSERT_TRUE(write_whole_file(path, image.data(), image.size()));
    loaded = patterned_grid(1);
    result = load_map(loaded, path.c_str());
    EXPECT_EQ(result.status, MapLoadStatus::ok);
    EXPECT_EQ(result.bytes_read, 8080u);
    EXPECT_TRUE(result.longer);
    EXPECT_EQ(result.replaced, 0);
    EXPECT_TRUE(same_grid(loaded, original));
}

// A file cut anywhere changes exactly the bytes it still holds.
TEST_F(MapFile, EveryCutFileChangesExactlyTheBytesPresent) {
    const MapGrid source = patterned_grid(0);
    const MapGrid target = patterned_grid(1);
    const unsigned char* src = bytes_of(source);
    const unsigned char* old = bytes_of(target);
    for (size_t n = 0; n <= kMapFileSize; ++n) {
        std::filesystem::remove(path);  // a fresh file: truncating one waits for its writeback
        ASSERT_TRUE(write_whole_file(path, src, n));
        MapGrid grid = target;
        const MapLoad result = load_map(grid, path.c_str());
        const MapLoadStatus want = n < kMapFileSize ? MapLoadStatus::short_file : MapLoadStatus::ok;
        ASSERT_EQ(result.status, want) << n;
        ASSERT_EQ(result.bytes_read, n);
        ASSERT_EQ(result.replaced, 0) << n;
        const unsigned char* got = bytes_of(grid);
        ASSERT_EQ(std::memcmp(got, src, n), 0) << "cut at " << n;
        ASSERT_EQ(std::memcmp(got + n, old + n, kMapFileSize - n), 0) << "cut at " << n;
    }
}

TEST_F(MapFile, DamagedCornersAndItemsBecomeSnowAndNoItem) {
    MapGrid damaged = patterned_grid(0);
    std::memset(damaged.header, 0xFF, sizeof damaged.header);
    damaged.cells[0][0].corner[0] = 5;
    damaged.cells[17][3].corner[2] = 200;
    damaged.cells[39][39].corner[3] = 255;
    damaged.items[0][0] = 4;
    damaged.items[39][39] = 255;
    ASSERT_TRUE(write_whole_file(path, bytes_of(damaged), sizeof damaged));

    MapGrid expected = damaged;
    expected.cells[0][0].corner[0] = terrain_snow;
    expected.cells[17][3].corner[2] = terrain_snow;
    expected.cells[39][39].corner[3] = terrain_snow;
    expected.items[0][0] = item_none;
    expected.items[39][39] = item_none;

    MapGrid grid = patterned_grid(1);
    const MapLoad result = load_map(grid, path.c_str());
    EXPECT_EQ(result.status, MapLoadStatus::ok);
    EXPECT_EQ(result.replaced, 5);
    EXPECT_TRUE(same_grid(grid, expected));  // the header is kept as read
}

TEST_F(MapFile, MissingOrUnreadableFileLeavesTheGridUnchanged) {
    const MapGrid before = patterned_grid(0);
    MapGrid grid = before;
    MapLoad result = load_map(grid, folder.file("nothing.map").c_str());
    EXPECT_EQ(result.status, MapLoadStatus::missing);
    EXPECT_EQ(result.bytes_read, 0u);
    EXPECT_EQ(load_map(grid, folder.file("no/such/folder.map").c_str()).status,
              MapLoadStatus::missing);
    // A folder opens but cannot be read.
    EXPECT_EQ(load_map(grid, folder.path().c_str()).status, MapLoadStatus::unreadable);
    EXPECT_TRUE(same_grid(grid, before));
}

std::string report_of(const char* path, const MapLoad& result) {
    ::testing::internal::CaptureStderr();
    report_map_load(path, result);
    return ::testing::internal::GetCapturedStderr();
}

bool one_line_naming(const std::string& text, const char* path) {
    return !text.empty() && text.find('\n') == text.size() - 1 &&
           text.find(path) != std::string::npos;
}

TEST_F(MapFile, ReportIsOneLineForAnythingButACleanLoad) {
    MapGrid grid = patterned_grid(0);
    ASSERT_TRUE(save_map(grid, path.c_str()));
    EXPECT_EQ(report_of(path.c_str(), load_map(grid, path.c_str())), "");

    const unsigned char bad[] = {0, 0, 0};
    EXPECT_TRUE(
        one_line_naming(report_of("cut.map", apply_map_file_bytes(grid, bad, 3)), "cut.map"));

    MapLoad everything;
    everything.status = MapLoadStatus::short_file;
    everything.bytes_read = 12;
    everything.longer = true;
    everything.replaced = 7;
    const std::string text = report_of("all.map", everything);
    EXPECT_TRUE(one_line_naming(text, "all.map")) << text;
    EXPECT_NE(text.find("12 of 8080"), std::string::npos) << text;
    EXPECT_NE(text.find("7 damaged"), std::string::npos) << text;

    MapLoad missing;
    missing.status = MapLoadStatus::missing;
    missing.error = ENOENT;
    EXPECT_TRUE(one_line_naming(report_of("gone.map", missing), "gone.map"));
}

// The fault cases of the atomic save are covered in the platform tests; here only that
// saving a map goes through it.
TEST_F(MapFile, AFailedSaveKeepsTheOldFileWhole) {
    const MapGrid old_map = patterned_grid(0);
    ASSERT_TRUE(save_map(old_map, path.c_str()));
    set_save_fault_for_testing(SaveFault::write);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(save_map(patterned_grid(1), path.c_str()));
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(read_whole_file(path), grid_image(old_map));
}

}  // namespace
