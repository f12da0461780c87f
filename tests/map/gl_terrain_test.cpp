// The terrain and item models drawn for real and read back.
#include "map/gl_terrain.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "../render/gl_test_context.h"
#include "map/terrain_mesh.h"
#include "render/gl_texture.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kClear = 0xFF808080;  // a grey no terrain or band has

struct Pixel {
    int x, y;
};

class TerrainTest : public GlTest {
  protected:
    std::unique_ptr<TerrainResources> terrain_ = std::make_unique<TerrainResources>();
    void SetUp() override {
        GlTest::SetUp();
        old_dir_ = fs::current_path();
        fs::current_path(TORVI_SOURCE_DIR);
        Renderer& device = device_;
        ASSERT_TRUE(init_toon_vertex_shader(device));
        ASSERT_TRUE(init_toon_pixel_shader(device));
        read_texture_config(device.textures(), "Data/textures.cfg");
        load_terrain_resources(*terrain_, device.textures());
        fill_startup_map(grid_);
        device.clear(kClear);
    }
    void TearDown() override {
        fs::current_path(old_dir_);
        GlTest::TearDown();
    }

    // Looks from offset above point straight at it.
    void look_at(Vec3 point, Vec3 offset) {
        device_.set_view(look_at_lh(add(point, offset), point, {0, 1, 0}));
    }
    Pixel pixel_of(Vec3 world) {
        const Renderer& device = device_;
        const Vec3 s =
            project(world, device.viewport(), device.projection(), device.view(), identity());
        return {static_cast<int>(s.x), static_cast<int>(s.y)};
    }
    // 0xRRGGBB of the pixel where world projects.
    uint32_t rgb_at(Vec3 world) {
        const Pixel p = pixel_of(world);
        EXPECT_TRUE(p.x >= 0 && p.x < kWidth && p.y >= 0 && p.y < kHeight);
        return rgba_at(pixels(), p.x, p.y) >> 8;
    }
    static Vec3 cell_centre(int i, int j) {
        return {static_cast<float>(i), 0, -static_cast<float>(j)};
    }

    MapGrid grid_{};
    fs::path old_dir_;
};

uint32_t rgb(uint32_t argb) {
    return argb & 0xFFFFFF;
}

// A triangle of cell (i, j) whose three corners all have the band colour: its centroid in
// world space lies inside the band.
bool band_point(const MapGrid& grid, int i, int j, Vec3& out) {
    TerrainCellDraw step;
    terrain_cell_draw(grid, j * kMapSize + i, step);
    for (int t = 0; t + 3 <= step.count; t += 3) {
        const TerrainVertex* v = &step.vertices[t];
        if (v[0].colour != kTerrainBandColour || v[1].colour != kTerrainBandColour ||
            v[2].colour != kTerrainBandColour) {
            continue;
        }
        const Vec3 centroid = {(v[0].x + v[1].x + v[2].x) / 3, 0, (v[0].z + v[1].z + v[2].z) / 3};
        out = transform_coord(centroid, step.cell_world);
        return true;
    }
    return false;
}

TEST_F(TerrainTest, CellsShowTheirPaletteColourWhereTheirCentresProject) {
    struct Case {
        int i, j;
        uint8_t type;
    };
    // Far from every item: light grass in the open, water in the pond, snow at the corner of
    // four cells is not a whole cell, so it is painted here for the test.
    set_corner(grid_, 30, 30, terrain_snow);
    set_corner(grid_, 31, 30, terrain_snow);
    set_corner(grid_, 30, 31, terrain_snow);
    set_corner(grid_, 31, 31, terrain_snow);
    const Case cases[] = {
        {20, 20, terrain_light_grass}, {2, 1, terrain_water}, {30, 30, terrain_snow}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "cell " << c.i << "," << c.j);
        device_.clear(kClear);
        look_at(cell_centre(c.i, c.j), {0, 1.5f, 1.5f});
        draw_terrain(device_, *terrain_, grid_);
        EXPECT_EQ(rgb_at(cell_centre(c.i, c.j)), rgb(kTerrainTable[c.type].colour));
    }
}

TEST_F(TerrainTest, BandsBetweenTerrainTypesAreBlack) {
    // Cell (0, 1) has the pond's water at one corner only, well away from the items.
    Vec3 band;
    ASSERT_TRUE(band_point(grid_, 0, 1, band));
    look_at(band, {0, 1.5f, 1.5f});
    draw_terrain(device_, *terrain_, grid_);
    EXPECT_EQ(rgb_at(band), 0u);
    // Next to the band on the far side of the cell: light grass.
    EXPECT_EQ(rgb_at(cell_centre(0, 1)), rgb(kTerrainTable[terrain_light_grass].colour));
}

TEST_F(TerrainTest, AGridChangeShowsAtTheNextDraw) {
    look_at(cell_centre(20, 20), {0, 1.5f, 1.5f});
    draw_terrain(device_, *terrain_, grid_);
    EXPECT_EQ(rgb_at(cell_centre(20, 20)), rgb(kTerrainTable[terrain_light_grass].colour));

    for (int p = 20; p <= 21; ++p) {
        for (int q = 20; q <= 21; ++q) set_corner(grid_, p, q, terrain_earth);
    }
    device_.clear(kClear);
    draw_terrain(device_, *terrain_, grid_);
    EXPECT_EQ(rgb_at(cell_centre(20, 20)), rgb(kTerrainTable[terrain_earth].colour));
}

TEST_F(TerrainTest, ItemsOfTheGridStandOnTheirGridVertex) {
    // The box of cell [3][3] stands on grid vertex (3, 3), world (2.5, 0, -2.5): seen from
    // above, the pixel there is the box, not the light grass under it.
    const Vec3 box = {2.5f, 0.5f, -2.5f};
    look_at(box, {0, 3, 3});
    draw_terrain(device_, *terrain_, grid_);
    const uint32_t with_box = rgb_at(box);
    EXPECT_NE(with_box, rgb(kTerrainTable[terrain_light_grass].colour));
    EXPECT_NE(with_box, rgb(kClear));

    set_item(grid_, 3, 3, item_none);
    device_.clear(kClear);
    draw_terrain(device_, *terrain_, grid_);
    EXPECT_EQ(rgb_at(box), rgb(kTerrainTable[terrain_light_grass].colour));
}

TEST_F(TerrainTest, EachItemModelDrawsAtTheOriginAndUnknownKindsDrawNothing) {
    device_.set_view(look_at_lh({2, 2, 2}, {0, 0.3f, 0}, {0, 1, 0}));
    for (int kind : {item_model_health, item_model_box, item_model_figure, item_model_grass}) {
        SCOPED_TRACE(kind);
        device_.clear(kClear);
        draw_item_model(device_, *terrain_, kind, identity());
        const std::vector<uint8_t> image = pixels();
        int drawn = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) drawn += rgba_at(image, x, y) >> 8 != rgb(kClear);
        }
        EXPECT_GT(drawn, 4);  // the grass tuft is thin
    }
    for (int kind : {-1, kItemModelCount, 99}) {
        device_.clear(kClear);
        draw_item_model(device_, *terrain_, kind, identity());
        const std::vector<uint8_t> image = pixels();
        for (int y = 0; y < kHeight; y += 7) {
            for (int x = 0; x < kWidth; x += 7) ASSERT_EQ(rgba_at(image, x, y) >> 8, rgb(kClear));
        }
    }
}

TEST_F(TerrainTest, OutlinesRingTheBoxButNotTheGrassTuft) {
    // An outline hull shows as near-black pixels around the model; the tuft has none.
    device_.set_view(look_at_lh({2, 2, 2}, {0, 0.3f, 0}, {0, 1, 0}));
    auto dark_pixels = [&](int kind) {
        device_.clear(0xFFFFFFFF);
        draw_item_model(device_, *terrain_, kind, identity());
        const std::vector<uint8_t> image = pixels();
        int dark = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) dark += (rgba_at(image, x, y) >> 8) < 0x181818;
        }
        return dark;
    };
    EXPECT_GT(dark_pixels(item_model_box), 20);
    EXPECT_EQ(dark_pixels(item_model_grass), 0);
}

TEST_F(TerrainTest, MissingModelsGiveALineAndTheCellsStillDraw) {
    fs::current_path(folder());
    testing::internal::CaptureStderr();
    load_terrain_resources(*terrain_, device_.textures());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("health.x"), std::string::npos);
    look_at(cell_centre(3, 3), {0, 3, 3});
    draw_terrain(device_, *terrain_, grid_);  // the box is gone, its cell is not
    EXPECT_EQ(rgb_at(cell_centre(3, 3)), rgb(kTerrainTable[terrain_light_grass].colour));
}

}  // namespace
