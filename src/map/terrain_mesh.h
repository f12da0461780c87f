// Terrain cell meshes: the coloured triangles of one map cell, built from its four corner
// types, and where each cell and item of a grid goes in the world.
//
// Pure data and math: the drawing code uploads what these functions produce. A cell mesh is
// modelled in local units, -15..15 in x and z (30 units a cell), with y always 0; its world
// matrix scales it down to one world unit, turns it and puts it on the cell's centre.
#pragma once

#include <cstdint>

#include "map/map_grid.h"
#include "math/math3d.h"

// Position plus diffuse colour, the layout the terrain vertex buffer holds (16 bytes).
struct TerrainVertex {
    float x, y, z;
    uint32_t colour;  // ARGB, A in the top byte
};
static_assert(sizeof(TerrainVertex) == 16, "a terrain vertex is 16 bytes in the buffer");

constexpr int kCellMeshMaxVertices = 42;
constexpr int kTerrainVertexBufferBytes =
    kCellMeshMaxVertices * static_cast<int>(sizeof(TerrainVertex));

// The black band laid between two terrain types.
constexpr uint32_t kTerrainBandColour = 0x00000000;
// A corner value that is no TerrainType (a damaged map) shows in loud magenta, so the
// damage is easy to find on screen.
constexpr uint32_t kUnknownTerrainColour = 0xFFFF00FF;

// Palette colour of a corner value; kUnknownTerrainColour above 4.
uint32_t terrain_colour(uint32_t type);

// The 32-bit cell word: corner A in bits 0-7, B in 8-15, C in 16-23, D in 24-31.
uint32_t cell_word(const MapCell& cell);

// The mesh of one cell: count (6, 18 or 42) vertices in triangle-list order and the angle
// (radians, about +Y) that turns the mesh onto the cell's corners.
void build_cell_mesh(uint32_t cell_word, TerrainVertex out[kCellMeshMaxVertices], int* count,
                     float* angle);

// Scaling(1/30, 0, 1/30), then RotationY(angle), then Translation(i, 0, -j).
Matrix cell_world_matrix(int i, int j, float angle);

// The item of cell (i, j) stands on grid vertex (i, j): Translation(i - 0.5, 0, -j + 0.5).
Matrix item_world_matrix(int i, int j);

// Cells are drawn row by row: j outer, i inner. Step s is cell (s % 40, s / 40).
constexpr int kTerrainDrawSteps = kMapSize * kMapSize;

// Everything one step of the terrain walk draws: first the item (if any), then the cell.
struct TerrainCellDraw {
    int i, j;
    uint8_t item;  // ItemKind; item_none draws nothing
    Matrix item_world;
    TerrainVertex vertices[kCellMeshMaxVertices];
    int count;  // vertices to upload and draw (count / 3 triangles)
    Matrix cell_world;
};

// Fills out for step (0..kTerrainDrawSteps-1) of the walk over grid. A step outside that
// range gives an empty draw: no item and no vertices. An item byte that is no ItemKind
// draws no item.
void terrain_cell_draw(const MapGrid& grid, int step, TerrainCellDraw& out);
