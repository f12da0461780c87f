// The size an image file declares, read from its first bytes before anything decodes it:
// a small file can claim a picture of gigabytes.
#pragma once

#include <cstddef>

enum ImageFormat { image_unknown, image_png, image_jpeg, image_bmp, image_cursor };

struct ImageHeader {
    ImageFormat format = image_unknown;
    // The largest width and height the file declares (a cursor or icon file: over all its
    // images); 0 when the header is cut short or damaged.
    long long width = 0, height = 0;
};

// Reads the header of a PNG, JPEG, BMP, or ICO/CUR file from its first size bytes.
ImageHeader read_image_header(const unsigned char* bytes, size_t size);

struct HotSpot {
    int x = 0;
    int y = 0;
};

constexpr size_t kCursorHeaderSize = 14;

// A .cur file keeps the hot spot of its first image at bytes 10..13 (SDL_image drops it);
// (0, 0) for any other file, or a spot outside the width x height picture.
HotSpot cursor_hot_spot(const unsigned char* bytes, size_t size, int width, int height);

// Why an image with this header is not decoded, or nullptr when it may be: an unknown
// format, a damaged header, or a side longer than max_side.
const char* image_refusal(const ImageHeader& header, int max_side);
