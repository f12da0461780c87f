// The whole game driven through its menus by a script: create a game, play, pause, change a
// binding in the settings dialog, quit; then the saved settings and the screenshots.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "app/game_main.h"
#include "app/gl_game_setup.h"
#include "app/modes.h"
#include "support/temp_folder.h"
#include "world/player_table.h"

namespace {

namespace fs = std::filesystem;

// The test's config.cfg puts menu and settings at (0, 0) (see SetUp); the create dialog
// has its built-in corner (200, 100). Each click lands 2 pixels inside its
// control. The bindings are W forward and J jump; the jump button is at (500, 180).
constexpr char kScript[] =
    "100 mouse click left 6 19\n"     // "create game"
    "200 mouse click left 227 330\n"  // "robot", third row of the element list
    "300 mouse click left 502 562\n"  // "create"
    "400 key down W\n"
    "2500 key down J\n"
    "2520 key up J\n"
    "2700 key up W\n"
    "2800 key down escape\n"
    "2810 key up escape\n"
    "2900 screenshot menu.png\n"
    "3000 mouse click left 6 65\n"  // "settings"
    "3100 screenshot settings.png\n"
    "3200 mouse click left 502 182\n"  // the jump binding's button
    "3300 mouse click left 6 78\n";    // "quit"

// What the child found wrong, as its exit code.
enum ChildResult {
    child_ok = 0,
    child_not_robot = 20,
    child_not_host = 21,
    child_did_not_walk = 22,
    child_not_paused = 23,
    child_still_running = 24,
};

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

std::string read_text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

Surface load_png(const fs::path& path) {
    Surface loaded(IMG_Load(path.c_str()));
    if (!loaded) return nullptr;
    return Surface(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGBA32, 0));
}

uint32_t pixel(const SDL_Surface* s, int x, int y) {
    const auto* p = static_cast<const uint8_t*>(s->pixels) + y * s->pitch + x * 4;
    return static_cast<uint32_t>(p[0]) << 16 | p[1] << 8 | p[2];
}

int brightness(uint32_t rgb) {
    return static_cast<int>((rgb >> 16 & 0xFF) + (rgb >> 8 & 0xFF) + (rgb & 0xFF));
}

// Pixels of the box (x0, y0)-(x1, y1) clearly brighter than the dialog's fill: text.
int bright_pixels(const SDL_Surface* s, int x0, int y0, int x1, int y1, uint32_t fill) {
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) count += brightness(pixel(s, x, y)) > brightness(fill) + 60;
    }
    return count;
}

constexpr uint32_t kWhite = 0xFFFFFF;

// Runs in the child: the real loop, then what the run left in the player table.
int run_child(const std::string& dir) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    RunOptions options;
    options.windowed = true;
    options.data_dir = dir.c_str();
    options.script = "menu.txt";
    auto game = std::make_unique<Game>();
    const int code = run_game(options, *game);
    if (code != kExitOk) return code;
    const PlayerRecord& me = game->table.slots[0];
    if (me.element != 3) return child_not_robot;
    if (!game->session.host) return child_not_host;
    if (me.position.z > -1.0f) return child_did_not_walk;
    if (game->shell.mode != mode_paused) return child_not_paused;
    if (game->shell.running) return child_still_running;
    return child_ok;
}

constexpr char kChildDirVariable[] = "TORVI_MENU_RUN_CHILD_DIR";

// A fresh process image for the game: a child that only forked would inherit the GL
// dispatch state of the tests that ran before it. The re-executed test program finds the
// variable and plays the game before any test starts.
const int child_entry = [] {
    if (const char* dir = std::getenv(kChildDirVariable)) _exit(run_child(dir));
    return 0;
}();

// The shipped dialog positions, moved to (0, 0), where the script's clicks expect them.
void move_dialogs_to_the_corner(const fs::path& config) {
    std::string text = read_text(config);
    for (const char* section : {"[menu_dialog]\n", "[settings_dialog]\n"}) {
        const size_t at = text.find(section);
        if (at == std::string::npos) continue;
        const size_t end = text.find("\n\n", at);
        text.replace(at, end - at, std::string(section) + "posx=0\nposy=0");
    }
    std::ofstream(config, std::ios::binary) << text;
}

class MenuRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.ok());
        fs::copy(fs::path(TORVI_SOURCE_DIR) / "config.cfg", dir_ / "config.cfg");
        move_dialogs_to_the_corner(dir_ / "config.cfg");
        fs::copy(fs::path(TORVI_SOURCE_DIR) / "Data", dir_ / "Data", fs::copy_options::recursive);
        std::ofstream(dir_ / "menu.txt", std::ios::binary) << kScript;
    }

    // The game in a child process, so its window, context and globals stay out of this one.
    int run() {
        const std::string data = dir_.string();
        const pid_t child = fork();
        if (child == 0) {
            setenv(kChildDirVariable, data.c_str(), 1);
            execl("/proc/self/exe", "tests_app", static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
        return WEXITSTATUS(status);
    }

    TempFolder folder_{"torvi_menu_run_"};
    const fs::path dir_ = folder_.path();
};

TEST_F(MenuRunTest, CreatePlayPauseRebindAndQuit) {
    const std::string before = read_text(dir_ / "config.cfg");
    const size_t input_at = before.find("[input]");
    ASSERT_NE(input_at, std::string::npos);
    ASSERT_NE(before.find("jump=9"), std::string::npos) << "the test expects J for jump";

    ASSERT_EQ(run(), child_ok);

    const std::string after = read_text(dir_ / "config.cfg");
    EXPECT_EQ(after.substr(0, input_at), before.substr(0, input_at))
        << "the shell, shaders and console sections must stay as they were";
    EXPECT_NE(after.find("jump=10"), std::string::npos) << after;
    EXPECT_NE(after.find("forward=22"), std::string::npos);
    EXPECT_NE(after.find("[menu_dialog]\nposx=0\nposy=0"), std::string::npos) << after;
    EXPECT_NE(after.find("[settings_dialog]\nposx=0\nposy=0"), std::string::npos) << after;

    Surface menu = load_png(dir_ / "menu.png");
    ASSERT_TRUE(menu) << IMG_GetError();
    // The menu's body (0..200 square) is filled, the backdrop beside it is white.
    const uint32_t fill = pixel(menu.get(), 150, 150);
    EXPECT_NE(fill, kWhite);
    EXPECT_EQ(pixel(menu.get(), 700, 700), kWhite);
    // Text on the rows of "resume game", "disconnect", "editor", "settings" and "quit";
    // none on the empty row between "disconnect" and "editor".
    for (int row_top : {4, 17, 50, 63, 76}) {
        EXPECT_GT(bright_pixels(menu.get(), 4, row_top, 100, row_top + 12, fill), 10) << row_top;
    }
    EXPECT_EQ(bright_pixels(menu.get(), 4, 31, 100, 48, fill), 0);

    Surface settings = load_png(dir_ / "settings.png");
    ASSERT_TRUE(settings) << IMG_GetError();
    // The settings dialog's body reaches (640, 380); the backdrop past it stays white.
    EXPECT_NE(pixel(settings.get(), 600, 350), kWhite);
    EXPECT_EQ(pixel(settings.get(), 700, 450), kWhite);
    const uint32_t settings_fill = pixel(settings.get(), 600, 350);
    // "control" and "other", and the jump label "J" beside its button.
    EXPECT_GT(bright_pixels(settings.get(), 4, 4, 60, 16, settings_fill), 10);
    EXPECT_GT(bright_pixels(settings.get(), 70, 4, 110, 16, settings_fill), 10);
    EXPECT_GT(bright_pixels(settings.get(), 532, 192, 545, 206, settings_fill), 3);
}

}  // namespace
