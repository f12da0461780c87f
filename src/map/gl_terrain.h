// Drawing a map grid: the coloured cell meshes with their black bands, the items standing
// on the grid, and the item models on their own (the health model behind the menu).
#pragma once

#include "map/map_grid.h"
#include "map/terrain_mesh.h"
#include "math/math3d.h"
#include "render/gl_mesh.h"
#include "render/gl_renderer.h"

// The models draw_item_model knows. Box, figure and grass share their ItemKind values;
// the health model is no item of the grid and takes the slot item_none leaves free.
enum ItemModel : int {
    item_model_health = 0,
    item_model_box = item_box,
    item_model_figure = item_figure,
    item_model_grass = item_grass,
};
constexpr int kItemModelCount = 4;

constexpr int kTerrainBatchVertices = kTerrainDrawSteps * kCellMeshMaxVertices;

struct ItemMeshes {
    Mesh model;
    Mesh outline;
};

// The item models, and the whole map's cells in world space, rebuilt every frame from the
// grid so a change to it shows at the next frame while the map goes out in a few draws.
struct TerrainResources {
    ItemMeshes items[kItemModelCount];
    TerrainVertex batch[kTerrainBatchVertices];
};

// Loads the item meshes (each model, then its outline). A missing mesh, or the texture of
// a model that would be toon-shaded without it, gives one line on stderr; what is there
// still draws.
void load_terrain_resources(TerrainResources& terrain, const Renderer& device);

// Every item and cell of grid with the renderer's view and projection: walking the cells
// row by row, each cell's item before the cell itself.
void draw_terrain(Renderer& device, TerrainResources& terrain, const MapGrid& grid);

// One item model, toon-shaded with its texture and, except the grass tuft, its outline.
// A kind outside the ItemModel values draws nothing.
void draw_item_model(Renderer& device, const TerrainResources& terrain, int kind,
                     const Matrix& world);
