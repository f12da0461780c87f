// The one window with its OpenGL 3.3 core context and the game's cursor.
#pragma once
#include <SDL.h>

#include <memory>

// SDL's video subsystem and SDL2_image, started once and shut down on scope exit.
class SdlVideo {
  public:
    SdlVideo() = default;
    SdlVideo(const SdlVideo&) = delete;
    SdlVideo& operator=(const SdlVideo&) = delete;
    ~SdlVideo();
    // False, with one clear line on stderr, when there is no display to open a window on.
    bool start();

  private:
    bool video_ = false;
    bool image_ = false;
};

// True when the window is on a real screen; false for the offscreen and dummy drivers.
bool has_real_display();

constexpr int kWindowedWidth = 1024;
constexpr int kWindowedHeight = 768;
constexpr char kWindowTitle[] = "torvi";
constexpr char kCursorPath[] = "Data/shell/main.cur";

struct SdlWindowDeleter {
    void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
};
struct SdlContextDeleter {
    void operator()(void* context) const { SDL_GL_DeleteContext(context); }
};
struct SdlCursorDeleter {
    void operator()(SDL_Cursor* cursor) const { SDL_FreeCursor(cursor); }
};

class GameWindow {
  public:
    // Fullscreen at the desktop mode without a mode switch, or a window of width x height;
    // HiDPI aware. False, with a line on stderr, when the window or context fails.
    bool open(bool windowed, int width = kWindowedWidth, int height = kWindowedHeight);
    // Loads the cursor file; a missing or bad file keeps the system cursor (one line).
    void load_cursor(const char* path);
    void show();
    void swap();
    SDL_Window* handle() const { return window_.get(); }
    // The back buffer's size in pixels.
    int width() const { return width_; }
    int height() const { return height_; }
    // Window coordinates (points) to back-buffer pixels.
    void to_pixels(int& x, int& y) const;

  private:
    void update_size();

    std::unique_ptr<SDL_Window, SdlWindowDeleter> window_;
    std::unique_ptr<void, SdlContextDeleter> context_;
    std::unique_ptr<SDL_Cursor, SdlCursorDeleter> cursor_;
    int width_ = 0;
    int height_ = 0;
    int points_w_ = 0;
    int points_h_ = 0;

    friend void handle_window_resize(GameWindow& window);
};

// Re-reads the back-buffer size after the window changed size.
void handle_window_resize(GameWindow& window);
