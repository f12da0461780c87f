// The grid in memory: corners shared at grid points, items, and the start-up map.
#include "map/map_grid.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>
#include <vector>

#include "map_test_support.h"

namespace {

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

}  // namespace
