// Placing glyph images in a font atlas of fixed width and bounded height.
#pragma once

struct GlyphBox {
    int width = 0, height = 0;  // 0 x 0: no image, nothing to place
    int x = 0, y = 0;           // the corner given; valid when placed
    bool placed = false;
};

// Shelf packing, left to right and row by row, padding apart. A box wider than the atlas,
// or one whose row would end below max_height, is refused (placed stays false) and the
// packing goes on with the next. Returns the atlas height the placed boxes use.
int shelf_pack(GlyphBox* boxes, int count, int atlas_width, int max_height, int padding);
