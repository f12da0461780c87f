// Cell meshes and their placement: pattern choice, colours, and where the corners land.
#include "map/terrain_mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

constexpr uint32_t kSnow = 0xFFD6D6D6;

uint32_t word(int a, int b, int c, int d) {
    return uint32_t(a) | uint32_t(b) << 8 | uint32_t(c) << 16 | uint32_t(d) << 24;
}

struct Mesh {
    TerrainVertex v[kCellMeshMaxVertices];
    int count = -1;
    float angle = 99.0f;
};

Mesh build(uint32_t w) {
    Mesh m;
    build_cell_mesh(w, m.v, &m.count, &m.angle);
    return m;
}

int count_colour(const Mesh& m, uint32_t colour) {
    int n = 0;
    for (int k = 0; k < m.count; ++k) n += m.v[k].colour == colour ? 1 : 0;
    return n;
}

bool is_local_corner(const TerrainVertex& v) {
    return std::fabs(v.x) == 15.0f && std::fabs(v.z) == 15.0f;
}

// The grid vertex (p, q) a local mesh corner of cell (i, j) lands on in the world.
void landing_grid_vertex(const TerrainVertex& v, int i, int j, float angle, int* p, int* q) {
    const Vec3 w = transform_coord({v.x, v.y, v.z}, cell_world_matrix(i, j, angle));
    *p = static_cast<int>(std::lround(w.x + 0.5f));
    *q = static_cast<int>(std::lround(-w.z + 0.5f));
    EXPECT_NEAR(w.x, *p - 0.5f, 1e-5f);
    EXPECT_NEAR(w.z, -*q + 0.5f, 1e-5f);
    EXPECT_EQ(w.y, 0.0f);
}

// Corner k of a cell sits on grid vertex (i + k % 2, j + k / 2).
uint8_t corner_of(const uint8_t corners[4], int i, int j, int p, int q) {
    return corners[(p - i) + 2 * (q - j)];
}

TEST(CellMesh, PatternsAreTestedInTableOrder) {
    struct Case {
        uint32_t word;
        int count;
        float angle;
    };
    const Case cases[] = {
        {word(2, 2, 2, 2), 6, 0.0f},          // all equal before any three-corner pattern
        {word(0, 3, 0, 0), 42, -1.5707964f},  // A = C = D
        {word(0, 0, 0, 3), 42, 0.0f},         // A = B = C
        {word(3, 0, 0, 0), 42, -3.1415927f},  // B = C = D
        {word(0, 0, 3, 0), 42, 1.5707964f},   // A = B = D
        {word(1, 1, 2, 2), 18, 0.0f},         // A = B and C = D
        {word(1, 2, 1, 2), 18, -1.5707964f},  // A = C and B = D
        {word(1, 2, 2, 1), 6, 0.0f},          // diagonal pair: gradient
        {word(0, 1, 2, 3), 6, 0.0f},          // all different: gradient
    };
    for (const Case& c : cases) {
        const Mesh m = build(c.word);
        EXPECT_EQ(m.count, c.count) << std::hex << c.word;
        EXPECT_EQ(m.angle, c.angle) << std::hex << c.word;
    }
}

// Every cell word of types 0..4: each mesh corner lands on a grid vertex of its cell and
// shows exactly the type held there. This checks the pattern angles, the colour choices
// and the shape tables together.
TEST(CellMesh, EveryMeshCornerShowsTheTypeOfTheGridVertexItLandsOn) {
    const int i = 3, j = 5;
    for (uint32_t n = 0; n < 625; ++n) {
        const uint8_t corners[4] = {uint8_t(n % 5), uint8_t(n / 5 % 5), uint8_t(n / 25 % 5),
                                    uint8_t(n / 125)};
        const Mesh m = build(word(corners[0], corners[1], corners[2], corners[3]));
        bool seen[4] = {};
        for (int k = 0; k < m.count; ++k) {
            if (!is_local_corner(m.v[k])) continue;
            int p = 0, q = 0;
            landing_grid_vertex(m.v[k], i, j, m.angle, &p, &q);
            ASSERT_TRUE(p >= i && p <= i + 1 && q >= j && q <= j + 1);
            ASSERT_EQ(m.v[k].colour, terrain_colour(corner_of(corners, i, j, p, q)))
                << "word " << n << " vertex " << k;
            seen[(p - i) + 2 * (q - j)] = true;
        }
        for (bool s : seen) EXPECT_TRUE(s) << "word " << n;
    }
}

TEST(CellMesh, CornerValuesAboveFourShowTheDamageColour) {
    EXPECT_EQ(terrain_colour(5), kUnknownTerrainColour);
    EXPECT_EQ(terrain_colour(0xFFFFFFFFu), kUnknownTerrainColour);
    EXPECT_EQ(count_colour(build(word(200, 200, 200, 200)), kUnknownTerrainColour), 6);
    const Mesh odd = build(word(0, 0, 0, 9));
    EXPECT_EQ(count_colour(odd, kSnow), 15);
    EXPECT_EQ(count_colour(odd, kUnknownTerrainColour), 9);
}

TEST(TerrainWalk, RowsOuterColumnsInnerWithTheItemOfEachCell) {
    static MapGrid grid;
    std::memset(&grid, 0, sizeof grid);
    set_item(grid, 2, 1, item_box);
    grid.cells[2][1] = MapCell{{1, 1, 1, 4}};
    grid.items[5][5] = 77;  // damaged byte

    static TerrainCellDraw d;
    terrain_cell_draw(grid, 42, d);  // second row, third cell
    EXPECT_EQ(d.i, 2);
    EXPECT_EQ(d.j, 1);
    EXPECT_EQ(d.item, item_box);
    EXPECT_EQ(d.count, 42);
    EXPECT_EQ(d.item_world.m[3][0], 1.5f);
    EXPECT_EQ(d.item_world.m[3][2], -0.5f);
    EXPECT_EQ(d.cell_world.m[3][0], 2.0f);
    EXPECT_EQ(d.cell_world.m[3][2], -1.0f);
    // A cell's mesh is flattened to y = 0 whatever it holds.
    EXPECT_EQ(transform_coord({0, 12, 0}, cell_world_matrix(7, 9, 1.0f)).y, 0.0f);

    terrain_cell_draw(grid, 5 * kMapSize + 5, d);
    EXPECT_EQ(d.item, item_none);
    EXPECT_EQ(d.count, 6);

    for (int step : {-1, kTerrainDrawSteps, 1 << 30}) {
        terrain_cell_draw(grid, step, d);
        EXPECT_EQ(d.count, 0);
        EXPECT_EQ(d.item, item_none);
    }
}

// Painting through set_corner keeps the cells that meet at a grid vertex in agreement:
// every mesh corner drawn at that vertex has the same colour.
TEST(TerrainWalk, NeighboursPaintedWithSetCornerAgreeAtSharedVertices) {
    static MapGrid grid;
    std::memset(&grid, 0, sizeof grid);
    uint32_t seed = 12345;
    for (int n = 0; n < 400; ++n) {
        seed = seed * 1103515245u + 12345u;
        const int p = int(seed >> 8) % 12, q = int(seed >> 16) % 12;
        set_corner(grid, p, q, uint8_t((seed >> 24) % 5));
    }
    uint32_t colour_at[13][13] = {};
    bool known[13][13] = {};
    static TerrainCellDraw d;
    for (int step = 0; step < kTerrainDrawSteps; ++step) {
        terrain_cell_draw(grid, step, d);
        if (d.i > 11 || d.j > 11) continue;
        for (int k = 0; k < d.count; ++k) {
            if (!is_local_corner(d.vertices[k])) continue;
            const Vec3 w = transform_coord({d.vertices[k].x, 0, d.vertices[k].z}, d.cell_world);
            const int p = int(std::lround(w.x + 0.5f)), q = int(std::lround(-w.z + 0.5f));
            if (known[p][q]) {
                ASSERT_EQ(colour_at[p][q], d.vertices[k].colour) << p << "," << q;
            }
            colour_at[p][q] = d.vertices[k].colour;
            known[p][q] = true;
        }
    }
}

}  // namespace
