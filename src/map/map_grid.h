// The map: 40 x 40 square cells, a terrain type at each cell corner and one item per cell,
// and the .map file, which is nothing but the byte image of a MapGrid.
//
// Grid points run 0..kMapSize in both directions; the corner at a grid point is shared by up
// to four cells, and set_corner keeps all of them equal. Every value a grid holds is in range
// (terrain 0..4, items 0..3): the setters refuse anything else and loading resets damaged
// bytes, so the terrain and item tables below can be indexed without checks.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kMapSize = 40;  // cells per side

enum TerrainType : uint8_t {
    terrain_snow = 0,
    terrain_grass = 1,
    terrain_light_grass = 2,
    terrain_earth = 3,
    terrain_water = 4,
};
constexpr int kTerrainTypeCount = 5;

enum ItemKind : uint8_t {
    item_none = 0,
    item_box = 1,
    item_figure = 2,
    item_grass = 3,
};
constexpr int kItemKindCount = 4;

struct TerrainInfo {
    const char* name;  // as the editor lists it
    uint32_t colour;   // ARGB, as the terrain mesh draws it
};

inline constexpr TerrainInfo kTerrainTable[kTerrainTypeCount] = {
    {"snow", 0xFFD6D6D6},  {"grass", 0xFF001508}, {"light grass", 0xFF002900},
    {"earth", 0xFF170A00}, {"water", 0xFF000429},
};

struct ItemInfo {
    const char* name;   // as the editor lists it
    const char* model;  // nullptr: nothing is drawn
};

inline constexpr ItemInfo kItemTable[kItemKindCount] = {
    {"[no]", nullptr},
    {"box", "Data/models/box.x"},
    {"figure", "Data/models/oster.x"},
    {"grass", "Data/models/gras.x"},
};

// Terrain types at the grid points (i, j), (i + 1, j), (i, j + 1), (i + 1, j + 1), in this order.
struct MapCell {
    uint8_t corner[4];
};

struct MapGrid {
    uint8_t header[80];                 // reserved, never read
    MapCell cells[kMapSize][kMapSize];  // cell [i][j]: i along world x, j along world -z
    uint8_t items[kMapSize][kMapSize];  // ItemKind of cell [i][j], standing on grid point (i, j)
};

// A .map file is exactly this image.
constexpr size_t kMapFileSize = 8080;
static_assert(sizeof(MapGrid) == kMapFileSize, "MapGrid must be the .map file image");
static_assert(offsetof(MapGrid, cells) == 80, "cells start at byte 80");
static_assert(offsetof(MapGrid, items) == 6480, "items start at byte 6480");

// Where the editor keeps maps, and the map every start rewrites.
constexpr const char* kMapFolder = "Data/maps/";
constexpr const char* kMapExtension = ".map";
constexpr const char* kStartupMapName = "test123.map";

// Writes type into every corner at grid point (i, j), in each of the up to four cells that
// exist there. A point outside 0..kMapSize or a type that is no TerrainType changes nothing.
void set_corner(MapGrid& grid, int i, int j, uint8_t type);

// Puts an item into cell [i][j]. Cell indices outside 0..kMapSize-1 or a kind that is no
// ItemKind change nothing.
void set_item(MapGrid& grid, int i, int j, uint8_t kind);

enum MapLoadStatus {
    map_ok,          // the whole grid came from the file
    map_missing,     // no file at the path; the grid is unchanged
    map_short_file,  // the file ended early; the grid changed only as far as it went
    map_unreadable,  // the file could not be opened or read; the grid is unchanged
};

struct MapLoad {
    MapLoadStatus status = map_ok;
    size_t bytes_read = 0;  // bytes taken into the grid, at most kMapFileSize
    bool longer = false;    // the file went on past kMapFileSize; the rest was ignored
    int replaced = 0;       // damaged corner and item values reset to 0 (snow, no item)
    int error = 0;          // errno when missing or unreadable
};

// Copies the first min(size, kMapFileSize) bytes of a .map image over the grid, then resets
// every corner above 4 and every item above 3 to 0. The header is kept as given.
MapLoad apply_map_file_bytes(MapGrid& grid, const unsigned char* data, size_t size);

// Reads the .map file at path into the grid. Prints nothing; see report_map_load.
MapLoad load_map(MapGrid& grid, const char* path);

// One line on stderr for anything but a clean load; nothing for a clean one.
void report_map_load(const char* path, const MapLoad& result);

// Replaces the file at path with the grid's image. On failure the old file stays whole,
// a line on stderr says why, and the result is false.
bool save_map(const MapGrid& grid, const char* path);

// The map of every game: zeroed, light grass everywhere, a pond, a snow and a grass point,
// and three items.
void fill_startup_map(MapGrid& grid);

// Writes the grid as kStartupMapName in folder (a path ending in '/').
bool save_startup_map(const MapGrid& grid, const char* folder = kMapFolder);
