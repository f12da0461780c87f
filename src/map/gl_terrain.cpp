#include "map/gl_terrain.h"

#include <cstdio>
#include <utility>

#include "map/terrain_mesh.h"
#include "platform/parallel.h"
#include "render/gl_mesh.h"
#include "render/gl_texture.h"

namespace {

struct ItemModelFiles {
    const char* model;
    const char* outline;  // nullptr: drawn without an outline hull
    const char* texture;
};

constexpr ItemModelFiles kItemModelFiles[kItemModelCount] = {
    {"Data/models/health.x", "Data/models/health_toon.x", "health"},
    {"Data/models/box.x", "Data/models/box_toon.x", "box"},
    {"Data/models/oster.x", "Data/models/oster_toon.x", "grey"},
    {"Data/models/gras.x", nullptr, "gras"},
};

constexpr int kRegisterWorldView = 1;
constexpr int kRegisterWorldViewProjection = 5;
// The model and its outline hull as read_mesh_file read them.
struct ItemMeshData {
    MeshData model;
    MeshData outline;
};

void load_item_model(ItemMeshes& meshes, const ItemModelFiles& files, ItemMeshData read,
                     const Renderer& device) {
    meshes = ItemMeshes();  // a file that fails to load leaves nothing of an earlier load
    meshes.model.load(std::move(read.model));
    if (files.outline != nullptr) meshes.outline.load(std::move(read.outline));
    // Without the model or the toon shaders nothing is drawn white; those said so already.
    const bool shown_white = meshes.model.loaded() && device.toon_ready();
    if (shown_white && find_texture(device.textures(), files.texture) == nullptr) {
        std::fprintf(stderr, "torvi: no texture \"%s\" for %s; drawn plain white\n", files.texture,
                     files.model);
    }
}

// Appends the cell's vertices moved into world space; returns how many were written.
int append_cell(const TerrainCellDraw& step, TerrainVertex* out) {
    for (int v = 0; v < step.count; ++v) {
        const TerrainVertex& local = step.vertices[v];
        const Vec3 world = transform_coord({local.x, local.y, local.z}, step.cell_world);
        out[v] = {world.x, world.y, world.z, local.colour};
    }
    return step.count;
}

void flush_cells(Renderer& device, const TerrainVertex* vertices, int count) {
    if (count > 0) device.draw_coloured_triangles(vertices, count, identity());
}

}  // namespace

void load_terrain_resources(TerrainResources& terrain, const Renderer& device) {
    // Parsed on every core; made in order on this thread, which holds the GL context.
    ItemMeshData read[kItemModelCount];
    for_each_in_parallel(2 * kItemModelCount, [&](int i) {
        const ItemModelFiles& files = kItemModelFiles[i / 2];
        if (i % 2 == 0) {
            read[i / 2].model = read_mesh_file(files.model);
        } else if (files.outline != nullptr) {
            read[i / 2].outline = read_mesh_file(files.outline);
        }
    });
    for (int kind = 0; kind < kItemModelCount; ++kind) {
        load_item_model(terrain.items[kind], kItemModelFiles[kind], std::move(read[kind]), device);
    }
}

void draw_item_model(Renderer& device, const TerrainResources& terrain, int kind,
                     const Matrix& world) {
    if (kind < 0 || kind >= kItemModelCount) return;
    const ItemModelFiles& files = kItemModelFiles[kind];
    const ItemMeshes& meshes = terrain.items[kind];
    device.set_world(world);
    const Matrix world_view = multiply(world, device.view());
    device.set_matrix_constants(kRegisterWorldView, world_view);
    device.set_matrix_constants(kRegisterWorldViewProjection,
                                multiply(world_view, device.projection()));
    meshes.model.draw_toon(device, find_texture(device.textures(), files.texture));
    if (files.outline != nullptr) meshes.outline.draw_outline(device);
}

void draw_terrain(Renderer& device, TerrainResources& terrain, const MapGrid& grid) {
    TerrainVertex* batch = terrain.batch;
    TerrainCellDraw step;
    int first = 0;  // cells queued since the last item
    int count = 0;
    for (int s = 0; s < kTerrainDrawSteps; ++s) {
        terrain_cell_draw(grid, s, step);
        if (step.item != item_none) {
            // The cells before this item go out first, keeping the walk's drawing order.
            flush_cells(device, batch + first, count - first);
            first = count;
            draw_item_model(device, terrain, step.item, step.item_world);
        }
        count += append_cell(step, batch + count);
    }
    flush_cells(device, batch + first, count - first);
}
