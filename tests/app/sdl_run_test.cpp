// The real program loop on SDL's offscreen driver: scripted runs in this process with a
// bare data folder, and a run through the menus with the shipped data in a child process.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/game_main.h"
#include "app/gl_game_setup.h"
#include "app/modes.h"
#include "support/temp_folder.h"
#include "world/player_table.h"

namespace {

namespace fs = std::filesystem;

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

// 0xRRGGBB of pixel (x, y).
uint32_t pixel(const SDL_Surface* s, int x, int y) {
    const auto* p = static_cast<const uint8_t*>(s->pixels) + y * s->pitch + x * 4;
    return static_cast<uint32_t>(p[0]) << 16 | p[1] << 8 | p[2];
}

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kDarkGrey = 0x202020;

// Each run happens in a fresh data folder with W/S/A/D and J for jump.
class RunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        ASSERT_TRUE(folder_.ok());
        fs::create_directories(dir_ / "Data" / "maps");
        put("config.cfg",
            "[input]\ntype=tastatur\nforward=22\nbackward=18\nleft=0\nright=3\n"
            "primattack=5\nsecnattack=6\njump=9\n");
    }
    void TearDown() override { fs::current_path(old_dir_); }

    void put(const std::string& name, const std::string& text) {
        std::ofstream(dir_ / name, std::ios::binary) << text;
    }
    // A windowed run playing the script put under that name, if any.
    RunOptions options(const char* script = nullptr, const std::string& text = "") {
        RunOptions o;
        o.windowed = true;
        o.data_dir = dir_text_.c_str();
        if (script != nullptr) {
            put(script, text);
            o.play = true;
            o.script = script;
        }
        return o;
    }
    // Each run on a fresh game, left for the test to look at.
    int run(const RunOptions& o) {
        game_ = std::make_unique<Game>();
        const int code = run_game(o, *game_);
        fs::current_path(old_dir_);  // the run works in its data folder
        return code;
    }

    Game& game() { return *game_; }

    std::unique_ptr<Game> game_;
    const fs::path old_dir_ = fs::current_path();
    TempFolder folder_{"torvi-run-"};
    const fs::path dir_ = folder_.path();
    const std::string dir_text_ = dir_.string();
};

// Walks left and forward, jumps once landed from the start at 20, looks, leaves; then the
// recorded session replays to the same place.
TEST_F(RunTest, ScriptedPlayWalksJumpsTakesAShotAndARecordingReplaysIt) {
    RunOptions o = options("walk.txt",
                           "# walk and jump\n50 key down A\n400 key down W\n"
                           "420 mouse click left 30 40\n900 key up A\n1500 key down J\n"
                           "1520 key up J\n1600 screenshot shot.png\n1700 key up W\n1800 quit\n");
    o.record = "rec.txt";
    ASSERT_EQ(run(o), kExitOk);
    EXPECT_FALSE(game().shell.running);
    EXPECT_TRUE(game().session.host);
    const Vec3 first = game().table.slots[0].position;
    EXPECT_LT(first.z, -1.0f) << "the player should have walked forward (-z)";
    EXPECT_GT(first.x, 0.5f);  // and left, which is +x from the play camera
    EXPECT_GT(first.y, 1.0f) << "the player should be in the air";
    Surface shot = load_png(dir_ / "shot.png");
    ASSERT_TRUE(shot) << IMG_GetError();
    EXPECT_EQ(shot->w, 1024);
    EXPECT_EQ(shot->h, 768);
    EXPECT_EQ(pixel(shot.get(), 0, 0), 0x002900u);  // the map, light grass, all around
    EXPECT_EQ(pixel(shot.get(), 1023, 767), 0x002900u);

    const std::string recorded = read_text(dir_ / "rec.txt");
    EXPECT_NE(recorded.find("420 mouse down left 30 40\n"), std::string::npos) << recorded;
    EXPECT_NE(recorded.find("1800 quit\n"), std::string::npos) << recorded;
    o.script = "rec.txt";
    o.record = nullptr;
    ASSERT_EQ(run(o), kExitOk);
    EXPECT_FLOAT_EQ(game().table.slots[0].position.x, first.x);
    EXPECT_FLOAT_EQ(game().table.slots[0].position.z, first.z);
}

TEST_F(RunTest, AScriptedGamepadSessionWalksJumpsAndReplaysFromItsRecord) {
    put("config.cfg",
        "[input]\ntype=gamepad\nforward=0\nbackward=0\nleft=0\nright=0\n"
        "primattack=5\nsecnattack=6\njump=2\n");
    RunOptions o = options("pad.txt",
                           "0 gamepad attach\n100 gamepad axis y -100\n400 gamepad axis x -60\n"
                           "1500 gamepad button 2 down\n1520 gamepad button 2 up\n"
                           "1560 gamepad axis y 0\n1600 gamepad axis x 0\n1700 quit\n");
    o.record = "rec.txt";
    ASSERT_EQ(run(o), kExitOk);
    const Vec3 first = game().table.slots[0].position;
    EXPECT_LT(first.z, -1.0f);  // the stick's -y walks forward
    EXPECT_GT(first.x, 0.5f);   // and -x to the left, +x from the play camera
    EXPECT_GT(first.y, 0.5f);   // button 2 is bound to jump: still in the air
    const std::string recorded = read_text(dir_ / "rec.txt");
    EXPECT_NE(recorded.find("100 gamepad axis y -100\n"), std::string::npos) << recorded;
    EXPECT_NE(recorded.find("1500 gamepad button 2 down\n"), std::string::npos) << recorded;

    o.script = "rec.txt";
    o.record = nullptr;
    ASSERT_EQ(run(o), kExitOk);
    EXPECT_FLOAT_EQ(game().table.slots[0].position.x, first.x);
    EXPECT_FLOAT_EQ(game().table.slots[0].position.y, first.y);
    EXPECT_FLOAT_EQ(game().table.slots[0].position.z, first.z);
}

TEST_F(RunTest, FramesAndScreenshotWriteTheLastFrameThenQuitAndTheStartUpMapIsRewritten) {
    put("Data/maps/test123.map", "not a map");
    RunOptions o = options();
    o.screenshot = "frames.png";
    o.frames = 3;
    ASSERT_EQ(run(o), kExitOk);
    Surface shot = load_png(dir_ / "frames.png");
    ASSERT_TRUE(shot);
    EXPECT_EQ(pixel(shot.get(), 10, 10), kWhite);  // the menu's backdrop
    MapGrid expected{};
    fill_startup_map(expected);
    const std::string map = read_text(dir_ / "Data/maps/test123.map");
    ASSERT_EQ(map.size(), kMapFileSize);
    EXPECT_EQ(std::memcmp(map.data(), &expected, kMapFileSize), 0);
}

TEST_F(RunTest, BadInputOrNoDisplayEndsWithAMessageInsteadOfRunning) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(run(options("bad.txt", "100 key down W\nfly away\n")), kExitBadInput);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("bad.txt:2:"), std::string::npos);
    RunOptions o = options();
    o.data_dir = "/nonexistent/torvi";
    EXPECT_EQ(run(o), kExitBadInput);
    o = options();
    o.frames = 1;
    o.record = "no/such/folder/rec.txt";
    EXPECT_EQ(run(o), kExitBadInput);

    const char* saved_display = std::getenv("DISPLAY");
    const std::string display = saved_display ? saved_display : "";
    unsetenv("SDL_VIDEODRIVER");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    o.record = nullptr;
    testing::internal::CaptureStderr();
    EXPECT_EQ(run(o), kExitNoDisplay);
    const std::string err = testing::internal::GetCapturedStderr();
    if (saved_display) setenv("DISPLAY", display.c_str(), 1);
    EXPECT_NE(err.find("no display"), std::string::npos) << err;
}

TEST(CommandLine, OptionsAndTheirMistakes) {
    auto parse = [](std::vector<const char*> args, RunOptions& o) {
        args.insert(args.begin(), "torvi");
        return parse_command_line(static_cast<int>(args.size()), const_cast<char**>(args.data()),
                                  o);
    };
    RunOptions o;
    ASSERT_EQ(parse({"--windowed", "--play", "--data", "d", "--script", "s.txt", "--record",
                     "r.txt", "--frames", "12", "--screenshot", "out.png"},
                    o),
              command_line_run);
    EXPECT_TRUE(o.windowed && o.play);
    EXPECT_STREQ(o.data_dir, "d");
    EXPECT_EQ(o.frames, 12);
    EXPECT_TRUE(uses_virtual_clock(o));
    testing::internal::CaptureStderr();
    for (const char* bad : {"--frames", "--bogus", "--frames=3"}) {
        RunOptions r;
        EXPECT_EQ(parse({bad}, r), command_line_bad) << bad;
    }
    for (const char* count : {"0", "-4", "12x", "99999999999"}) {
        RunOptions r;
        EXPECT_EQ(parse({"--frames", count}, r), command_line_bad) << count;
    }
    testing::internal::GetCapturedStderr();
    RunOptions r;
    ASSERT_EQ(parse({"--screenshot", "a.png"}, r), command_line_run);
    EXPECT_EQ(r.frames, 1);
}

// The whole game driven through its menus with the shipped data: create a game as robot,
// play, pause, change a binding in the settings dialog, quit. The test's config.cfg puts
// menu and settings at (0, 0); the create dialog has its built-in corner (200, 100). Each
// click lands 2 pixels inside its control; the jump button is at (500, 180).
constexpr char kMenuScript[] =
    "100 mouse click left 6 19\n"     // "create game"
    "200 mouse click left 227 330\n"  // "robot", third row of the element list
    "300 mouse click left 502 562\n"  // "create"
    "400 key down W\n2000 screenshot play.png\n2500 key down J\n2520 key up J\n"
    "2700 key up W\n2800 key down escape\n2810 key up escape\n2900 screenshot menu.png\n"
    "3000 mouse click left 6 65\n"  // "settings"
    "3100 screenshot settings.png\n"
    "3200 mouse click left 502 182\n"  // the jump binding's button
    "3300 mouse click left 6 78\n";    // "quit"

constexpr char kChildDirVariable[] = "TORVI_MENU_RUN_CHILD_DIR";

// Runs in the child: the real loop, then what the run left. The exit code is 20 + the
// first check that failed: robot, host, walked, paused, stopped.
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
    const bool checks[] = {me.element == 3, game->session.host, me.position.z < -1.0f,
                           game->shell.mode == mode_paused, !game->shell.running};
    for (int k = 0; k < 5; ++k) {
        if (!checks[k]) return 20 + k;
    }
    return 0;
}

// A fresh process image for the game: a child that only forked would inherit the GL
// dispatch state of the tests that ran before it. The re-executed test program finds the
// variable and plays the game before any test starts.
const int child_entry = [] {
    if (const char* dir = std::getenv(kChildDirVariable)) _exit(run_child(dir));
    return 0;
}();

// Text pixels: those of the box (x0, y0)-(x1, y1) clearly brighter than the dialog's fill.
int bright_pixels(const SDL_Surface* s, int x0, int y0, int x1, int y1, uint32_t fill) {
    auto brightness = [](uint32_t rgb) { return (rgb >> 16) + (rgb >> 8 & 0xFF) + (rgb & 0xFF); };
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) count += brightness(pixel(s, x, y)) > brightness(fill) + 60;
    }
    return count;
}

TEST(MenuRun, CreatePlayPauseRebindAndQuit) {
    const TempFolder folder("torvi_menu_run_");
    ASSERT_TRUE(folder.ok());
    const fs::path dir = folder.path();
    fs::copy(fs::path(TORVI_SOURCE_DIR) / "Data", dir / "Data", fs::copy_options::recursive);
    // The shipped config with the menu and settings dialogs moved to (0, 0).
    std::string before = read_text(fs::path(TORVI_SOURCE_DIR) / "config.cfg");
    for (const char* section : {"[menu_dialog]\n", "[settings_dialog]\n"}) {
        const size_t at = before.find(section);
        ASSERT_NE(at, std::string::npos) << section;
        before.replace(at, before.find("\n\n", at) - at, std::string(section) + "posx=0\nposy=0");
    }
    std::ofstream(dir / "config.cfg", std::ios::binary) << before;
    std::ofstream(dir / "menu.txt", std::ios::binary) << kMenuScript;
    const size_t input_at = before.find("[input]");
    ASSERT_NE(input_at, std::string::npos);
    ASSERT_NE(before.find("jump=9"), std::string::npos) << "the test expects J for jump";

    const std::string data = dir.string();
    const pid_t child = fork();
    if (child == 0) {
        setenv(kChildDirVariable, data.c_str(), 1);
        execl("/proc/self/exe", "tests_app", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    ASSERT_GT(child, 0);
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);

    const std::string after = read_text(dir / "config.cfg");
    EXPECT_EQ(after.substr(0, input_at), before.substr(0, input_at))
        << "the shell, shaders and console sections must stay as they were";
    EXPECT_NE(after.find("jump=10"), std::string::npos) << after;
    EXPECT_NE(after.find("forward=22"), std::string::npos);
    EXPECT_NE(after.find("[menu_dialog]\nposx=0\nposy=0"), std::string::npos) << after;
    EXPECT_NE(after.find("[settings_dialog]\nposx=0\nposy=0"), std::string::npos) << after;

    // Play: the dark grey clear beside the map and the light grass on it.
    Surface play = load_png(dir / "play.png");
    ASSERT_TRUE(play) << IMG_GetError();
    int grey = 0, grass = 0;
    for (int y = 0; y < play->h; ++y) {
        for (int x = 0; x < play->w; ++x) {
            grey += pixel(play.get(), x, y) == kDarkGrey;
            grass += pixel(play.get(), x, y) == 0x002900;
        }
    }
    EXPECT_GT(grey, play->w * play->h / 20);
    EXPECT_GT(grass, play->w * play->h / 20);

    Surface menu = load_png(dir / "menu.png");
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

    Surface settings = load_png(dir / "settings.png");
    ASSERT_TRUE(settings) << IMG_GetError();
    // The settings dialog's body reaches (640, 380); the backdrop past it stays white.
    const uint32_t settings_fill = pixel(settings.get(), 600, 350);
    EXPECT_NE(settings_fill, kWhite);
    EXPECT_EQ(pixel(settings.get(), 700, 450), kWhite);
    // "control" and "other", and the jump label "J" beside its button.
    EXPECT_GT(bright_pixels(settings.get(), 4, 4, 60, 16, settings_fill), 10);
    EXPECT_GT(bright_pixels(settings.get(), 70, 4, 110, 16, settings_fill), 10);
    EXPECT_GT(bright_pixels(settings.get(), 532, 192, 545, 206, settings_fill), 3);
}

}  // namespace
