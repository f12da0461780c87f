// The real program loop, run in-process on SDL's offscreen driver.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "app/game_main.h"
#include "app/modes.h"
#include "support/temp_folder.h"
#include "world/player_table.h"

namespace {

namespace fs = std::filesystem;

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// Each run happens in a fresh data folder with W/S/A/D and J for jump.
class RunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        old_dir_ = fs::current_path();
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
    std::string read(const std::string& name) {
        std::ifstream in(dir_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    RunOptions options() {
        RunOptions o;
        o.windowed = true;
        o.data_dir = dir_data_.assign(dir_.string()).c_str();
        return o;
    }
    // Each run on a fresh game, left for the test to look at.
    int run(const RunOptions& o) {
        game_ = std::make_unique<Game>();
        const int code = run_game(o, *game_);
        fs::current_path(old_dir_);
        return code;
    }
    Surface load_png(const std::string& name) {
        Surface loaded(IMG_Load((dir_ / name).c_str()));
        if (!loaded) return nullptr;
        return Surface(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGBA32, 0));
    }
    static uint32_t pixel(SDL_Surface* s, int x, int y) {
        const auto* p = static_cast<const uint8_t*>(s->pixels) + y * s->pitch + x * 4;
        return static_cast<uint32_t>(p[0]) << 16 | p[1] << 8 | p[2];
    }

    Game& game() { return *game_; }

    std::unique_ptr<Game> game_;
    fs::path old_dir_;
    TempFolder folder_{"torvi-run-"};
    const fs::path dir_ = folder_.path();
    std::string dir_data_;
};

TEST_F(RunTest, ScriptedPlayWalksJumpsTakesAShotAndQuits) {
    put("walk.txt",
        "# hold forward, jump once it has landed, look, leave\n"
        "100 key down W\n"
        "1500 key down J\n"
        "1520 key up J\n"
        "1600 screenshot shot.png\n"
        "1700 key up W\n"
        "1800 quit\n");
    RunOptions o = options();
    o.play = true;
    o.script = "walk.txt";
    ASSERT_EQ(run(o), kExitOk);
    EXPECT_FALSE(game().shell.running);
    const PlayerRecord& me = game().table.slots[0];
    EXPECT_TRUE(game().session.host);
    EXPECT_LT(me.position.z, -1.0f) << "the player should have walked forward (-z)";
    Surface shot = load_png("shot.png");
    ASSERT_TRUE(shot) << IMG_GetError();
    EXPECT_EQ(shot->w, 1024);
    EXPECT_EQ(shot->h, 768);
    EXPECT_EQ(pixel(shot.get(), 0, 0), 0x002900u);       // light grass ahead
    EXPECT_EQ(pixel(shot.get(), 1023, 767), 0x202020u);  // off the map behind
}

TEST_F(RunTest, JumpLiftsTheLandedPlayer) {
    // Falls from 20 and lands well before 3 s; then one jump.
    put("jump.txt", "3000 key down J\n3100 quit\n");
    RunOptions o = options();
    o.play = true;
    o.script = "jump.txt";
    ASSERT_EQ(run(o), kExitOk);
    EXPECT_GT(game().table.slots[0].position.y, 1.0f);
}

TEST_F(RunTest, EscapeInPlayShowsTheMenuAndTheFrameTurnsWhite) {
    put("pause.txt", "200 key down escape\n210 key up escape\n300 screenshot menu.png\n400 quit\n");
    RunOptions o = options();
    o.play = true;
    o.script = "pause.txt";
    ASSERT_EQ(run(o), kExitOk);
    EXPECT_EQ(game().shell.mode, mode_paused);
    Surface shot = load_png("menu.png");
    ASSERT_TRUE(shot);
    EXPECT_EQ(pixel(shot.get(), 512, 384), 0xFFFFFFu);
}

TEST_F(RunTest, FramesAndScreenshotWriteTheLastFrameThenQuit) {
    put(fs::path("Data/maps/test123.map").string(), "not a map");
    RunOptions o = options();
    o.screenshot = "frames.png";
    o.frames = 3;
    ASSERT_EQ(run(o), kExitOk);
    Surface shot = load_png("frames.png");
    ASSERT_TRUE(shot);
    EXPECT_EQ(pixel(shot.get(), 10, 10), 0xFFFFFFu);  // the menu's backdrop
    // Every start rewrites the start-up map, whatever the file held.
    MapGrid expected{};
    fill_startup_map(expected);
    const std::string map = read("Data/maps/test123.map");
    ASSERT_EQ(map.size(), kMapFileSize);
    EXPECT_EQ(std::memcmp(map.data(), &expected, kMapFileSize), 0);
}

TEST_F(RunTest, ARecordedSessionReplaysToTheSamePlace) {
    put("walk.txt",
        "50 key down A\n400 key down W\n420 mouse click left 30 40\n900 key up A\n1000 quit\n");
    RunOptions o = options();
    o.play = true;
    o.script = "walk.txt";
    o.record = "rec.txt";
    ASSERT_EQ(run(o), kExitOk);
    const Vec3 first = game().table.slots[0].position;
    const std::string recorded = read("rec.txt");
    EXPECT_NE(recorded.find("420 mouse down left 30 40\n"), std::string::npos) << recorded;
    EXPECT_NE(recorded.find("1000 quit\n"), std::string::npos) << recorded;

    o.script = "rec.txt";
    o.record = nullptr;
    ASSERT_EQ(run(o), kExitOk);
    const Vec3 second = game().table.slots[0].position;
    EXPECT_FLOAT_EQ(first.x, second.x);
    EXPECT_FLOAT_EQ(first.z, second.z);
    EXPECT_GT(first.x, 0.5f);  // walked left, which is +x from the play camera
}

TEST_F(RunTest, AScriptedGamepadSessionWalksJumpsAndReplaysFromItsRecord) {
    put("config.cfg",
        "[input]\ntype=gamepad\nforward=0\nbackward=0\nleft=0\nright=0\n"
        "primattack=5\nsecnattack=6\njump=2\n");
    put("pad.txt",
        "0 gamepad attach\n100 gamepad axis y -100\n400 gamepad axis x -60\n"
        "1500 gamepad button 2 down\n1520 gamepad button 2 up\n1560 gamepad axis y 0\n"
        "1600 gamepad axis x 0\n1700 quit\n");
    RunOptions o = options();
    o.play = true;
    o.script = "pad.txt";
    o.record = "rec.txt";
    ASSERT_EQ(run(o), kExitOk);
    const PlayerRecord first = game().table.slots[0];
    EXPECT_LT(first.position.z, -1.0f);  // the stick's -y walks forward
    EXPECT_GT(first.position.x, 0.5f);   // and -x to the left, +x from the play camera
    EXPECT_GT(first.position.y, 0.5f);   // button 2 is bound to jump: still in the air
    const std::string recorded = read("rec.txt");
    EXPECT_NE(recorded.find("100 gamepad axis y -100\n"), std::string::npos) << recorded;
    EXPECT_NE(recorded.find("1500 gamepad button 2 down\n"), std::string::npos) << recorded;

    o.script = "rec.txt";
    o.record = nullptr;
    ASSERT_EQ(run(o), kExitOk);
    const Vec3 second = game().table.slots[0].position;
    EXPECT_FLOAT_EQ(first.position.x, second.x);
    EXPECT_FLOAT_EQ(first.position.y, second.y);
    EXPECT_FLOAT_EQ(first.position.z, second.z);
}

TEST_F(RunTest, PlayFrameWithTheShippedDataShowsTheDarkGreyClearAndGreenTerrain) {
    fs::copy(fs::path(TORVI_SOURCE_DIR) / "config.cfg", dir_ / "config.cfg",
             fs::copy_options::overwrite_existing);
    fs::copy(fs::path(TORVI_SOURCE_DIR) / "Data", dir_ / "Data",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    RunOptions o = options();
    o.play = true;
    o.frames = 5;
    o.screenshot = "play.png";
    ASSERT_EQ(run(o), kExitOk);
    const Surface image = load_png("play.png");
    ASSERT_NE(image, nullptr);
    int grey = 0, green = 0;
    for (int y = 0; y < image->h; ++y) {
        for (int x = 0; x < image->w; ++x) {
            grey += pixel(image.get(), x, y) == 0x202020;
            green += pixel(image.get(), x, y) == 0x002900;  // light grass
        }
    }
    const int total = image->w * image->h;
    EXPECT_GT(grey, total / 20);
    EXPECT_GT(green, total / 20);
}

TEST_F(RunTest, BadInputEndsWithAMessageInsteadOfRunning) {
    put("bad.txt", "100 key down W\nfly away\n");
    RunOptions o = options();
    o.script = "bad.txt";
    testing::internal::CaptureStderr();
    EXPECT_EQ(run(o), kExitBadInput);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("bad.txt:2:"), std::string::npos);
    o = options();
    o.data_dir = "/nonexistent/torvi";
    EXPECT_EQ(run(o), kExitBadInput);
    o = options();
    o.frames = 1;
    o.record = "no/such/folder/rec.txt";
    EXPECT_EQ(run(o), kExitBadInput);
}

TEST_F(RunTest, WithoutAnyDisplayItSaysSoAndFails) {
    const char* saved_display = std::getenv("DISPLAY");
    const std::string display = saved_display ? saved_display : "";
    unsetenv("SDL_VIDEODRIVER");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    RunOptions o = options();
    o.frames = 1;
    testing::internal::CaptureStderr();
    const int code = run(o);
    const std::string err = testing::internal::GetCapturedStderr();
    if (saved_display) setenv("DISPLAY", display.c_str(), 1);
    EXPECT_EQ(code, kExitNoDisplay);
    EXPECT_NE(err.find("no display"), std::string::npos) << err;
}

TEST_F(RunTest, CommandLineOptions) {
    const char* argv[] = {"torvi",    "--windowed",   "--play",   "--data", "d",
                          "--script", "s.txt",        "--record", "r.txt",  "--frames",
                          "12",       "--screenshot", "out.png"};
    RunOptions o;
    ASSERT_EQ(parse_command_line(13, const_cast<char**>(argv), o), CommandLine::run);
    EXPECT_TRUE(o.windowed && o.play);
    EXPECT_STREQ(o.data_dir, "d");
    EXPECT_EQ(o.frames, 12);
    EXPECT_TRUE(uses_virtual_clock(o));
    testing::internal::CaptureStderr();
    for (const char* bad : {"--frames", "--bogus", "--frames=3"}) {
        const char* args[] = {"torvi", bad};
        RunOptions r;
        EXPECT_EQ(parse_command_line(2, const_cast<char**>(args), r), CommandLine::bad) << bad;
    }
    for (const char* count : {"0", "-4", "12x", "99999999999"}) {
        const char* args[] = {"torvi", "--frames", count};
        RunOptions r;
        EXPECT_EQ(parse_command_line(3, const_cast<char**>(args), r), CommandLine::bad) << count;
    }
    testing::internal::GetCapturedStderr();
    const char* shot_only[] = {"torvi", "--screenshot", "a.png"};
    RunOptions r;
    ASSERT_EQ(parse_command_line(3, const_cast<char**>(shot_only), r), CommandLine::run);
    EXPECT_EQ(r.frames, 1);
}

}  // namespace
