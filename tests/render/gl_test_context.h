// A hidden window with an OpenGL 3.3 core context on SDL's offscreen driver, so
// rendering tests draw for real on the software rasteriser and read pixels back.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "render/gl_renderer.h"
#include "render/gl_screenshot.h"
#include "support/temp_folder.h"

class GlTest : public ::testing::Test {
  public:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 64;

    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        window_ = SDL_CreateWindow("torvi test", 0, 0, kWidth, kHeight,
                                   SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        ASSERT_NE(window_, nullptr) << SDL_GetError();
        context_ = SDL_GL_CreateContext(window_);
        ASSERT_NE(context_, nullptr) << SDL_GetError();
    }

    static void TearDownTestSuite() {
        if (context_ != nullptr) SDL_GL_DeleteContext(context_);
        if (window_ != nullptr) SDL_DestroyWindow(window_);
        context_ = nullptr;
        window_ = nullptr;
        SDL_Quit();
    }

  protected:
    void SetUp() override {
        ASSERT_NE(context_, nullptr);
        ASSERT_TRUE(device_.init(kWidth, kHeight, use_clip_control_));
    }

    void TearDown() override {
        inside_.reset();
        folder_.reset();
    }

    // Makes dir the working directory until the test ends (or the next call).
    void work_in(const std::filesystem::path& dir) {
        inside_.reset();
        inside_.emplace(dir);
        ASSERT_TRUE(inside_->ok()) << dir;
    }

    // The shipped toon shader pair, loaded on this test's device.
    void load_toon_shaders() {
        const std::string dir = std::string(TORVI_SOURCE_DIR) + "/Data/shaders/";
        ASSERT_TRUE(device_.load_toon_vertex_shader((dir + "toon_surface.glsl").c_str()));
        ASSERT_TRUE(device_.load_toon_pixel_shader((dir + "toon_pixel.glsl").c_str()));
    }

    // A fresh folder under /tmp for this test's files.
    std::string folder() {
        if (!folder_) folder_.emplace("torvi_gl_test_");
        return folder_->path().string();
    }

    std::string write_file(const std::string& name, const std::string& text) {
        const std::string path = folder() + "/" + name;
        write_text(path, text);
        return path;
    }

    std::vector<uint8_t> pixels() { return read_back_buffer(kWidth, kHeight); }

    // The RGBA of pixel (x, y), y counted from the top.
    static uint32_t rgba_at(const std::vector<uint8_t>& image, int x, int y) {
        const uint8_t* p = &image[(static_cast<size_t>(y) * kWidth + x) * 4];
        return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
    }
    static uint8_t red_at(const std::vector<uint8_t>& image, int x, int y) {
        return image[(static_cast<size_t>(y) * kWidth + x) * 4];
    }
    // The back buffer's pixels that pass test (given 0xRRGGBB): how many, and their box.
    struct Lit {
        int count = 0, left = kWidth, top = kHeight, right = -1, bottom = -1;
    };
    template <class Test>
    Lit lit_pixels(Test test) {
        const std::vector<uint8_t> image = pixels();
        Lit lit;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if (!test(rgba_at(image, x, y) >> 8)) continue;
                ++lit.count;
                lit.left = std::min(lit.left, x);
                lit.right = std::max(lit.right, x);
                lit.top = std::min(lit.top, y);
                lit.bottom = std::max(lit.bottom, y);
            }
        }
        return lit;
    }
    // How many pixels of the back buffer are not rgb (0xRRGGBB).
    int pixels_not(uint32_t rgb) {
        return lit_pixels([rgb](uint32_t c) { return c != rgb; }).count;
    }
    // Where world lands on the screen with device's matrices and no world transform.
    static Vec3 screen_of(const Renderer& device, Vec3 world) {
        return project(world, device.viewport(), device.projection(), device.view(), identity());
    }
    // The 0xRRGGBB of the back buffer's pixel where world lands.
    uint32_t rgb_where(const Renderer& device, Vec3 world) {
        const Vec3 s = screen_of(device, world);
        const int x = static_cast<int>(s.x), y = static_cast<int>(s.y);
        const bool inside = x >= 0 && x < kWidth && y >= 0 && y < kHeight;
        EXPECT_TRUE(inside) << x << "," << y;
        return inside ? rgba_at(pixels(), x, y) >> 8 : 0;
    }

    bool use_clip_control_ = true;
    Renderer device_;

  private:
    inline static SDL_Window* window_ = nullptr;
    inline static SDL_GLContext context_ = nullptr;
    std::optional<TempFolder> folder_;
    std::optional<WorkingFolder> inside_;
};
