// The map sub-mode's logic: the editor's own map, the grid vertex under the cursor,
// painting it with the chosen terrain and item, the camera moves, and undo by stroke.
// The map being edited is not the game's; a map reaches the game only through a file.
#pragma once

#include <cstdint>

#include "editor/undo_ring.h"
#include "map/map_grid.h"
#include "render/picking.h"
#include "world/camera.h"

// At least this many strokes can be undone.
constexpr int kUndoSteps = 64;

struct MapEditor {
    MapEditor() : strokes(kUndoSteps) {}
    MapGrid map{};
    int picked_p = 0, picked_q = 0;  // the vertex found by the last pick that hit
    bool pick_hit = false;           // whether the latest pick hit one
    bool unsaved = false;            // painted since the last load or save
    UndoRing<MapGrid> strokes;       // a step is open while the left button paints
};

// A fresh map: light grass at every vertex the editor can pick, snow on the far row and
// column (grid points 40), nothing standing anywhere; no pick, nothing to undo.
void init_map_editor(MapEditor& editor);

// The vertex (p, q) of 0..39 whose unit square (x from p - 1 to p, z from -q to -q + 1,
// y = 0) the ray meets first; a miss keeps the last vertex picked and clears pick_hit.
bool pick_vertex(MapEditor& editor, const Ray& ray);

// A stroke is what one held button paints: one undo step.
void begin_stroke(MapEditor& editor);
void end_stroke(MapEditor& editor);
// Sets the four corners at the last picked vertex to terrain and its cell's item to item
// ([no] removes one), hit or not; outside a stroke, the paint is a stroke of its own.
void paint(MapEditor& editor, uint8_t terrain, uint8_t item);
// Ctrl+Z and Ctrl+Y: false when there is nothing to undo or redo.
bool undo_stroke(MapEditor& editor);
bool redo_stroke(MapEditor& editor);

// Moves eye and target together: side along the look direction's horizontal right, up
// along +Y, forward along the horizontal look direction.
void pan(Camera& cam, float side, float up, float forward);
// A middle-button drag from last_x to x: the camera turns about its target by one degree
// a pixel, leftwards drags turning it positively.
void orbit_by_drag(Camera& cam, int last_x, int x);
