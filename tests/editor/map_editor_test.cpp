// The map sub-mode without a window: picking, painting, strokes and their undo, and the
// camera moves.
#include "editor/map_editor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

// The corner type at grid point (i, j), read from a cell that holds it.
int corner_at(const MapGrid& map, int i, int j) {
    if (i < kMapSize && j < kMapSize) return map.cells[i][j].corner[0];
    if (i > 0 && j < kMapSize) return map.cells[i - 1][j].corner[1];
    if (i < kMapSize && j > 0) return map.cells[i][j - 1].corner[2];
    return map.cells[i - 1][j - 1].corner[3];
}

// A ray straight down onto ground point (x, z).
Ray down_onto(float x, float z) {
    return Ray{{x, 10.0f, z}, {0.0f, -1.0f, 0.0f}};
}

class MapEditorTest : public ::testing::Test {
  protected:
    void SetUp() override { init_map_editor(editor); }
    std::unique_ptr<MapEditor> owned = std::make_unique<MapEditor>();  // 1 MB of undo
    MapEditor& editor = *owned;
};

TEST_F(MapEditorTest, AFreshMapIsLightGrassWithSnowOnTheFarRowAndColumn) {
    for (int i = 0; i <= kMapSize; ++i) {
        for (int j = 0; j <= kMapSize; ++j) {
            const bool far = i == kMapSize || j == kMapSize;
            ASSERT_EQ(corner_at(editor.map, i, j), far ? terrain_snow : terrain_light_grass)
                << i << "," << j;
        }
    }
}

TEST_F(MapEditorTest, PaintingSetsTheFourCornersAndTheItemAtTheLastVertexPicked) {
    paint(editor, terrain_water, item_box);  // nothing picked yet: vertex (0, 0)
    EXPECT_EQ(corner_at(editor.map, 0, 0), terrain_water);
    EXPECT_EQ(editor.map.items[0][0], item_box);

    ASSERT_TRUE(pick_vertex(editor, down_onto(5.5f, -3.5f)));  // the square of vertex (6, 4)
    EXPECT_EQ(editor.picked_p, 6);
    EXPECT_EQ(editor.picked_q, 4);
    paint(editor, terrain_water, item_box);
    EXPECT_EQ(editor.map.cells[6][4].corner[0], terrain_water);
    EXPECT_EQ(editor.map.cells[5][4].corner[1], terrain_water);
    EXPECT_EQ(editor.map.cells[6][3].corner[2], terrain_water);
    EXPECT_EQ(editor.map.cells[5][3].corner[3], terrain_water);
    EXPECT_EQ(editor.map.cells[5][4].corner[0], terrain_light_grass);  // the next vertex
    EXPECT_EQ(editor.map.items[6][4], item_box);

    // A miss paints the vertex picked last; "[no]" takes the box away.
    EXPECT_FALSE(pick_vertex(editor, Ray{{5.0f, 10.0f, -3.0f}, {0.0f, 1.0f, 0.0f}}));
    EXPECT_FALSE(pick_vertex(editor, down_onto(45.0f, -3.0f)));
    EXPECT_FALSE(editor.pick_hit);
    paint(editor, terrain_earth, item_none);
    EXPECT_EQ(corner_at(editor.map, 6, 4), terrain_earth);
    EXPECT_EQ(editor.map.items[6][4], item_none);
    EXPECT_TRUE(editor.unsaved);
}

TEST_F(MapEditorTest, UndoTakesBackWholeStrokesByteForByteAndRedoReplaysThem) {
    const MapGrid fresh = editor.map;
    MapGrid after_first{};
    for (int stroke = 0; stroke < 3; ++stroke) {
        begin_stroke(editor);
        for (int p = 0; p < 5; ++p) {  // one held button dragged over five vertices
            pick_vertex(editor, down_onto(p + 0.5f, -stroke - 0.5f));
            paint(editor, terrain_water, item_grass);
        }
        end_stroke(editor);
        if (stroke == 0) after_first = editor.map;
    }
    const MapGrid after_all = editor.map;
    EXPECT_TRUE(undo_stroke(editor));
    EXPECT_TRUE(undo_stroke(editor));
    EXPECT_EQ(std::memcmp(&editor.map, &after_first, sizeof(MapGrid)), 0);
    EXPECT_TRUE(undo_stroke(editor));
    EXPECT_EQ(std::memcmp(&editor.map, &fresh, sizeof(MapGrid)), 0);
    EXPECT_FALSE(undo_stroke(editor));
    EXPECT_TRUE(redo_stroke(editor) && redo_stroke(editor) && redo_stroke(editor));
    EXPECT_EQ(std::memcmp(&editor.map, &after_all, sizeof(MapGrid)), 0);
    EXPECT_FALSE(redo_stroke(editor));

    // The ring keeps the newest 64 strokes; a new stroke ends what could be redone.
    for (int i = 0; i < 100; ++i) paint(editor, i % 2 ? terrain_snow : terrain_grass, item_none);
    int undone = 0;
    while (undo_stroke(editor)) ++undone;
    EXPECT_EQ(undone, kUndoSteps);
    paint(editor, terrain_water, item_none);
    EXPECT_FALSE(redo_stroke(editor));
}

TEST(EditorCamera, DragsTurnAndEdgesPanAlongTheView) {
    Camera cam;
    set_camera(cam, {0.0f, 10.0f, 10.0f}, {0.0f, 0.0f, 0.0f});
    orbit_by_drag(cam, 110, 100);  // 10 px to the left: +10 degrees about Y
    const float angle = std::atan2(cam.eye.x, cam.eye.z);
    EXPECT_NEAR(angle, 10.0f * 0.017453292f, 1e-4f);
    EXPECT_NEAR(cam.eye.y, 10.0f, 1e-4f);

    set_camera(cam, {0.0f, 10.0f, 10.0f}, {0.0f, 0.0f, 0.0f});
    pan(cam, 1.0f, 0.0f, 0.0f);  // looking along -z, side is +x
    EXPECT_NEAR(cam.eye.x, 1.0f, 1e-6f);
    EXPECT_NEAR(cam.target.x, 1.0f, 1e-6f);
    pan(cam, 0.0f, 0.0f, 1.0f);
    EXPECT_NEAR(cam.target.z, -1.0f, 1e-6f);
}

}  // namespace
