// The grid in memory: corners shared at grid points, items, and the start-up map.
#include "map/map_grid.h"

#include <gtest/gtest.h>

#include <climits>

#include "map_test_support.h"

namespace {

constexpr uint8_t kPaint = terrain_earth;

// The one value a grid holds at grid point (i, j), read from a cell that has that corner.
uint8_t point_value(const MapGrid& grid, int i, int j) {
    if (i < kMapSize && j < kMapSize) return grid.cells[i][j].corner[0];
    if (j < kMapSize) return grid.cells[i - 1][j].corner[1];
    if (i < kMapSize) return grid.cells[i][j - 1].corner[2];
    return grid.cells[i - 1][j - 1].corner[3];
}

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

class SetCorner : public ::testing::Test {
  protected:
    SetCorner() : grid(grid_without_paint()), expected(grid) {}

    // Paints one point, then compares whole grids.
    void paint_and_compare(int i, int j) {
        set_corner(grid, i, j, kPaint);
        EXPECT_TRUE(same_grid(grid, expected)) << "after set_corner at " << i << ", " << j;
    }

    MapGrid grid;
    MapGrid expected;
};

TEST_F(SetCorner, OriginIsCornerZeroOfTheFirstCellOnly) {
    expected.cells[0][0].corner[0] = kPaint;
    paint_and_compare(0, 0);
}

TEST_F(SetCorner, FarCornerIsCornerThreeOfTheLastCellOnly) {
    expected.cells[39][39].corner[3] = kPaint;
    paint_and_compare(40, 40);
}

TEST_F(SetCorner, InnerPointReachesFourCells) {
    expected.cells[20][20].corner[0] = kPaint;
    expected.cells[19][20].corner[1] = kPaint;
    expected.cells[20][19].corner[2] = kPaint;
    expected.cells[19][19].corner[3] = kPaint;
    paint_and_compare(20, 20);
}

TEST_F(SetCorner, FarEdgePointReachesTwoCellsAndNoItem) {
    expected.cells[39][5].corner[1] = kPaint;
    expected.cells[39][4].corner[3] = kPaint;
    paint_and_compare(40, 5);
}

TEST_F(SetCorner, NearEdgePointReachesTwoCells) {
    expected.cells[0][5].corner[0] = kPaint;
    expected.cells[0][4].corner[2] = kPaint;
    paint_and_compare(0, 5);
}

TEST_F(SetCorner, OtherMapCornersReachOneCell) {
    expected.cells[0][39].corner[2] = kPaint;
    expected.cells[39][0].corner[1] = kPaint;
    set_corner(grid, 0, 40, kPaint);
    paint_and_compare(40, 0);
}

TEST_F(SetCorner, PointsOutsideTheGridChangeNothing) {
    const int outside[][2] = {{-1, 0},  {0, -1},       {41, 0},       {0, 41},
                              {-1, -1}, {41, 41},      {41, 20},      {20, -1},
                              {-1, 40}, {INT_MIN, 20}, {20, INT_MIN}, {INT_MAX, INT_MAX}};
    for (const auto& p : outside) paint_and_compare(p[0], p[1]);
}

TEST_F(SetCorner, TypeThatIsNoTerrainChangesNothing) {
    for (int type : {5, 6, 200, 255}) {
        set_corner(grid, 20, 20, static_cast<uint8_t>(type));
        EXPECT_TRUE(same_grid(grid, expected)) << "type " << type;
    }
}

// Whatever the order of painting, all corners at one point agree afterwards.
TEST_F(SetCorner, PaintingEveryPointKeepsSharedCornersEqual) {
    auto value = [](int i, int j) { return static_cast<uint8_t>((7 * i + 3 * j) % 5); };
    for (int i = kMapSize; i >= 0; --i) {
        for (int j = 0; j <= kMapSize; ++j) set_corner(grid, i, j, value(i, j));
    }
    expect_corners(grid, value);
    EXPECT_EQ(std::memcmp(grid.items, expected.items, sizeof grid.items), 0);
    EXPECT_EQ(std::memcmp(grid.header, expected.header, sizeof grid.header), 0);
}

TEST(SetItem, WritesOnlyItsCell) {
    MapGrid grid = patterned_grid(0);
    MapGrid expected = grid;
    expected.items[0][0] = item_figure;
    expected.items[39][39] = item_figure;
    expected.items[12][34] = item_figure;
    set_item(grid, 0, 0, item_figure);
    set_item(grid, 39, 39, item_figure);
    set_item(grid, 12, 34, item_figure);
    EXPECT_TRUE(same_grid(grid, expected));
}

TEST(SetItem, OutsideCellsAndUnknownKindsChangeNothing) {
    MapGrid grid = patterned_grid(0);
    const MapGrid before = grid;
    const int outside[][2] = {{-1, 0},  {0, -1},  {40, 0},      {0, 40},
                              {40, 40}, {-1, 39}, {INT_MIN, 0}, {0, INT_MAX}};
    for (const auto& c : outside) set_item(grid, c[0], c[1], item_box);
    for (int kind : {4, 5, 255}) set_item(grid, 5, 5, static_cast<uint8_t>(kind));
    EXPECT_TRUE(same_grid(grid, before));
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
    EXPECT_EQ(point_value(grid, 40, 40), terrain_light_grass);
    EXPECT_EQ(point_value(grid, 40, 0), terrain_light_grass);
    EXPECT_EQ(point_value(grid, 0, 40), terrain_light_grass);

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

TEST(StartupMap, IsWrittenAsTest123IntoTheMapsFolderReplacingTheOldFile) {
    TempFolder folder("torvi-map-");
    ASSERT_TRUE(folder.ok());
    ASSERT_TRUE(std::filesystem::create_directories(folder.file("Data/maps")));
    const std::string file = folder.file("Data/maps/test123.map");
    const std::vector<unsigned char> old(100, 0x77);
    ASSERT_TRUE(write_whole_file(file, old.data(), old.size()));

    MapGrid grid;
    fill_startup_map(grid);
    {
        WorkingFolder inside(folder.path());
        ASSERT_TRUE(inside.ok());
        EXPECT_TRUE(save_startup_map(grid));
    }
    EXPECT_EQ(read_whole_file(file), grid_image(grid));
}

TEST(StartupMap, WithoutAMapsFolderTheSaveFailsCleanly) {
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
}

}  // namespace
