#include "platform/gl_screenshot.h"

#include <SDL.h>
#include <SDL_image.h>
#include <epoxy/gl.h>

#include <cstdio>
#include <memory>

#include "render/gl_screenshot.h"

namespace {

constexpr int kBytesPerPixel = 4;

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};

}  // namespace

bool Screenshot::save(const char* path, int width, int height) {
    if (width <= 0 || height <= 0) {
        std::fprintf(stderr, "torvi: no frame to save as %s\n", path);
        return false;
    }
    const size_t row = static_cast<size_t>(width) * kBytesPerPixel;
    pixels_.resize(row * static_cast<size_t>(height));
    glReadBuffer(GL_BACK);
    read_back_buffer(width, height, pixels_.data());
    std::unique_ptr<SDL_Surface, SurfaceDeleter> surface(SDL_CreateRGBSurfaceWithFormatFrom(
        pixels_.data(), width, height, 32, static_cast<int>(row), SDL_PIXELFORMAT_RGBA32));
    if (!surface || IMG_SavePNG(surface.get(), path) != 0) {
        std::fprintf(stderr, "torvi: cannot save the screenshot %s: %s\n", path, IMG_GetError());
        return false;
    }
    return true;
}
