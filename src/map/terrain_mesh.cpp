#include "map/terrain_mesh.h"

namespace {

constexpr float kQuarterTurn = 1.5707964f;  // pi / 2
constexpr float kHalfTurn = 3.1415927f;     // pi
constexpr float kLocalUnitsPerCell = 30.0f;
constexpr float kGridVertexOffset = 0.5f;  // grid vertex (i, j) sits half a cell off the centre

enum Corner { corner_a = 0, corner_b = 1, corner_c = 2, corner_d = 3 };

// Which of a mesh's two colours, or the band, a vertex takes.
enum Paint : uint8_t { paint_first, paint_band, paint_second };

struct ShapeVertex {
    float x, z;
    Paint paint;
};

constexpr ShapeVertex kPlainQuad[6] = {
    {-15, 15, paint_first}, {15, 15, paint_first},  {-15, -15, paint_first},
    {15, 15, paint_first},  {15, -15, paint_first}, {-15, -15, paint_first},
};

// Modelled with the odd corner at (15, -15); first = majority, second = the odd corner.
constexpr ShapeVertex kCornerMesh[42] = {
    // majority region
    {-15, 15, paint_first},
    {15, 15, paint_first},
    {5.5f, 2.5f, paint_first},
    {-15, 15, paint_first},
    {-2.5f, -4.5f, paint_first},
    {-15, -15, paint_first},
    {-15, 15, paint_first},
    {5.5f, 2.5f, paint_first},
    {-2.5f, -4.5f, paint_first},
    {15, 15, paint_first},
    {15, 2.5f, paint_first},
    {5.5f, 2.5f, paint_first},
    {-2.5f, -4.5f, paint_first},
    {-2.5f, -15, paint_first},
    {-15, -15, paint_first},
    // band
    {-2.5f, -4.5f, paint_band},
    {2.5f, -15, paint_band},
    {-2.5f, -15, paint_band},
    {-2.5f, -4.5f, paint_band},
    {2.5f, -7, paint_band},
    {2.5f, -15, paint_band},
    {5.5f, 2.5f, paint_band},
    {2.5f, -7, paint_band},
    {-2.5f, -4.5f, paint_band},
    {5.5f, 2.5f, paint_band},
    {7, -2.5f, paint_band},
    {2.5f, -7, paint_band},
    {5.5f, 2.5f, paint_band},
    {15, 2.5f, paint_band},
    {7, -2.5f, paint_band},
    {15, 2.5f, paint_band},
    {15, -2.5f, paint_band},
    {7, -2.5f, paint_band},
    // corner region
    {2.5f, -7, paint_second},
    {15, -15, paint_second},
    {2.5f, -15, paint_second},
    {7, -2.5f, paint_second},
    {15, -15, paint_second},
    {2.5f, -7, paint_second},
    {15, -2.5f, paint_second},
    {15, -15, paint_second},
    {7, -2.5f, paint_second},
};

// First half on the side z > 0.
constexpr ShapeVertex kHalfMesh[18] = {
    {-15, 15, paint_first},     {15, 15, paint_first},     {15, 2.5f, paint_first},
    {-15, 15, paint_first},     {15, 2.5f, paint_first},   {-15, 2.5f, paint_first},
    {-15, 2.5f, paint_band},    {15, 2.5f, paint_band},    {15, -2.5f, paint_band},
    {-15, 2.5f, paint_band},    {15, -2.5f, paint_band},   {-15, -2.5f, paint_band},
    {-15, -2.5f, paint_second}, {15, -2.5f, paint_second}, {15, -15, paint_second},
    {-15, -2.5f, paint_second}, {15, -15, paint_second},   {-15, -15, paint_second},
};

struct Shape {
    const ShapeVertex* vertices;
    int count;
};

constexpr Shape kPlainShape = {kPlainQuad, 6};
constexpr Shape kCornerShape = {kCornerMesh, 42};
constexpr Shape kHalfShape = {kHalfMesh, 18};

// One row of the pattern table: the shape, its turn and the corners that give its colours.
struct Pattern {
    Shape shape;
    float angle;
    Corner first;
    Corner second;
    bool gradient;
};

// The patterns, tested in this order; the first that holds decides.
Pattern choose_pattern(const uint8_t c[4]) {
    const uint8_t a = c[corner_a], b = c[corner_b], cc = c[corner_c], d = c[corner_d];
    if (a == b && b == cc && cc == d) return {kPlainShape, 0.0f, corner_a, corner_a, false};
    if (a == cc && cc == d) return {kCornerShape, -kQuarterTurn, corner_c, corner_b, false};
    if (a == b && b == cc) return {kCornerShape, 0.0f, corner_a, corner_d, false};
    if (b == cc && cc == d) return {kCornerShape, -kHalfTurn, corner_d, corner_a, false};
    if (a == b && b == d) return {kCornerShape, kQuarterTurn, corner_b, corner_c, false};
    if (a == b && cc == d) return {kHalfShape, 0.0f, corner_a, corner_d, false};
    if (a == cc && b == d) return {kHalfShape, -kQuarterTurn, corner_a, corner_d, false};
    return {kPlainShape, 0.0f, corner_a, corner_a, true};
}

// The unturned corner a position of the plain quad stands on.
Corner corner_at(const ShapeVertex& v) {
    const int right = v.x > 0.0f ? 1 : 0;
    const int near_side = v.z < 0.0f ? 2 : 0;
    return static_cast<Corner>(right + near_side);
}

uint32_t paint_colour(Paint paint, uint32_t first, uint32_t second) {
    switch (paint) {
        case paint_first:
            return first;
        case paint_second:
            return second;
        default:
            return kTerrainBandColour;
    }
}

}  // namespace

uint32_t terrain_colour(uint32_t type) {
    return type < kTerrainTypeCount ? kTerrainTable[type].colour : kUnknownTerrainColour;
}

uint32_t cell_word(const MapCell& cell) {
    return uint32_t{cell.corner[0]} | uint32_t{cell.corner[1]} << 8 |
           uint32_t{cell.corner[2]} << 16 | uint32_t{cell.corner[3]} << 24;
}

void build_cell_mesh(uint32_t cell_word, TerrainVertex out[kCellMeshMaxVertices], int* count,
                     float* angle) {
    uint8_t corners[4];
    for (int k = 0; k < 4; ++k) corners[k] = static_cast<uint8_t>(cell_word >> (8 * k));
    const Pattern pattern = choose_pattern(corners);
    const uint32_t first = terrain_colour(corners[pattern.first]);
    const uint32_t second = terrain_colour(corners[pattern.second]);
    for (int k = 0; k < pattern.shape.count; ++k) {
        const ShapeVertex& v = pattern.shape.vertices[k];
        const uint32_t colour = pattern.gradient ? terrain_colour(corners[corner_at(v)])
                                                 : paint_colour(v.paint, first, second);
        out[k] = TerrainVertex{v.x, 0.0f, v.z, colour};
    }
    *count = pattern.shape.count;
    *angle = pattern.angle;
}

Matrix cell_world_matrix(int i, int j, float angle) {
    const float s = 1.0f / kLocalUnitsPerCell;
    const Matrix turned = multiply(scaling(s, 0.0f, s), rotation_y(angle));
    return multiply(turned, translation(static_cast<float>(i), 0.0f, -static_cast<float>(j)));
}

Matrix item_world_matrix(int i, int j) {
    return translation(static_cast<float>(i) - kGridVertexOffset, 0.0f,
                       -static_cast<float>(j) + kGridVertexOffset);
}

void terrain_cell_draw(const MapGrid& grid, int step, TerrainCellDraw& out) {
    if (step < 0 || step >= kTerrainDrawSteps) {
        out.i = out.j = 0;
        out.item = item_none;
        out.item_world = identity();
        out.count = 0;
        out.cell_world = identity();
        return;
    }
    out.i = step % kMapSize;
    out.j = step / kMapSize;
    const uint8_t item = grid.items[out.i][out.j];
    out.item = item < kItemKindCount ? item : uint8_t{item_none};
    out.item_world = item_world_matrix(out.i, out.j);
    float angle = 0.0f;
    build_cell_mesh(cell_word(grid.cells[out.i][out.j]), out.vertices, &out.count, &angle);
    out.cell_world = cell_world_matrix(out.i, out.j, angle);
}
