#include "render/gl_screenshot.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kBytesPerPixel = 4;

}  // namespace

void read_back_buffer(int width, int height, uint8_t* rgba) {
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    // GL returns the bottom row first; swap rows in place so the top comes first.
    const size_t row = static_cast<size_t>(width) * kBytesPerPixel;
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(rgba + top * row, rgba + (top + 1) * row, rgba + bottom * row);
    }
}

std::vector<uint8_t> read_back_buffer(int width, int height) {
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * kBytesPerPixel);
    read_back_buffer(width, height, rgba.data());
    return rgba;
}
