// The map grid in memory and in its .map file (corners shared at grid points, items, the
// start-up map, cut and overlong files, damaged values, safe saving), and the cell meshes
// drawn from it.
#include "map/map_grid.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "map/terrain_mesh.h"
#include "platform/atomic_file.h"
#include "support/temp_folder.h"

namespace {

const unsigned char* bytes_of(const MapGrid& grid) {
    return reinterpret_cast<const unsigned char*>(&grid);
}

bool same_grid(const MapGrid& a, const MapGrid& b) {
    return std::memcmp(&a, &b, sizeof(MapGrid)) == 0;
}

// Every byte a valid terrain type and item kind, but never terrain_water; grids of two
// shifts differ in every byte.
MapGrid patterned_grid(int shift) {
    MapGrid grid;
    unsigned char* bytes = reinterpret_cast<unsigned char*>(&grid);
    for (size_t k = 0; k < sizeof grid; ++k) bytes[k] = (k + shift) % kItemKindCount;
    return grid;
}

// The first size bytes at data, as a file's contents.
std::string image_of(const void* data, size_t size) {
    return std::string(static_cast<const char*>(data), size);
}

std::string grid_image(const MapGrid& grid) {
    return image_of(&grid, sizeof grid);
}

constexpr uint8_t kPaint = terrain_water;  // found nowhere in a patterned grid
static_assert(kPaint >= kItemKindCount);

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
    };
    const MapGrid start = patterned_grid(0);
    for (const Case& c : cases) {
        MapGrid grid = start, expected = start;
        for (const Spot& s : c.spots) expected.cells[s.cell_i][s.cell_j].corner[s.corner] = kPaint;
        set_corner(grid, c.i, c.j, kPaint);
        EXPECT_TRUE(same_grid(grid, expected)) << "after set_corner at " << c.i << ", " << c.j;
    }
}

// Places outside the grid and values that name no terrain or item change nothing; a good
// item lands in its own cell only.
TEST(SetCornerAndItem, OutsideTheGridAndUnknownValuesChangeNothing) {
    MapGrid grid = patterned_grid(0), expected = grid;
    const int outside[][2] = {{-1, 0},  {0, -1},       {41, 0},      {0, 41},
                              {41, 41}, {INT_MIN, 20}, {20, INT_MAX}};
    for (const auto& p : outside) {
        set_corner(grid, p[0], p[1], kPaint);
        set_item(grid, p[0], p[1], item_box);
    }
    for (const auto& c : {std::pair{40, 0}, {0, 40}, {-1, 39}})
        set_item(grid, c.first, c.second, 1);
    for (int type : {5, 6, 255}) set_corner(grid, 20, 20, static_cast<uint8_t>(type));
    for (int kind : {4, 5, 255}) set_item(grid, 5, 5, static_cast<uint8_t>(kind));
    set_item(grid, 12, 34, item_figure);
    expected.items[12][34] = item_figure;
    EXPECT_TRUE(same_grid(grid, expected));
}

// Its content (the pond, points and items) is what the terrain drawing tests look at; here
// only that it replaces any old content and where it is saved.
TEST(StartupMap, ReplacesOldContentAndIsWrittenAsTest123IntoTheMapsFolderIfThereIsOne) {
    MapGrid grid, clean;
    std::memset(&grid, 0xAB, sizeof grid);
    std::memset(&clean, 0, sizeof clean);
    fill_startup_map(grid);
    fill_startup_map(clean);
    EXPECT_TRUE(same_grid(grid, clean));

    TempFolder folder("torvi-map-");
    ASSERT_TRUE(folder.ok());
    WorkingFolder inside(folder.path());
    ASSERT_TRUE(inside.ok());
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(save_startup_map(grid));
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Data/maps/test123.map"), std::string::npos) << err;

    ASSERT_TRUE(std::filesystem::create_directories("Data/maps"));
    EXPECT_TRUE(save_startup_map(grid));
    EXPECT_EQ(read_text("Data/maps/test123.map"), grid_image(grid));
}

class MapFile : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(folder.ok()); }
    void TearDown() override { set_save_fault_for_testing(fault_none); }

    TempFolder folder{"torvi-map-"};
    const std::string path = folder.file("test.map");
};

// A file cut anywhere changes exactly the bytes it still holds; a longer one gives its start.
TEST_F(MapFile, EveryCutFileChangesExactlyTheBytesPresent) {
    const MapGrid source = patterned_grid(0), target = patterned_grid(1);
    const unsigned char *src = bytes_of(source), *old = bytes_of(target);
    for (size_t n = 0; n <= kMapFileSize; ++n) {
        std::filesystem::remove(path);  // a fresh file: truncating one waits for its writeback
        write_text(path, image_of(src, n));
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
    write_text(path, grid_image(source) + std::string(500, '\xEE'));  // longer: its start
    MapGrid grid = target;
    EXPECT_TRUE(load_map(grid, path.c_str()).longer);
    EXPECT_TRUE(same_grid(grid, source));
}

TEST_F(MapFile, DamagedCornersAndItemsBecomeSnowAndNoItem) {
    MapGrid damaged = patterned_grid(0);
    std::memset(damaged.header, 0xFF, sizeof damaged.header);
    MapGrid expected = damaged;  // the header is kept as read
    for (auto [i, j, k, value] : {std::tuple{0, 0, 0, 5}, {17, 3, 2, 200}, {39, 39, 3, 255}}) {
        damaged.cells[i][j].corner[k] = static_cast<uint8_t>(value);
        expected.cells[i][j].corner[k] = terrain_snow;
    }
    for (auto [i, j, value] : {std::tuple{0, 0, 4}, {39, 39, 255}}) {
        damaged.items[i][j] = static_cast<uint8_t>(value);
        expected.items[i][j] = item_none;
    }
    write_text(path, grid_image(damaged));
    MapGrid grid = patterned_grid(1);
    const MapLoad result = load_map(grid, path.c_str());
    EXPECT_EQ(result.status, map_ok);
    EXPECT_EQ(result.replaced, 5);
    EXPECT_TRUE(same_grid(grid, expected));
}

TEST_F(MapFile, MissingOrUnreadableFileLeavesTheGridUnchanged) {
    const MapGrid before = patterned_grid(0);
    MapGrid grid = before;
    EXPECT_EQ(load_map(grid, folder.file("nothing.map").c_str()).status, map_missing);
    EXPECT_EQ(load_map(grid, folder.file("no/such/folder.map").c_str()).status, map_missing);
    // A folder opens but cannot be read.
    EXPECT_EQ(load_map(grid, folder.path().c_str()).status, map_unreadable);
    EXPECT_TRUE(same_grid(grid, before));
}

// What report_map_load says; anything it says is one line naming the file.
std::string report_of(const char* path, const MapLoad& result) {
    ::testing::internal::CaptureStderr();
    report_map_load(path, result);
    const std::string text = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(text.empty() ||
                (text.find('\n') == text.size() - 1 && text.find(path) != std::string::npos))
        << text;
    return text;
}

TEST_F(MapFile, ReportIsOneLineForAnythingButACleanLoad) {
    MapGrid grid = patterned_grid(0);
    ASSERT_TRUE(save_map(grid, path.c_str()));
    EXPECT_EQ(report_of(path.c_str(), load_map(grid, path.c_str())), "");
    MapLoad everything, missing;
    everything.status = map_short_file;
    everything.bytes_read = 12;
    everything.longer = true;
    everything.replaced = 7;
    const std::string text = report_of("all.map", everything);
    EXPECT_NE(text.find("12 of 8080"), std::string::npos) << text;
    EXPECT_NE(text.find("7 damaged"), std::string::npos) << text;
    missing.status = map_missing;
    missing.error = ENOENT;
    EXPECT_NE(report_of("gone.map", missing), "");
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
    EXPECT_EQ(read_text(path), grid_image(old_map));
}

// Every cell word of types 0..5 (5 is damage): each mesh corner lands on a grid vertex of
// its cell and shows exactly the colour of the type held there. This checks the pattern
// angles, the colour choices and the shape tables together.
TEST(CellMesh, EveryMeshCornerShowsTheTypeOfTheGridVertexItLandsOn) {
    const int i = 3, j = 5;
    TerrainVertex v[kCellMeshMaxVertices];
    for (uint32_t n = 0; n < 6 * 6 * 6 * 6; ++n) {
        // Corner k sits on grid vertex (i + k % 2, j + k / 2).
        const uint8_t corners[4] = {uint8_t(n % 6), uint8_t(n / 6 % 6), uint8_t(n / 36 % 6),
                                    uint8_t(n / 216)};
        uint32_t word = 0;
        for (int k = 3; k >= 0; --k) word = word << 8 | corners[k];
        int count = 0;
        float angle = 0;
        build_cell_mesh(word, v, &count, &angle);
        bool seen[4] = {};
        for (int k = 0; k < count; ++k) {
            if (std::fabs(v[k].x) != 15.0f || std::fabs(v[k].z) != 15.0f) continue;
            const Vec3 w =
                transform_coord({v[k].x, v[k].y, v[k].z}, cell_world_matrix(i, j, angle));
            const int p = static_cast<int>(std::lround(w.x + 0.5f));
            const int q = static_cast<int>(std::lround(-w.z + 0.5f));
            ASSERT_TRUE(p >= i && p <= i + 1 && q >= j && q <= j + 1) << "word " << n;
            ASSERT_NEAR(w.x, p - 0.5f, 1e-5f);
            ASSERT_NEAR(w.z, -q + 0.5f, 1e-5f);
            ASSERT_EQ(w.y, 0.0f);
            ASSERT_EQ(v[k].colour, terrain_colour(corners[(p - i) + 2 * (q - j)]))
                << "word " << n << " vertex " << k;
            seen[(p - i) + 2 * (q - j)] = true;
        }
        for (bool s : seen) EXPECT_TRUE(s) << "word " << n;
    }
    EXPECT_EQ(terrain_colour(5), kUnknownTerrainColour);
    EXPECT_EQ(terrain_colour(0xFFFFFFFFu), kUnknownTerrainColour);
}

TEST(TerrainWalk, RowsOuterColumnsInnerWithTheItemOfEachCellAndNothingPastTheEnd) {
    static MapGrid grid;
    std::memset(&grid, 0, sizeof grid);
    set_item(grid, 2, 1, item_box);
    grid.items[5][5] = 77;  // damaged byte

    static TerrainCellDraw d;
    terrain_cell_draw(grid, 42, d);  // second row, third cell
    EXPECT_EQ(d.i, 2);
    EXPECT_EQ(d.j, 1);
    EXPECT_EQ(d.item, item_box);
    terrain_cell_draw(grid, 5 * kMapSize + 5, d);
    EXPECT_EQ(d.item, item_none);
    EXPECT_EQ(d.count, 6);
    for (int step : {-1, kTerrainDrawSteps, 1 << 30}) {
        terrain_cell_draw(grid, step, d);
        EXPECT_EQ(d.count, 0);
        EXPECT_EQ(d.item, item_none);
    }
}

}  // namespace
