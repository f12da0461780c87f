#include "render/glyph_packing.h"

#include <algorithm>

int shelf_pack(GlyphBox* boxes, int count, int atlas_width, int max_height, int padding) {
    int x = 0, y = 0, row_height = 0;
    for (int i = 0; i < count; ++i) {
        GlyphBox& box = boxes[i];
        box.placed = false;
        if (box.width <= 0 || box.height <= 0) continue;
        const int w = box.width + padding;
        const int h = box.height + padding;
        if (w > atlas_width) continue;
        if (x + w > atlas_width) {
            x = 0;
            y += row_height;
            row_height = 0;
        }
        if (y + h > max_height) continue;
        box.x = x;
        box.y = y;
        box.placed = true;
        x += w;
        row_height = std::max(row_height, h);
    }
    return y + row_height;
}
