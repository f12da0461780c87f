// Drawing a map grid: the coloured cell meshes with their black bands, the items standing
// on the grid, and the item models on their own (the health model behind the menu).
#pragma once

#include "map/map_grid.h"
#include "render/gl_renderer.h"
#include "math/math3d.h"

// The models draw_item_model knows. Box, figure and grass share their ItemKind values;
// the health model is no item of the grid and takes the slot item_none leaves free.
enum ItemModel : int {
    item_model_health = 0,
    item_model_box = item_box,
    item_model_figure = item_figure,
    item_model_grass = item_grass,
};
constexpr int kItemModelCount = 4;

// Loads the item meshes (each model, then its outline) and sets up the cell buffer.
// A missing mesh or texture gives one line on stderr; what is there still draws.
void load_terrain_resources();

// Every item and cell of grid with the renderer's view and projection: walking the cells
// row by row, each cell's item before the cell itself.
void draw_terrain(Renderer& device, const MapGrid& grid);

// One item model, toon-shaded with its texture and, except the grass tuft, its outline.
// A kind outside the ItemModel values draws nothing.
void draw_item_model(Renderer& device, int kind, const Matrix& world);
