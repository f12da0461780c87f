// Any bytes read as a .map image over a known grid: every value ends up in range, the bytes
// the input holds come from it (damaged values as 0), and the rest of the grid is untouched.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "map/map_grid.h"

namespace {

// In range everywhere and different from 0 where it can be, so a stray reset shows.
MapGrid known_grid() {
    MapGrid grid;
    unsigned char* bytes = reinterpret_cast<unsigned char*>(&grid);
    for (size_t k = 0; k < sizeof grid; ++k) {
        if (k < offsetof(MapGrid, cells)) {
            bytes[k] = static_cast<unsigned char>(k * 31 + 7);
        } else if (k < offsetof(MapGrid, items)) {
            bytes[k] = static_cast<unsigned char>(1 + k % (kTerrainTypeCount - 1));
        } else {
            bytes[k] = static_cast<unsigned char>(1 + k % (kItemKindCount - 1));
        }
    }
    return grid;
}

// What a loaded byte at offset k must become.
unsigned char expected_byte(size_t k, unsigned char in) {
    if (k < offsetof(MapGrid, cells)) return in;
    const unsigned limit = k < offsetof(MapGrid, items) ? kTerrainTypeCount : kItemKindCount;
    return in < limit ? in : 0;
}

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const MapGrid before = known_grid();
    MapGrid grid = before;
    const MapLoad result = apply_map_file_bytes(grid, data, size);

    const size_t taken = size < kMapFileSize ? size : kMapFileSize;
    check(result.bytes_read == taken);
    check(result.longer == (size > kMapFileSize));
    check((result.status == map_ok) == (size >= kMapFileSize));

    for (const auto& row : grid.cells) {
        for (const MapCell& cell : row) {
            for (uint8_t type : cell.corner) check(type < kTerrainTypeCount);
        }
    }
    for (const auto& row : grid.items) {
        for (uint8_t kind : row) check(kind < kItemKindCount);
    }

    const unsigned char* got = reinterpret_cast<const unsigned char*>(&grid);
    const unsigned char* old = reinterpret_cast<const unsigned char*>(&before);
    int replaced = 0;
    for (size_t k = 0; k < taken; ++k) {
        check(got[k] == expected_byte(k, data[k]));
        if (got[k] != data[k]) ++replaced;
    }
    check(result.replaced == replaced);
    check(std::memcmp(got + taken, old + taken, kMapFileSize - taken) == 0);
    return 0;
}
