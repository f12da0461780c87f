// The real program loop on SDL's offscreen driver, in this process: scripted runs, damaged
// data folders, and a run through the menus, each in a copy of the shipped data.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/game_main.h"
#include "app/modes.h"
#include "skeleton/key_pose.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

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

// Each run in a fresh data folder, on a fresh game left for the test to look at.
class RunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        ASSERT_TRUE(folder_.ok());
        options_.windowed = true;
        options_.data_dir = dir_text_.c_str();
    }
    void put(const std::string& name, const std::string& text) { write_text(dir_ / name, text); }
    static std::string shipped_config() {
        return read_text(fs::path(TORVI_SOURCE_DIR) / "config.cfg");
    }
    void copy_shipped_data() {
        fs::copy(fs::path(TORVI_SOURCE_DIR) / "Data", dir_ / "Data", fs::copy_options::recursive);
        put("config.cfg", shipped_config());
    }
    // The shipped config.cfg with [hud] labels set to value.
    static std::string config_with_labels(const std::string& value) {
        std::string config = shipped_config();
        const size_t at = config.find("labels=full");
        return at == std::string::npos ? "" : config.replace(at, 11, "labels=" + value);
    }
    // The shipped config.cfg with its [input] section, the last, replaced.
    void put_input(const std::string& input) {
        const std::string config = shipped_config();
        put("config.cfg", config.substr(0, config.find("[input]")) + input);
    }
    // Runs with stderr captured into said_.
    int run_said() {
        testing::internal::CaptureStderr();
        const int code = run();
        said_ = testing::internal::GetCapturedStderr();
        return code;
    }
    int lines_said(const std::string& part) const {
        int count = 0;
        for (size_t at = said_.find(part); at != std::string::npos; at = said_.find(part, at + 1))
            ++count;
        return count;
    }
    int run(FrameWatcher* watcher = nullptr) {
        game_ = std::make_unique<Game>();
        const int code = run_game(options_, *game_, watcher);
        fs::current_path(old_dir_);  // the run works in its data folder
        return code;
    }
    Vec3 position() const { return game_->table.slots[0].position; }

    RunOptions options_;
    std::unique_ptr<Game> game_;
    const fs::path old_dir_ = fs::current_path();
    TempFolder folder_{"torvi-run-"};
    const fs::path dir_ = folder_.path();
    const std::string dir_text_ = dir_.string();
    std::string said_;
};

// A scripted gamepad session walks and jumps, and its record holds the pad's events (that
// a record replays exactly is the replay tests' part).
TEST_F(RunTest, AScriptedGamepadSessionWalksJumpsAndIsRecorded) {
    copy_shipped_data();
    put_input(
        "[input]\ntype=gamepad\nforward=0\nbackward=0\nleft=0\nright=0\n"
        "primattack=5\nsecnattack=6\njump=2\n");
    put("pad.txt",
        "0 gamepad attach\n100 gamepad axis y -100\n400 gamepad axis x -60\n"
        "1500 gamepad button 2 down\n1520 gamepad button 2 up\n"
        "1560 gamepad axis y 0\n1600 gamepad axis x 0\n1700 quit\n");
    options_.play = true;
    options_.script = "pad.txt";
    options_.record = "rec.txt";
    ASSERT_EQ(run(), kExitOk);
    const Vec3 first = position();
    EXPECT_LT(first.z, -1.0f);  // the stick's -y walks forward
    EXPECT_GT(first.x, 0.5f);   // and -x to the left, +x from the play camera
    EXPECT_GT(first.y, 0.5f);   // button 2 is bound to jump: still in the air
    const std::string recorded = read_text(dir_ / "rec.txt");
    for (const char* line :
         {"100 gamepad axis y -100\n", "1500 gamepad button 2 down\n", "1700 quit\n"}) {
        EXPECT_NE(recorded.find(line), std::string::npos) << line << " not in\n" << recorded;
    }
}

// Pushes a virtual controller's stick forward at the second frame.
struct StickForward : FrameWatcher {
    explicit StickForward(SDL_Joystick* stick) : stick(stick) {}
    void before_frame(Game&) override {
        if (++frames == 2) SDL_JoystickSetVirtualAxis(stick, 1, SDL_JOYSTICK_AXIS_MIN);
    }
    void after_frame(Game&) override {}
    SDL_Joystick* stick;
    int frames = 0;
};

// From SDL's joystick through the real loop to a walking player, in a window that never
// has the keyboard focus (the offscreen driver gives none).
TEST_F(RunTest, AControllerWalksThePlayerWithoutKeyboardFocus) {
    copy_shipped_data();
    put_input(
        "[input]\ntype=gamepad\nforward=0\nbackward=0\nleft=0\nright=0\n"
        "primattack=5\nsecnattack=6\njump=2\n");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 4, 8, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    StickForward watcher(SDL_JoystickOpen(index));  // closed by the run's SDL_Quit
    ASSERT_NE(watcher.stick, nullptr) << SDL_GetError();
    options_.play = true;
    options_.frames = 40;
    ASSERT_EQ(run(&watcher), kExitOk);
    EXPECT_LT(position().z, -1.0f);
}

#if defined(__has_feature)
constexpr bool kAddressSanitizer = __has_feature(address_sanitizer);
#elif defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif

// Resident memory in bytes, from /proc.
long resident_bytes() {
    long pages = 0, resident = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm && std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    if (statm) std::fclose(statm);
    return resident * sysconf(_SC_PAGESIZE);
}

struct MemoryWatch : FrameWatcher {
    void before_frame(Game&) override {}
    void after_frame(Game&) override {
        if (++frames == 200) early = resident_bytes();  // the driver's caches are warm
        late = resident_bytes();
    }
    int frames = 0;
    long early = 0, late = 0;
};

// Frames drawn headless leave nothing behind them in the driver: memory stays flat.
TEST_F(RunTest, HeadlessFramesKeepMemoryFlat) {
    if (kAddressSanitizer) GTEST_SKIP() << "the sanitizer's quarantine grows memory by itself";
    copy_shipped_data();
    options_.play = true;  // every frame of play is drawn
    options_.frames = 400;
    MemoryWatch watch;
    ASSERT_EQ(run(&watch), kExitOk);
    EXPECT_LT(watch.late - watch.early, 40l << 20) << watch.early << " -> " << watch.late;
}

TEST_F(RunTest, BadInputOrNoDisplayEndsWithAMessageInsteadOfRunning) {
    copy_shipped_data();
    put("bad.txt", "100 key down W\nfly away\n");
    options_.script = "bad.txt";
    testing::internal::CaptureStderr();
    EXPECT_EQ(run(), kExitBadInput);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("bad.txt:2:"), std::string::npos);
    options_.script = nullptr;
    options_.frames = 1;
    options_.record = "no/such/folder/rec.txt";
    EXPECT_EQ(run(), kExitBadInput);
    options_.script = "quit.txt";
    put("quit.txt", "0 key down W\n500 quit\n");
    options_.record = "/dev/full";  // every write fails
    EXPECT_EQ(run(), kExitBadInput);
    ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
    options_.record = "fifo";  // nobody reads it: refused at once instead of waiting
    EXPECT_EQ(run(), kExitBadInput);
    options_.script = nullptr;
    options_.record = nullptr;
    options_.screenshot = "no/such/folder/shot.png";  // a picture asked for and not written
    EXPECT_EQ(run(), kExitBadInput);
    options_.screenshot = nullptr;
    options_.data_dir = "/nonexistent/torvi";
    EXPECT_EQ(run(), kExitBadInput);

    options_.data_dir = dir_text_.c_str();
    const char* saved_display = std::getenv("DISPLAY");
    const std::string display = saved_display ? saved_display : "";
    unsetenv("SDL_VIDEODRIVER");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    testing::internal::CaptureStderr();
    EXPECT_EQ(run(), kExitNoDisplay);
    const std::string err = testing::internal::GetCapturedStderr();
    if (saved_display) setenv("DISPLAY", display.c_str(), 1);
    EXPECT_NE(err.find("no display"), std::string::npos) << err;
}

// Without its data the game stops before opening a window, with one line; without
// config.cfg it starts as shipped, and says so.
TEST_F(RunTest, AFolderWithoutDataStopsWithOneLineAndOneWithoutConfigStartsAsShipped) {
    options_.frames = 1;
    EXPECT_EQ(run_said(), kExitBadInput);
    EXPECT_EQ(lines_said("\n"), 1) << said_;
    EXPECT_EQ(lines_said(dir_text_), 1) << said_;
    EXPECT_EQ(lines_said("--data"), 1) << said_;

    copy_shipped_data();
    fs::remove(dir_ / "config.cfg");
    EXPECT_EQ(run_said(), kExitOk);
    EXPECT_EQ(lines_said("built-in settings"), 1) << said_;
    EXPECT_EQ(game_->dialogs.menu.x, 80);
    EXPECT_EQ(game_->dialogs.menu.y, 100);
    EXPECT_EQ(game_->input.controls.entries[control_forward], 'W' - 'A');
}

// Damaged data: every line the game says is marked as its own and each fault is said once,
// and only what is true is said.
TEST_F(RunTest, DamagedDataIsReportedOnceALineAndTruly) {
    copy_shipped_data();
    fs::remove(dir_ / "Data" / "models" / "box.x");
    fs::remove_all(dir_ / "Data" / "maps");
    put("Data/textures.cfg",
        "[main]\ntexturecount=1\n[texture1]\nID=shell\ntexturename=Data/shell/main.cur\n");
    options_.frames = 1;
    EXPECT_EQ(run_said(), kExitOk);
    size_t start = 0;
    for (size_t end; (end = said_.find('\n', start)) != std::string::npos; start = end + 1) {
        EXPECT_EQ(said_.compare(start, 7, "torvi: "), 0) << said_.substr(start, end - start);
    }
    EXPECT_EQ(lines_said("test123.map"), 1) << said_;
    EXPECT_EQ(lines_said("no texture \"health\" for Data/models/health.x; drawn plain white"), 1);
    EXPECT_EQ(lines_said("no texture \"box\""), 0) << "the box model is missing: " << said_;
}

TEST(CommandLine, OptionsAndTheirMistakes) {
    RunOptions o;
    auto parse = [&o](std::vector<const char*> args) {
        args.insert(args.begin(), "torvi");
        o = RunOptions{};
        return parse_command_line(static_cast<int>(args.size()), const_cast<char**>(args.data()),
                                  o);
    };
    ASSERT_EQ(parse({"--windowed", "--play", "--data", "d", "--script", "s.txt", "--record",
                     "r.txt", "--frames", "12"}),
              command_line_run);
    EXPECT_TRUE(o.windowed && o.play && uses_virtual_clock(o) && o.frames == 12 &&
                *o.data_dir == 'd');
    EXPECT_TRUE(parse({"--screenshot", "a.png"}) == command_line_run && o.frames == 1);
    testing::internal::CaptureStderr();
    for (const char* bad : {"--frames", "--bogus", "--frames=3"})
        EXPECT_EQ(parse({bad}), command_line_bad);
    for (const char* count : {"0", "-4", "12x", "99999999999"})
        EXPECT_EQ(parse({"--frames", count}), command_line_bad) << count;
    EXPECT_TRUE(parse({"--dedicated"}) == command_line_run && o.dedicated && unattended(o));
    EXPECT_TRUE(parse({"--windowed", "--host"}) == command_line_run && !unattended(o));
    for (std::vector<const char*> other :
         {std::vector<const char*>{"--play"}, {"--host"}, {"--join", "h"}, {"--replay", "r.txt"}}) {
        other.push_back("--dedicated");
        EXPECT_EQ(parse(other), command_line_bad) << other[0] << " starts a game too";
    }
    testing::internal::GetCapturedStderr();
}

// Drawing in software is a console and stderr line at every start; the box only once for a
// user, kept in config.cfg, and never for a run nobody watches.
TEST_F(RunTest, TheSoftwareRenderingBoxShowsOnceAndNeverUnattended) {
    put("config.cfg", "[shell]\ntexturecfg=Data/textures.cfg\n");
    const WorkingFolder inside(dir_);
    auto game = std::make_unique<Game>();
    load_settings(game->settings);
    console_lines_init(game->console, 4);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(warn_software_rendering(*game, true));
    EXPECT_TRUE(warn_software_rendering(*game, false));
    load_settings(game->settings);  // as the next start reads it
    EXPECT_FALSE(warn_software_rendering(*game, false));
    said_ = testing::internal::GetCapturedStderr();
    EXPECT_EQ(lines_said("torvi: Kein HAL-Device - das wird langsam!\n"), 3) << said_;
    const int newest = console_line_count(game->console) - 1;
    EXPECT_STREQ(console_line(game->console, newest)->text, "Kein HAL-Device - das wird langsam!");
    EXPECT_EQ(read_text("config.cfg"),
              "[shell]\ntexturecfg=Data/textures.cfg\nhal_warning_shown=1\n");
}

// The whole game driven through its menus with the shipped data: create a game as robot,
// play, pause, change a binding in the settings dialog, quit. The test's config.cfg puts
// menu and settings at (0, 11), as high as a title bar can be; the create dialog has its
// built-in corner (200, 100). Each click lands 2 pixels inside its control; the jump
// button is at (500, 180) in its dialog.
constexpr int kTop = 11;
constexpr char kMenuScript[] =
    "100 mouse click left 6 30\n"     // "create game"
    "200 mouse click left 227 330\n"  // "robot", third row of the element list
    "300 mouse click left 502 562\n"  // "create"
    "400 key down W\n2000 screenshot play.png\n2500 key down J\n2520 key up J\n"
    "2700 key up W\n2800 key down escape\n2810 key up escape\n2900 screenshot menu.png\n"
    "3000 mouse click left 6 76\n"  // "settings"
    "3100 screenshot settings.png\n"
    "3200 mouse click left 502 193\n"  // the jump binding's button
    "3300 mouse click left 6 89\n";    // "quit"

// Text pixels: those of the box (x0, y0)-(x1, y1) clearly brighter than the dialog's fill.
int bright_pixels(const SDL_Surface* s, int x0, int y0, int x1, int y1, uint32_t fill) {
    auto brightness = [](uint32_t rgb) { return (rgb >> 16) + (rgb >> 8 & 0xFF) + (rgb & 0xFF); };
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) count += brightness(pixel(s, x, y)) > brightness(fill) + 60;
    }
    return count;
}

TEST_F(RunTest, TheMenuRunCreatesPlaysPausesRebindsAndQuits) {
    const fs::path& dir = dir_;
    copy_shipped_data();
    // The shipped config with the menu and settings dialogs moved to (0, 11).
    std::string before = shipped_config();
    for (const char* section : {"[menu_dialog]\n", "[settings_dialog]\n"}) {
        const size_t at = before.find(section);
        ASSERT_NE(at, std::string::npos) << section;
        before.replace(at, before.find("\n\n", at) - at, std::string(section) + "posx=0\nposy=11");
    }
    before += "\n[net]\nport=0\n";  // "create" hosts on any free port
    put("config.cfg", before);
    put("menu.txt", kMenuScript);
    const size_t input_at = before.find("[input]");
    ASSERT_NE(input_at, std::string::npos);
    ASSERT_NE(before.find("jump=9"), std::string::npos) << "the test expects J for jump";

    options_.script = "menu.txt";
    ASSERT_EQ(run(), kExitOk);
    const PlayerRecord& me = game_->table.slots[0];
    EXPECT_EQ(me.element, 3);  // robot
    EXPECT_TRUE(game_->session.host);
    EXPECT_LT(me.position.z, -1.0f);  // walked
    EXPECT_EQ(game_->shell.mode, mode_paused);
    EXPECT_FALSE(game_->shell.running);

    const std::string after = read_text(dir / "config.cfg");
    EXPECT_EQ(after.substr(0, input_at), before.substr(0, input_at))
        << "the shell, shaders and console sections must stay as they were";
    EXPECT_NE(after.find("jump=10"), std::string::npos) << after;
    EXPECT_NE(after.find("forward=22"), std::string::npos);
    EXPECT_NE(after.find("[menu_dialog]\nposx=0\nposy=11"), std::string::npos) << after;
    EXPECT_NE(after.find("[settings_dialog]\nposx=0\nposy=11"), std::string::npos) << after;

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
    // The menu's body (200 square below kTop) is filled, the backdrop beside it is white.
    const uint32_t fill = pixel(menu.get(), 150, 150);
    EXPECT_NE(fill, kWhite);
    EXPECT_EQ(pixel(menu.get(), 700, 700), kWhite);
    // Text on the rows of "resume game", "disconnect", "editor", "settings" and "quit";
    // none on the empty row between "disconnect" and "editor".
    for (int row_top : {4, 17, 50, 63, 76}) {
        const int y = kTop + row_top;
        EXPECT_GT(bright_pixels(menu.get(), 4, y, 100, y + 12, fill), 10) << row_top;
    }
    EXPECT_EQ(bright_pixels(menu.get(), 4, kTop + 31, 100, kTop + 48, fill), 0);

    Surface settings = load_png(dir / "settings.png");
    ASSERT_TRUE(settings) << IMG_GetError();
    // The settings dialog's body is 640 x 380; the backdrop past it stays white.
    const uint32_t settings_fill = pixel(settings.get(), 600, kTop + 350);
    EXPECT_NE(settings_fill, kWhite);
    EXPECT_EQ(pixel(settings.get(), 700, kTop + 450), kWhite);
    // "control" and "other", and the jump label "J" beside its button.
    EXPECT_GT(bright_pixels(settings.get(), 4, kTop + 4, 60, kTop + 16, settings_fill), 10);
    EXPECT_GT(bright_pixels(settings.get(), 70, kTop + 4, 110, kTop + 16, settings_fill), 10);
    EXPECT_GT(bright_pixels(settings.get(), 532, kTop + 192, 545, kTop + 206, settings_fill), 3);
}

// F3 in play switches the labels to the names alone, and quitting saves that; the record
// holds the key, and its replay switches them too but writes nothing.
TEST_F(RunTest, F3SwitchesTheLabelsIsSavedAndReplayedAndTheReplaySavesNothing) {
    copy_shipped_data();
    const std::string shipped = shipped_config();
    ASSERT_NE(config_with_labels("name"), "") << "the shipped config names the full labels";
    put("f3.txt", "100 key down F3\n120 key up F3\n200 quit\n");
    options_.play = true;
    options_.script = "f3.txt";
    options_.record = "rec.txt";
    ASSERT_EQ(run(), kExitOk);
    EXPECT_EQ(game_->hud.labels, label_name);
    EXPECT_EQ(read_text(dir_ / "config.cfg"), config_with_labels("name"));

    put("config.cfg", shipped);
    options_ = RunOptions{};
    options_.data_dir = dir_text_.c_str();
    options_.replay = "rec.txt";
    options_.fast = true;
    ASSERT_EQ(run(), kExitOk);
    EXPECT_EQ(game_->hud.labels, label_name);
    EXPECT_EQ(read_text(dir_ / "config.cfg"), shipped);
}

// labels=name starts with the names alone. A value the game does not know reads as full,
// and switching away and back leaves it in the file as it was.
TEST_F(RunTest, TheLabelsStartAsConfiguredAndAChoiceSwitchedBackIsNotWritten) {
    copy_shipped_data();
    put("config.cfg", config_with_labels("name"));
    put("quit.txt", "100 quit\n");
    options_.play = true;
    options_.script = "quit.txt";
    ASSERT_EQ(run(), kExitOk);
    EXPECT_EQ(game_->hud.labels, label_name);

    const std::string odd = config_with_labels("Name");  // not exactly "name"
    put("config.cfg", odd);
    put("f3.txt", "100 key down F3\n120 key up F3\n140 key down F3\n160 key up F3\n200 quit\n");
    options_.script = "f3.txt";
    ASSERT_EQ(run(), kExitOk);
    EXPECT_EQ(game_->hud.labels, label_full);
    EXPECT_EQ(read_text(dir_ / "config.cfg"), odd);
}

}  // namespace

namespace {

// The shipped editor dialog sits at (370, 470); the file dialogs at (80, 100); the create
// dialog at (200, 100). The map sub-mode's camera puts vertex (0, 0) at the screen centre
// with the map above and to the left of it.
constexpr char kEditorScript[] =
    "100 command 12\n"                // "editor"
    "200 mouse click left 460 578\n"  // "water", fifth row of the terrain list
    "300 mouse move 500 372\n"        // a stroke across the vertices by the origin
    "310 mouse down left 500 372\n"
    "320 mouse move 460 350\n"
    "330 mouse move 420 330\n"
    "340 mouse up left 420 330\n"
    "400 screenshot edit.png\n"
    "500 command 34\n"               // "save map"
    "510 mouse click left 95 155\n"  // its name field
    "520 key down P\n530 key up P\n540 key down O\n550 key up O\n"
    "560 key down N\n570 key up N\n580 key down D\n590 key up D\n"
    "600 command 43\n"                // OK
    "700 mouse click left 300 200\n"  // paint on, unsaved
    "800 command 33\n"                // "load map": test123, then POND
    "810 mouse click left 110 162\n"  // POND
    "820 command 38\n"                // OK
    "900 command 28\n"                // "figures": "right up leg" chosen
    "910 mouse down middle 600 300\n"
    "920 mouse move 550 300\n"
    "930 mouse move 510 300\n"
    "940 mouse up middle 510 300\n"
    "950 screenshot figures.png\n"
    "1000 command 65\n"  // "save bones"
    "1010 mouse click left 95 155\n"
    "1020 key down W\n1025 key up W\n1030 key down A\n1035 key up A\n"
    "1040 key down L\n1045 key up L\n1050 key down K\n1055 key up K\n"
    "1060 key down 1\n1065 key up 1\n"
    "1070 command 63\n"                // OK
    "1100 command 12\n"                // close the editor
    "1200 command 11\n"                // "create game"
    "1210 command 77\n"                // "load map": test123, then POND
    "1220 mouse click left 235 217\n"  // POND
    "1230 command 78\n"                // "create"
    "2000 screenshot play.png\n"
    "2100 quit\n";

// Water is the one terrain colour whose blue stands out.
int water_pixels(const SDL_Surface* s) {
    int count = 0;
    for (int y = 0; y < s->h; ++y) {
        for (int x = 0; x < s->w; ++x) {
            const uint32_t c = pixel(s, x, y);
            const int r = c >> 16, g = (c >> 8) & 0xFF, b = c & 0xFF;
            count += b > g + 12 && b > r + 12 && b < 0x60;
        }
    }
    return count;
}

// Painting, saving, loading and posing in the editor, then hosting the painted map.
TEST_F(RunTest, TheEditorPaintsSavesLoadsPosesAndItsMapIsHosted) {
    copy_shipped_data();
    put("config.cfg", shipped_config() + "\n[net]\nport=0\n");
    put("editor.txt", kEditorScript);
    options_.script = "editor.txt";
    ASSERT_EQ(run_said(), kExitOk) << said_;

    const std::string pond = read_text(dir_ / "Data/maps/POND.map");
    ASSERT_EQ(pond.size(), kMapFileSize);
    EXPECT_EQ(pond,
              std::string(reinterpret_cast<const char*>(&game_->editor.map.map), kMapFileSize))
        << "the editor holds the map loaded back, not the paint after the save";
    EXPECT_EQ(pond, std::string(reinterpret_cast<const char*>(&game_->map), kMapFileSize))
        << "the hosted game plays the chosen map";
    EXPECT_TRUE(game_->session.host);

    // The key the walk steps through is the pose saved, with the turned leg.
    const WorkingFolder inside(dir_);
    BonePose walk;
    default_pose(walk);
    ASSERT_EQ(load_pose(walk, "Data/bones/WALK1.bones").status, pose_ok);
    EXPECT_EQ(std::memcmp(&walk, &game_->editor.pose.pose, sizeof walk), 0);
    BonePose shown;
    int keys_shown = 0;
    for (int32_t phase = 0; phase < 64; ++phase) {
        const char* file = key_file(action_walk, phase);
        if (!file || std::string(file) != "Data/bones/WALK1.bones") continue;
        key_pose(game_->poses, shown, action_walk, phase);
        EXPECT_EQ(std::memcmp(&shown, &walk, sizeof walk), 0) << phase;
        ++keys_shown;
    }
    EXPECT_GT(keys_shown, 0);

    for (const char* shot : {"edit.png", "play.png"}) {
        Surface image = load_png(dir_ / shot);
        ASSERT_TRUE(image) << shot;
        EXPECT_GT(water_pixels(image.get()), 200) << shot;
    }
}

}  // namespace
