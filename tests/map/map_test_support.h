// Helpers shared by the map tests: scratch folders and grids with known, in-range content.
#pragma once

#include <cstddef>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "map/map_grid.h"
#include "support/temp_folder.h"

inline const unsigned char* bytes_of(const MapGrid& grid) {
    return reinterpret_cast<const unsigned char*>(&grid);
}

inline bool same_grid(const MapGrid& a, const MapGrid& b) {
    return std::memcmp(&a, &b, sizeof(MapGrid)) == 0;
}

// Every byte in range and driven by its offset; shift makes grids that differ in every byte.
inline MapGrid patterned_grid(int shift) {
    MapGrid grid;
    unsigned char* bytes = reinterpret_cast<unsigned char*>(&grid);
    const size_t cells = offsetof(MapGrid, cells);
    const size_t items = offsetof(MapGrid, items);
    for (size_t k = 0; k < sizeof grid; ++k) {
        const size_t v = k + static_cast<size_t>(shift);
        if (k < cells) {
            bytes[k] = static_cast<unsigned char>(v % 256);
        } else if (k < items) {
            bytes[k] = static_cast<unsigned char>(v % kTerrainTypeCount);
        } else {
            bytes[k] = static_cast<unsigned char>(v % kItemKindCount);
        }
    }
    return grid;
}

inline std::vector<unsigned char> read_whole_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>());
}

inline bool write_whole_file(const std::string& path, const unsigned char* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(out);
}

inline std::vector<unsigned char> grid_image(const MapGrid& grid) {
    return std::vector<unsigned char>(bytes_of(grid), bytes_of(grid) + sizeof(MapGrid));
}
