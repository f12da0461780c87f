// Image files decoded by SDL_image, checked first: only a regular file of bounded size
// whose header declares a picture of bounded sides reaches the decoder.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// The longest side any image of the game may have; the graphics device's own limit may
// be lower.
constexpr int kImageSideLimit = 4096;

// The decoded image; null, with why saying what was wrong, for a file that is missing,
// not a regular file, larger than any real image, of an unknown format, damaged, or
// declaring a side longer than max_side. Safe on any thread once SDL_image is set up.
SurfacePtr load_image_file(const char* path, int max_side, std::string& why);
