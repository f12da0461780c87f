// The map grid in memory and in its .map file: corners shared at grid points, items, the
// start-up map, cut and overlong files, damaged values, and safe saving.
#include "map/map_grid.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "platform/atomic_file.h"
#include "support/temp_folder.h"

namespace {

const unsigned char* bytes_of(const MapGrid& grid) {
    return reinterpret_cast<const unsigned char*>(&grid);
}

bool same_grid(const MapGrid& a, const MapGrid& b) {
    return std::memcmp(&a, &b, sizeof(MapGrid)) == 0;
}

// Every byte in range and driven by its offset; shift makes grids that differ in every byte.
MapGrid patterned_grid(int shift) {
    MapGrid grid;
    unsigned char* bytes = reinterpret_cast<unsigned char*>(&grid);
    const size_t cells = offsetof(MapGrid, cells);
    const size_t items = offsetof(MapGrid, items);
    for (size_t k = 0; k < sizeof grid; ++k) {
        const size_t v = k + static_cast<size_t>(shift);
        if (k < cells) {
            bytes[k] = static_cast<unsigned char>(v % 256);
        } else if (k < items) {
            bytes[k] = static_cast<unsigned char>(v % kTerrainTypeCount);
        } else {
            bytes[k] = static_cast<unsigned char>(v % kItemKindCount);
        }
    }
    return grid;
}

std::vector<unsigned char> read_whole_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>());
}

bool write_whole_file(const std::string& path, const unsigned char* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(out);
}

std::vector<unsigned char> grid_image(const MapGrid& grid) {
    return std::vector<unsigned char>(bytes_of(grid), bytes_of(grid) + sizeof(MapGrid));
}

constexpr uint8_t kPaint = terrain_earth;

// Every corner of every cell against the value its grid point should hold.
template <typename Expected>
void expect_corners(const MapGrid& grid, Expected expected) {
    const int di[4] = {0, 1, 0, 1};
    const int dj[4] = {0, 0, 1, 1};
    for (int i = 0; i < kMapSize; ++i) {
        for (int j = 0; j < kMapSize; ++j) {
            for (int k = 0; k < 4; ++k) {
                ASSERT_EQ(grid.cells[i][j].corner[k], expected(i + di[k], j + dj[k]))
                    << "cell [" << i << "][" << j << "] corner " << k;
            }
        }
    }
}

// A busy grid in which no corner holds kPaint yet, so every write shows.
MapGrid grid_without_paint() {
    MapGrid grid = patterned_grid(0);
    for (auto& row : grid.cells) {
        for (MapCell& cell : row) {
            for (uint8_t& type : cell.corner) {
                if (type == kPaint) type = terrain_water;
            }
        }
    }
    return grid;
}

TEST(SetCorner, APointReachesEveryCellCornerOnItAndNothingElse) {
    struct Spot {
        int cell_i, cell_j, corner;
    };
    struct Case {
        int i, j;
        std::vector<Spot> spots;
    };
    const Case cases[] = {
        {0, 0, {{0, 0, 0}}},                                             // the origin
        {40, 40, {{39, 39, 3}}},                                         // the far corner
        {20, 20, {{20, 20, 0}, {19, 20, 1}, {20, 19, 2}, {19, 19, 3}}},  // an inner point
        {40, 5, {{39, 5, 1}, {39, 4, 3}}},                               // the far edge
        {0, 5, {{0, 5, 0}, {0, 4, 2}}},                                  // the near edge
        {0, 40, {{0, 39, 2}}},
        {40, 0, {{39, 0, 1}}},
    };
    const MapGrid start = grid_without_paint();
    for (const Case& c : cases) {
        MapGrid grid = start, expected = start;
        for (const Spot& s : c.spots) expected.cells[s.cell_i][s.cell_j].corner[s.corner] = kPaint;
        set_corner(grid, c.i, c.j, kPaint);
        EXPECT_TRUE(same_grid(grid, expected)) << "after set_corner at " << c.i << ", " << c.j;
    }
}

TEST(SetCorner, PointsOutsideTheGridAndTypesThatAreNoTerrainChangeNothing) {
    const MapGrid start = grid_without_paint();
    MapGrid grid = start;
    const int outside[][2] = {{-1, 0},  {0, -1},       {41, 0},       {0, 41},
                              {-1, -1}, {41, 41},      {41, 20},      {20, -1},
                              {-1, 40}, {INT_MIN, 20}, {20, INT_MIN}, {INT_MAX, INT_MAX}};
    for (const auto& p : outside) set_corner(grid, p[0], p[1], kPaint);
    for (int type : {5, 6, 200, 255}) set_corner(grid, 20, 20, static_cast<uint8_t>(type));
    EXPECT_TRUE(same_grid(grid, start));
}

// Whatever the order of painting, all corners at one point agree afterwards.
TEST(SetCorner, PaintingEveryPointKeepsSharedCornersEqual) {
    const MapGrid start = grid_without_paint();
    MapGrid grid = start;
    auto value = [](int i, int j) { return static_cast<uint8_t>((7 * i + 3 * j) % 5); };
    for (int i = kMapSize; i >= 0; --i) {
        for (int j = 0; j <= kMapSize; ++j) set_corner(grid, i, j, value(i, j));
    }
    expect_corners(grid, value);
    EXPECT_EQ(std::memcmp(grid.items, start.items, sizeof grid.items), 0);
    EXPECT_EQ(std::memcmp(grid.header, start.header, sizeof grid.header), 0);
}

TEST(SetItem, WritesOnlyItsCellAndOutsideCellsAndUnknownKindsChangeNothing) {
    MapGrid grid = patterned_grid(0);
    MapGrid expected = grid;
    for (const auto& c : {std::pair{0, 0}, {39, 39}, {12, 34}}) {
        expected.items[c.first][c.second] = item_figure;
        set_item(grid, c.first, c.second, item_figure);
    }
    const int outside[][2] = {{-1, 0},  {0, -1},  {40, 0},      {0, 40},
                              {40, 40}, {-1, 39}, {INT_MIN, 0}, {0, INT_MAX}};
    for (const auto& c : outside) set_item(grid, c[0], c[1], item_box);
    for (int kind : {4, 5, 255}) set_item(grid, 5, 5, static_cast<uint8_t>(kind));
    EXPECT_TRUE(same_grid(grid, expected));
}

uint8_t startup_point_value(int i, int j) {
    const int water[][2] = {{1, 2}, {2, 2}, {3, 2}, {2, 1}, {3, 1}};
    for (const auto& w : water) {
        if (i == w[0] && j == w[1]) return terrain_water;
    }
    if (i == 4 && j == 4) return terrain_snow;
    if (i == 2 && j == 4) return terrain_grass;
    return terrain_light_grass;
}

TEST(StartupMap, HoldsThePondThePointsAndThreeItemsOverAnyOldContent) {
    MapGrid grid;
    std::memset(&grid, 0xAB, sizeof grid);
    fill_startup_map(grid);

    expect_corners(grid, startup_point_value);

    for (int i = 0; i < kMapSize; ++i) {
        for (int j = 0; j < kMapSize; ++j) {
            uint8_t want = item_none;
            if (i == 3 && j == 3) want = item_box;
            if (i == 2 && j == 1) want = item_grass;
            if (i == 4 && j == 4) want = item_figure;
            ASSERT_EQ(grid.items[i][j], want) << "item of cell [" << i << "][" << j << "]";
        }
    }
    for (uint8_t b : grid.header) ASSERT_EQ(b, 0);
}

TEST(StartupMap, IsWrittenAsTest123IntoTheMapsFolderOnlyIfThereIsOne) {
    TempFolder folder("torvi-map-");
    ASSERT_TRUE(folder.ok());
    MapGrid grid;
    fill_startup_map(grid);
    WorkingFolder inside(folder.path());
    ASSERT_TRUE(inside.ok());
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(save_startup_map(grid));
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Data/maps/test123.map"), std::string::npos) << err;

    ASSERT_TRUE(std::filesystem::create_directories("Data/maps"));
    const std::vector<unsigned char> old(100, 0x77);
    ASSERT_TRUE(write_whole_file("Data/maps/test123.map", old.data(), old.size()));
    EXPECT_TRUE(save_startup_map(grid));
    EXPECT_EQ(read_whole_file("Data/maps/test123.map"), grid_image(grid));
}

class MapFile : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(folder.ok()); }
    void TearDown() override { set_save_fault_for_testing(fault_none); }

    TempFolder folder{"torvi-map-"};
    const std::string path = folder.file("test.map");
};

// Saving writes the grid's image; a longer file gives its first 8080 bytes. Loading files
// of every shorter length is checked below.
TEST_F(MapFile, IsTheGridImageAndALongerFileGivesItsStart) {
    const MapGrid original = patterned_grid(0);
    ASSERT_TRUE(save_map(original, path.c_str()));
    std::vector<unsigned char> image = read_whole_file(path);
    EXPECT_EQ(image, grid_image(original));
    image.insert(image.end(), 500, 0xEE);
    ASSERT_TRUE(write_whole_file(path, image.data(), image.size()));
    MapGrid loaded = patterned_grid(1);
    const MapLoad result = load_map(loaded, path.c_str());
    EXPECT_EQ(result.status, map_ok);
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
        const MapLoadStatus want = n < kMapFileSize ? map_short_file : map_ok;
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
    EXPECT_EQ(result.status, map_ok);
    EXPECT_EQ(result.replaced, 5);
    EXPECT_TRUE(same_grid(grid, expected));  // the header is kept as read
}

TEST_F(MapFile, MissingOrUnreadableFileLeavesTheGridUnchanged) {
    const MapGrid before = patterned_grid(0);
    MapGrid grid = before;
    MapLoad result = load_map(grid, folder.file("nothing.map").c_str());
    EXPECT_EQ(result.status, map_missing);
    EXPECT_EQ(result.bytes_read, 0u);
    EXPECT_EQ(load_map(grid, folder.file("no/such/folder.map").c_str()).status, map_missing);
    // A folder opens but cannot be read.
    EXPECT_EQ(load_map(grid, folder.path().c_str()).status, map_unreadable);
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
    everything.status = map_short_file;
    everything.bytes_read = 12;
    everything.longer = true;
    everything.replaced = 7;
    const std::string text = report_of("all.map", everything);
    EXPECT_TRUE(one_line_naming(text, "all.map")) << text;
    EXPECT_NE(text.find("12 of 8080"), std::string::npos) << text;
    EXPECT_NE(text.find("7 damaged"), std::string::npos) << text;

    MapLoad missing;
    missing.status = map_missing;
    missing.error = ENOENT;
    EXPECT_TRUE(one_line_naming(report_of("gone.map", missing), "gone.map"));
}

// The fault cases of the atomic save are covered in the platform tests; here only that
// saving a map goes through it.
TEST_F(MapFile, AFailedSaveKeepsTheOldFileWhole) {
    const MapGrid old_map = patterned_grid(0);
    ASSERT_TRUE(save_map(old_map, path.c_str()));
    set_save_fault_for_testing(fault_write);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(save_map(patterned_grid(1), path.c_str()));
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(read_whole_file(path), grid_image(old_map));
}

}  // namespace
