#include "platform/sdl_window.h"

#include <SDL_image.h>
#include <epoxy/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/atomic_file.h"
#include "platform/image_header.h"
#include "platform/sdl_image_file.h"

namespace {

constexpr int kDepthBits = 16;
constexpr int kGlMajor = 3;
constexpr int kGlMinor = 3;
constexpr int kCursorSideLimit = 256;  // pointers are 32 pixels; more is a damaged file

bool driver_is(const char* name) {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && std::strcmp(driver, name) == 0;
}

bool headless_driver() {
    return driver_is("offscreen") || driver_is("dummy");
}

bool asked_for_headless() {
    const char* wanted = std::getenv("SDL_VIDEODRIVER");
    return wanted && (std::strcmp(wanted, "offscreen") == 0 || std::strcmp(wanted, "dummy") == 0);
}

HotSpot file_hot_spot(const char* path, int width, int height) {
    unsigned char header[kCursorHeaderSize];
    const FileRead read = read_file_prefix(path, header, sizeof header);
    return cursor_hot_spot(header, read.status == read_ok ? read.size : 0, width, height);
}

}  // namespace

SdlVideo::~SdlVideo() {
    if (image_) IMG_Quit();
    if (video_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_Quit();
}

bool SdlVideo::start() {
    SDL_SetHint(SDL_HINT_VIDEO_HIGHDPI_DISABLED, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "torvi: no display to open a window on (%s)\n", SDL_GetError());
        return false;
    }
    video_ = true;
    if (headless_driver() && !asked_for_headless()) {
        std::fprintf(stderr,
                     "torvi: no display to open a window on (set SDL_VIDEODRIVER=offscreen to "
                     "run without one)\n");
        return false;
    }
    image_ = (IMG_Init(IMG_INIT_PNG) & IMG_INIT_PNG) != 0;
    if (!image_) std::fprintf(stderr, "torvi: PNG support is missing (%s)\n", IMG_GetError());
    return true;
}

bool has_real_display() {
    return SDL_WasInit(SDL_INIT_VIDEO) != 0 && !headless_driver();
}

bool GameWindow::open(bool windowed, int width, int height) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, kGlMajor);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, kGlMinor);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, kDepthBits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    const Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_HIDDEN |
                         (windowed ? 0u : static_cast<Uint32>(SDL_WINDOW_FULLSCREEN_DESKTOP));
    window_.reset(SDL_CreateWindow(kWindowTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                   width, height, flags));
    if (!window_) {
        std::fprintf(stderr, "torvi: cannot create the window: %s\n", SDL_GetError());
        return false;
    }
    context_.reset(SDL_GL_CreateContext(window_.get()));
    if (!context_) {
        std::fprintf(stderr, "torvi: cannot create an OpenGL %d.%d core context: %s\n", kGlMajor,
                     kGlMinor, SDL_GetError());
        window_.reset();
        return false;
    }
    // The ticks pace the frames; waiting for the display would delay the 10 ms ticks.
    SDL_GL_SetSwapInterval(0);
    update_size();
    return true;
}

void GameWindow::update_size() {
    SDL_GL_GetDrawableSize(window_.get(), &width_, &height_);
    SDL_GetWindowSize(window_.get(), &points_w_, &points_h_);
}

void handle_window_resize(GameWindow& window) {
    window.update_size();
}

void GameWindow::load_cursor(const char* path) {
    std::string why;
    const SurfacePtr image = load_image_file(path, kCursorSideLimit, why);
    if (!image) {
        std::fprintf(stderr, "torvi: cursor %s not loaded (%s); using the system cursor\n", path,
                     why.c_str());
        return;
    }
    const HotSpot spot = file_hot_spot(path, image->w, image->h);
    cursor_.reset(SDL_CreateColorCursor(image.get(), spot.x, spot.y));
    if (!cursor_) {
        std::fprintf(stderr, "torvi: cursor %s not usable (%s); using the system cursor\n", path,
                     SDL_GetError());
        return;
    }
    SDL_SetCursor(cursor_.get());
}

void GameWindow::show() {
    SDL_ShowWindow(window_.get());
    update_size();
}

void GameWindow::swap() {
    // An offscreen surface's swap is no flush: without one the driver would keep every
    // frame's commands and buffers queued, and a headless run grow without end.
    glFlush();
    SDL_GL_SwapWindow(window_.get());
}

void GameWindow::to_pixels(int& x, int& y) const {
    if (points_w_ > 0 && points_h_ > 0) {
        x = static_cast<int>(static_cast<long long>(x) * width_ / points_w_);
        y = static_cast<int>(static_cast<long long>(y) * height_ / points_h_);
    }
}
