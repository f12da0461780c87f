#include "map/map_grid.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/atomic_file.h"

namespace {

bool is_grid_point(int i, int j) {
    return i >= 0 && i <= kMapSize && j >= 0 && j <= kMapSize;
}

bool is_cell(int i, int j) {
    return i >= 0 && i < kMapSize && j >= 0 && j < kMapSize;
}

void set_cell_corner(MapGrid& grid, int i, int j, int corner, uint8_t type) {
    if (is_cell(i, j)) grid.cells[i][j].corner[corner] = type;
}

// Damaged bytes become 0 so that no reader can index past the terrain or item tables.
int reset_damaged_values(MapGrid& grid) {
    int replaced = 0;
    for (auto& row : grid.cells) {
        for (MapCell& cell : row) {
            for (uint8_t& type : cell.corner) {
                if (type >= kTerrainTypeCount) {
                    type = terrain_snow;
                    ++replaced;
                }
            }
        }
    }
    for (auto& row : grid.items) {
        for (uint8_t& kind : row) {
            if (kind >= kItemKindCount) {
                kind = item_none;
                ++replaced;
            }
        }
    }
    return replaced;
}

struct StartupPoint {
    int i, j;
    TerrainType type;
};

struct StartupItem {
    int i, j;
    ItemKind kind;
};

constexpr StartupPoint kStartupPoints[] = {
    {1, 2, terrain_water}, {2, 2, terrain_water}, {3, 2, terrain_water}, {2, 1, terrain_water},
    {3, 1, terrain_water}, {4, 4, terrain_snow},  {2, 4, terrain_grass},
};

constexpr StartupItem kStartupItems[] = {
    {3, 3, item_box},
    {2, 1, item_grass},
    {4, 4, item_figure},
};

}  // namespace

void set_corner(MapGrid& grid, int i, int j, uint8_t type) {
    // Checked before i - 1 and j - 1 are formed, so extreme indices cannot overflow.
    if (!is_grid_point(i, j) || type >= kTerrainTypeCount) return;
    set_cell_corner(grid, i, j, 0, type);
    set_cell_corner(grid, i - 1, j, 1, type);
    set_cell_corner(grid, i, j - 1, 2, type);
    set_cell_corner(grid, i - 1, j - 1, 3, type);
}

void set_item(MapGrid& grid, int i, int j, uint8_t kind) {
    if (!is_cell(i, j) || kind >= kItemKindCount) return;
    grid.items[i][j] = kind;
}

MapLoad apply_map_file_bytes(MapGrid& grid, const unsigned char* data, size_t size) {
    MapLoad result;
    result.bytes_read = size < kMapFileSize ? size : kMapFileSize;
    result.longer = size > kMapFileSize;
    result.status = size < kMapFileSize ? map_short_file : map_ok;
    if (result.bytes_read > 0) std::memcpy(&grid, data, result.bytes_read);
    result.replaced = reset_damaged_values(grid);
    return result;
}

MapLoad load_map(MapGrid& grid, const char* path) {
    // Read aside first: a read that fails halfway must leave the grid as it was.
    unsigned char image[kMapFileSize];
    const FileRead read = read_file_prefix(path, image, sizeof image);
    if (read.status != read_ok) {
        MapLoad result;
        const bool absent =
            read.status == read_cannot_open && (read.error == ENOENT || read.error == ENOTDIR);
        result.status = absent ? map_missing : map_unreadable;
        result.error = read.error;
        return result;
    }
    MapLoad result = apply_map_file_bytes(grid, image, read.size);
    result.longer = read.longer;
    return result;
}

void report_map_load(const char* path, const MapLoad& result) {
    switch (result.status) {
        case map_missing:
            std::fprintf(stderr, "torvi: map %s not found (%s); the map is unchanged\n", path,
                         file_error_text(result.error));
            return;
        case map_unreadable:
            std::fprintf(stderr, "torvi: could not read map %s (%s); the map is unchanged\n", path,
                         file_error_text(result.error));
            return;
        case map_short_file:
        case map_ok:
            break;
    }
    if (result.status == map_ok && !result.longer && result.replaced == 0) return;

    const char* separator = ": ";
    std::fprintf(stderr, "torvi: map %s", path);
    if (result.status == map_short_file) {
        std::fprintf(stderr, "%sshort file (%zu of %zu bytes), the rest of the map is unchanged",
                     separator, result.bytes_read, kMapFileSize);
        separator = "; ";
    }
    if (result.longer) {
        std::fprintf(stderr, "%slonger than %zu bytes, the rest of the file is ignored", separator,
                     kMapFileSize);
        separator = "; ";
    }
    if (result.replaced > 0) {
        std::fprintf(stderr, "%s%d damaged values set to snow or no item", separator,
                     result.replaced);
    }
    std::fputc('\n', stderr);
}

bool save_map(const MapGrid& grid, const char* path) {
    return save_file_atomically(path, &grid, sizeof grid);
}

void fill_startup_map(MapGrid& grid) {
    std::memset(&grid, 0, sizeof grid);
    // Grid points 0..kMapSize inclusive: the far row and column of corners get light grass
    // too, so the map's east and south edges show no rim of snow.
    for (int i = 0; i <= kMapSize; ++i) {
        for (int j = 0; j <= kMapSize; ++j) set_corner(grid, i, j, terrain_light_grass);
    }
    for (const StartupPoint& p : kStartupPoints) set_corner(grid, p.i, p.j, p.type);
    for (const StartupItem& item : kStartupItems) set_item(grid, item.i, item.j, item.kind);
}

bool save_startup_map(const MapGrid& grid, const char* folder) {
    return save_map(grid, (std::string(folder) + kStartupMapName).c_str());
}
