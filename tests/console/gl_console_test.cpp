// The console drawn for real, and the whole game run once through its loop.
#include "console/gl_console.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "../render/gl_test_context.h"
#include "console/console.h"
#include "app/game_main.h"
#include "app/gl_game_setup.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kRed = 0xFFFF0000;
constexpr int kLineHeight = 14;

// The whole game once, in a child process so the loop's window, context and globals never
// meet this process's test context. Runs first, while the child's globals are fresh.
TEST(GameRun, PlayFrameShowsTheDarkGreyClearAndGreenTerrain) {
    const TempFolder folder("torvi_run_");
    ASSERT_TRUE(folder.ok());
    const fs::path dir = folder.path();
    fs::copy(fs::path(TORVI_SOURCE_DIR) / "config.cfg", dir / "config.cfg");
    fs::copy(fs::path(TORVI_SOURCE_DIR) / "Data", dir / "Data", fs::copy_options::recursive);
    const std::string shot = (dir / "play.png").string();
    const std::string data = dir.string();

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        RunOptions options;
        options.windowed = true;
        options.play = true;
        options.frames = 5;
        options.screenshot = shot.c_str();
        options.data_dir = data.c_str();
        install_game_hooks();
        _exit(run_game(options));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kExitOk);

    SDL_Surface* loaded = IMG_Load(shot.c_str());
    ASSERT_NE(loaded, nullptr) << IMG_GetError();
    SDL_Surface* image = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    ASSERT_NE(image, nullptr);
    int grey = 0, green = 0;
    for (int y = 0; y < image->h; ++y) {
        const auto* row = static_cast<const uint8_t*>(image->pixels) + y * image->pitch;
        for (int x = 0; x < image->w; ++x) {
            const uint8_t* p = row + x * 4;
            grey += p[0] == 0x20 && p[1] == 0x20 && p[2] == 0x20;
            green += p[0] == 0x00 && p[1] == 0x29 && p[2] == 0x00;  // light grass
        }
    }
    const int total = image->w * image->h;
    SDL_FreeSurface(image);
    EXPECT_GT(grey, total / 20);
    EXPECT_GT(green, total / 20);
}

class ConsoleDrawTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        inside_.emplace(folder());
        ASSERT_TRUE(inside_->ok());
        write_file("config.cfg", "[console]\nposx=0\nposy=0\nsize=14\nfont=Tahoma\ntextlines=2\n");
        ASSERT_TRUE(renderer().init(kWidth, kHeight));
        console_device_init(renderer());
    }
    void TearDown() override {
        inside_.reset();
        GlTest::TearDown();
    }

    // Red pixels (red above 8, green and blue none) in rows first..last.
    struct Reds {
        int count, leftmost, brightest;
    };
    Reds reds_in_rows(int first, int last) {
        const std::vector<uint8_t> image = pixels();
        Reds reds{0, kWidth, 0};
        for (int y = first; y <= last; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const uint32_t c = rgba_at(image, x, y);
                const int r = c >> 24, g = (c >> 16) & 0xFF, b = (c >> 8) & 0xFF;
                if (r <= 8 || g > 8 || b > 8) continue;
                ++reds.count;
                reds.leftmost = std::min(reds.leftmost, x);
                reds.brightest = std::max(reds.brightest, r);
            }
        }
        return reds;
    }
    void draw() {
        renderer().clear(0xFF000000);
        console_draw(renderer());
    }

    std::optional<WorkingFolder> inside_;
};

TEST_F(ConsoleDrawTest, FontsComeFromTheSettings) {
    ASSERT_NE(console_font(), nullptr);
    ASSERT_NE(gui_font(), nullptr);
    EXPECT_EQ(console_line_count(console()), 2);
    EXPECT_GE(console_font()->line_height(), kLineHeight);
}

TEST_F(ConsoleDrawTest, TheNewestLineIsDrawnInItsColourOnTheBottomLine) {
    draw();
    EXPECT_EQ(reds_in_rows(0, kHeight - 1).count, 0);  // empty lines draw nothing

    console_print(kRed, "MMMM");
    draw();
    // Line 1 starts at y = 0 + 1 * (14 + 4) and x = 0 + 4; line 0 is still empty.
    const Reds top = reds_in_rows(0, kLineHeight + 3);
    const Reds bottom = reds_in_rows(kLineHeight + 4, kHeight - 1);
    EXPECT_EQ(top.count, 0);
    EXPECT_GT(bottom.count, 30);
    EXPECT_GE(bottom.leftmost, 4);
    EXPECT_LT(bottom.leftmost, 8);
    EXPECT_GE(bottom.brightest, 250);

    console_print(kRed, "MMMM");  // pushes the first one up to line 0
    draw();
    EXPECT_GT(reds_in_rows(0, kLineHeight + 3).count, 30);
}

TEST_F(ConsoleDrawTest, LinesFadeOutAndVanish) {
    console_print(kRed, "MMMM");
    for (int tick = 0; tick < 200; ++tick) console_fade();
    draw();
    const Reds faded = reds_in_rows(0, kHeight - 1);
    EXPECT_GT(faded.count, 0);
    EXPECT_LE(faded.brightest, 256 - 200);  // alpha 55 over black
    for (int tick = 0; tick < 56; ++tick) console_fade();
    draw();
    EXPECT_EQ(reds_in_rows(0, kHeight - 1).count, 0);
}

TEST_F(ConsoleDrawTest, NoConsoleSectionDrawsNothingAndSaysSo) {
    write_file("config.cfg", "[shell]\n");
    testing::internal::CaptureStderr();
    console_device_init(renderer());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("error"), std::string::npos);
    EXPECT_EQ(console_font(), nullptr);
    EXPECT_NE(gui_font(), nullptr);
    console_print(kRed, "MMMM");
    draw();
    EXPECT_EQ(reds_in_rows(0, kHeight - 1).count, 0);
}

}  // namespace
