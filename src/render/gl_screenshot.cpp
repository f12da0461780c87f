#include "render/gl_screenshot.h"

#include <SDL.h>
#include <SDL_image.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/sdl_image_file.h"

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

bool Screenshot::save(const char* path, int width, int height) {
    if (width <= 0 || height <= 0) {
        std::fprintf(stderr, "torvi: no frame to save as %s\n", path);
        return false;
    }
    const size_t row = static_cast<size_t>(width) * kBytesPerPixel;
    pixels_.resize(row * static_cast<size_t>(height));
    glReadBuffer(GL_BACK);
    read_back_buffer(width, height, pixels_.data());
    SurfacePtr surface(SDL_CreateRGBSurfaceWithFormatFrom(
        pixels_.data(), width, height, 32, static_cast<int>(row), SDL_PIXELFORMAT_RGBA32));
    if (!surface || IMG_SavePNG(surface.get(), path) != 0) {
        std::fprintf(stderr, "torvi: cannot save the screenshot %s: %s\n", path, IMG_GetError());
        return false;
    }
    return true;
}
