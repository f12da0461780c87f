// The terrain and item models drawn for real and read back.
#include "map/gl_terrain.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "../render/gl_test_context.h"
#include "map/terrain_mesh.h"
#include "render/gl_texture.h"

namespace {

constexpr uint32_t kClear = 0xFF808080;  // a grey no terrain or band has

class TerrainTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        work_in(TORVI_SOURCE_DIR);
        Settings settings;
        load_settings(settings);
        ASSERT_TRUE(init_toon_vertex_shader(device_, settings));
        ASSERT_TRUE(init_toon_pixel_shader(device_, settings));
        read_texture_config(device_.textures(), "Data/textures.cfg");
        load_terrain_resources(*terrain_, device_);
        fill_startup_map(grid_);
        device_.clear(kClear);
    }

    // Looks from offset above point straight at it.
    void look_at(Vec3 point, Vec3 offset) {
        device_.set_view(look_at_lh(add(point, offset), point, {0, 1, 0}));
    }
    uint32_t rgb_at(Vec3 world) { return rgb_where(device_, world); }
    static Vec3 cell_centre(int i, int j) {
        return {static_cast<float>(i), 0, -static_cast<float>(j)};
    }

    MapGrid grid_{};
    std::unique_ptr<TerrainResources> terrain_ = std::make_unique<TerrainResources>();
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

TEST_F(TerrainTest, CellsShowTheirPaletteColourWhereTheirCentresProjectAndBandsAreBlack) {
    struct Case {
        int i, j;
        uint8_t type;
    };
    // Far from every item: light grass in the open, water in the pond, snow at the corner of
    // four cells is not a whole cell, so it is painted here for the test.
    for (auto [i, j] : {std::pair{30, 30}, {31, 30}, {30, 31}, {31, 31}}) {
        set_corner(grid_, i, j, terrain_snow);
    }
    const Case cases[] = {
        {20, 20, terrain_light_grass}, {2, 1, terrain_water}, {30, 30, terrain_snow}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "cell " << c.i << "," << c.j);
        device_.clear(kClear);
        look_at(cell_centre(c.i, c.j), {0, 1.5f, 1.5f});
        draw_terrain(device_, *terrain_, grid_);
        EXPECT_EQ(rgb_at(cell_centre(c.i, c.j)), rgb(kTerrainTable[c.type].colour));
    }

    // Bands between types are black. Cell (0, 1) has the pond's water at one corner only.
    Vec3 band;
    ASSERT_TRUE(band_point(grid_, 0, 1, band));
    device_.clear(kClear);
    look_at(band, {0, 1.5f, 1.5f});
    draw_terrain(device_, *terrain_, grid_);
    EXPECT_EQ(rgb_at(band), 0u);
    // Next to the band on the far side of the cell: light grass.
    EXPECT_EQ(rgb_at(cell_centre(0, 1)), rgb(kTerrainTable[terrain_light_grass].colour));
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

TEST_F(TerrainTest, EachItemModelDrawsAtTheOriginOutlinedOrNotAndUnknownKindsDrawNothing) {
    device_.set_view(look_at_lh({2, 2, 2}, {0, 0.3f, 0}, {0, 1, 0}));
    for (int kind = -1; kind <= kItemModelCount + 1; ++kind) {
        SCOPED_TRACE(kind);
        device_.clear(kClear);
        draw_item_model(device_, *terrain_, kind, identity());
        if (kind >= 0 && kind < kItemModelCount) {
            EXPECT_GT(pixels_not(rgb(kClear)), 4);  // the grass tuft is thin
        } else {
            EXPECT_EQ(pixels_not(rgb(kClear)), 0);
        }
    }
    // An outline hull shows as near-black pixels around the model; the tuft has none.
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
    work_in(folder());
    testing::internal::CaptureStderr();
    load_terrain_resources(*terrain_, device_);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("health.x"), std::string::npos);
    look_at(cell_centre(3, 3), {0, 3, 3});
    draw_terrain(device_, *terrain_, grid_);  // the box is gone, its cell is not
    EXPECT_EQ(rgb_at(cell_centre(3, 3)), rgb(kTerrainTable[terrain_light_grass].colour));
}

}  // namespace
