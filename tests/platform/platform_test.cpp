// The platform layer: atomic saving, messages and keys, the tick timers, and SDL's events.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/image_header.h"
#include "platform/key_state.h"
#include "platform/message.h"
#include "platform/scheduler.h"
#include "platform/sdl_events.h"
#include "platform/sdl_message_box.h"
#include "platform/sdl_window.h"
#include "support/temp_folder.h"

namespace {

class AtomicFile : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(folder_.ok()); }
    void TearDown() override { set_save_fault_for_testing(fault_none); }
    // Only the file itself: no temporary left behind.
    bool alone() const {
        const std::filesystem::directory_iterator all(dir_);
        return std::distance(begin(all), end(all)) == 1;
    }
    std::string contents() const { return read_text(path_); }
    bool save(const std::string& text) {
        return save_file_atomically(path_.c_str(), text.data(), text.size());
    }
    TempFolder folder_{"torvi-atomic-"};
    const std::string dir_ = folder_.path().string();
    const std::string path_ = dir_ + "/file.bin";
};

TEST_F(AtomicFile, InterruptedSavesKeepTheOldFileWholeAndGoodOnesReplaceItKeepingPermissions) {
    ASSERT_TRUE(save("a much longer old text"));
    for (SaveFault fault : {fault_write, fault_flush, fault_rename}) {
        set_save_fault_for_testing(fault);
        EXPECT_FALSE(save(std::string(5000, 'n')));
        EXPECT_EQ(contents(), "a much longer old text");
        EXPECT_TRUE(alone());
    }
    set_save_fault_for_testing(fault_none);
    ::chmod(path_.c_str(), 0600);
    EXPECT_TRUE(save("new"));
    EXPECT_EQ(contents(), "new");
    EXPECT_TRUE(alone());
    struct stat st;
    ASSERT_EQ(::stat(path_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);  // the permissions stay
    EXPECT_FALSE(save_file_atomically((dir_ + "/no/such/folder/file.bin").c_str(), "x", 1));
}

TEST_F(AtomicFile, LinksAreSavedThroughAndReadOnlyFilesAreLeftAlone) {
    namespace fs = std::filesystem;
    fs::create_directory(dir_ + "/real");
    write_text(dir_ + "/real/target.cfg", "old");
    fs::create_symlink("real/target.cfg", dir_ + "/hop");
    fs::create_symlink("hop", path_);  // file.bin -> hop -> real/target.cfg
    EXPECT_TRUE(save("new"));
    EXPECT_TRUE(fs::is_symlink(path_));
    EXPECT_EQ(read_text(dir_ + "/real/target.cfg"), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ + "/real"), fs::directory_iterator()), 1);

    ::chmod((dir_ + "/real/target.cfg").c_str(), 0444);  // refused even for root
    EXPECT_FALSE(save("newer"));
    EXPECT_EQ(read_text(dir_ + "/real/target.cfg"), "new");

    fs::remove(dir_ + "/hop");
    fs::create_symlink("file.bin", dir_ + "/hop");  // a loop
    EXPECT_FALSE(save("loop"));
    EXPECT_TRUE(fs::is_symlink(path_));
}

// A FIFO would block and /dev/zero never end: only regular files are read, and whole
// reads stop at their limit.
TEST_F(AtomicFile, ReadsRefuseWhatIsNoRegularFileAndWholeReadsKeepTheirLimit) {
    const std::string fifo = dir_ + "/fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    char buffer[8];
    for (const std::string& path : {fifo, dir_, std::string("/dev/zero")}) {
        EXPECT_EQ(read_file_prefix(path.c_str(), buffer, sizeof buffer).error, kErrorNotRegularFile)
            << path;
    }
    std::string text;
    ASSERT_TRUE(save(std::string(10000, 'a')));
    EXPECT_EQ(read_whole_file(path_.c_str(), 10000, text).status, read_ok);
    EXPECT_EQ(text.size(), 10000u);
    const FileRead over = read_whole_file(path_.c_str(), 9999, text);
    EXPECT_TRUE(over.status == read_failed && over.longer && text.empty());
}

// Only this game's own leftovers, and only old ones: a save in progress elsewhere stays.
TEST_F(AtomicFile, OnlyStaleTemporariesOfTheGivenKindAreRemoved) {
    namespace fs = std::filesystem;
    const char* names[] = {"a.map.tmp-Ab12Cd", "b.map.tmp-Xy34Zw", "notes.tmp-abcdef",
                           "c.map.tmp-abc", "d.bones.tmp-abcdef"};
    for (const char* name : names) write_text(dir_ + "/" + name, "x");
    fs::create_directory(dir_ + "/e.map.tmp-folder");
    for (const char* name : {"a.map.tmp-Ab12Cd", "c.map.tmp-abc", "d.bones.tmp-abcdef"}) {
        fs::last_write_time(dir_ + "/" + name,
                            fs::file_time_type::clock::now() - std::chrono::hours(1));
    }
    EXPECT_EQ(remove_stale_temporaries(dir_.c_str(), ".map"), 1);
    EXPECT_FALSE(fs::exists(dir_ + "/a.map.tmp-Ab12Cd"));
    for (const char* name : {"b.map.tmp-Xy34Zw", "notes.tmp-abcdef", "c.map.tmp-abc",
                             "d.bones.tmp-abcdef", "e.map.tmp-folder"}) {
        EXPECT_TRUE(fs::exists(dir_ + "/" + name)) << name;
    }
}

std::string le32(uint32_t v) {
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

// A cursor file of one bitmap image of the given sides (its height counts the mask too).
std::string cursor_file(uint32_t width, uint32_t height) {
    return std::string("\0\0\2\0\1\0", 6) + std::string(8, '\0') + le32(40) + le32(22) + le32(40) +
           le32(width) + le32(2 * height);
}

// The sides a header declares, read before any decoder trusts them.
TEST(ImageHeader, DeclaredSidesOfEachFormatAndRefusals) {
    struct Case {
        std::string bytes;
        ImageFormat format;
        long long width, height;
    };
    const Case cases[] = {
        {std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x40\0\0\0\0\x20", 24), image_png, 16384,
         32},
        {std::string("\xFF\xD8\xFF\xE0\0\x04xx\xFF\xC2\0\x11\x08\x01\x00\x02\x00", 17), image_jpeg,
         512, 256},
        {"BM" + std::string(12, '\0') + le32(40) + le32(64) + le32(-32), image_bmp, 64, 32},
        {cursor_file(30000, 60000), image_cursor, 30000, 60000},
        {cursor_file(32, 32).substr(0, 30), image_cursor, 0, 0},  // cut short
        {std::string("\x89PNG\r\n\x1a\n", 8), image_png, 0, 0},   // no IHDR
        {"GIF89a", image_unknown, 0, 0},
    };
    for (const Case& c : cases) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(c.bytes.data());
        const ImageHeader header = read_image_header(bytes, c.bytes.size());
        EXPECT_EQ(header.format, c.format) << c.bytes;
        EXPECT_EQ(header.width, c.width) << c.bytes;
        EXPECT_EQ(header.height, c.height) << c.bytes;
        EXPECT_EQ(image_refusal(header, 30000) == nullptr, c.height > 0 && c.height <= 30000);
    }
}

TEST(MessagePacking, PointsSplitIntoSigned16BitXAndY) {
    EXPECT_EQ(pack_point(0x1234, 0x0567), 0x05671234u);
    for (const auto& [x, y] : {std::pair{1023, 767}, {-5, -300}, {-1, 7}, {7, -1}}) {
        EXPECT_EQ(point_x(pack_point(x, y)), x) << x << "," << y;
        EXPECT_EQ(point_y(pack_point(x, y)), y) << x << "," << y;  // no sign bleeding into y
    }
}

TEST(KeyStateTable, OutOfRangeKeysAreIgnoredAndOnlyMouseMessagesMoveTheCursor) {
    KeyState keys;
    init_key_state(keys);
    track_message(keys, Message{msg_key_down, 100000, 0});
    for (int code : {-1, 256, 100000}) EXPECT_FALSE(key_down(keys, code)) << code;
    track_message(keys, mouse_message(msg_mouse_move, mouse_bit_left | mouse_bit_middle, -10, 480));
    EXPECT_EQ(keys.cursor_x, -10);
    EXPECT_EQ(keys.cursor_y, 480);
    EXPECT_EQ(mouse_buttons(keys), static_cast<uint32_t>(mouse_bit_left | mouse_bit_middle));
    track_message(keys, command_message(0x00FF00FF));  // a command carries no position
    EXPECT_EQ(keys.cursor_x, -10);
}

struct Fired {
    TickId id;
    uint64_t at;
};

// Runs the loop's decisions on a fake clock: run a due tick, else jump to the next deadline.
std::vector<Fired> run_until(FakeClock& clock, Scheduler& scheduler, uint64_t end) {
    std::vector<Fired> fired;
    while (clock.now_ms() <= end) {
        const NextTick next = next_tick(scheduler, clock.now_ms());
        if (next.due) {
            fired.push_back({next.id, next_deadline(scheduler)});
            tick_ran(scheduler, next.id);
        } else {
            clock.advance(next.wait_ms);
        }
    }
    return fired;
}

std::map<TickId, int> counts(const std::vector<Fired>& fired) {
    std::map<TickId, int> result;
    for (const Fired& f : fired) ++result[f.id];
    return result;
}

TEST(Scheduler, EachTimerKeepsItsPeriodOnItsOwnGridAndAStallRunsEveryTickInOrder) {
    FakeClock clock;
    Scheduler scheduler;
    start_scheduler(scheduler, clock.now_ms());
    auto fired = run_until(clock, scheduler, 1000);
    EXPECT_EQ(counts(fired),
              (std::map<TickId, int>{{sim_tick, 100}, {phase_tick, 8}, {render_tick, 27}}));
    for (const Fired& f : fired) {
        const uint64_t period = f.id == sim_tick ? 10 : f.id == phase_tick ? 125 : 37;
        EXPECT_EQ(f.at % period, 0u) << "tick " << f.id << " at " << f.at;
    }
    // At 1000 sim and phase are both due: they run in timer order.
    ASSERT_GE(fired.size(), 2u);
    EXPECT_EQ(fired[fired.size() - 2].id, sim_tick);
    EXPECT_EQ(fired.back().id, phase_tick);
    EXPECT_EQ(fired.back().at, 1000u);

    clock.set(1203);  // the process was stopped for 200 ms
    fired = run_until(clock, scheduler, 1203);
    EXPECT_EQ(counts(fired),
              (std::map<TickId, int>{{sim_tick, 20}, {phase_tick, 1}, {render_tick, 5}}));
    for (size_t i = 1; i < fired.size(); ++i) EXPECT_LE(fired[i - 1].at, fired[i].at);
    EXPECT_EQ(fired.back().at, 1200u);
}

// The SDL side, on the offscreen driver.
class SdlPlatform : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        ASSERT_TRUE(video_.start());
        ASSERT_TRUE(window_.open(true));
    }

    SdlVideo video_;
    GameWindow window_;
};

SDL_Event key_event(Uint32 type, SDL_Keycode key, Uint8 repeat = 0) {
    SDL_Event e{};
    const Uint8 state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key = {type, 0, 0, state, repeat, 0, 0, {SDL_SCANCODE_UNKNOWN, key, 0, 0}};
    return e;
}

TEST_F(SdlPlatform, KeyMouseAndCloseEventsBecomeWindowMessages) {
    Message msg{};
    ASSERT_TRUE(translate_event(key_event(SDL_KEYDOWN, SDLK_w, 1), window_, msg));
    EXPECT_EQ(msg.id, static_cast<uint32_t>(msg_key_down));
    EXPECT_EQ(msg.wparam, static_cast<uint32_t>('W'));
    EXPECT_EQ(msg.lparam & kKeyRepeatBit, kKeyRepeatBit);
    ASSERT_TRUE(translate_event(key_event(SDL_KEYUP, SDLK_ESCAPE), window_, msg));
    EXPECT_EQ(msg.id, static_cast<uint32_t>(msg_key_up));
    EXPECT_EQ(msg.wparam, 27u);
    EXPECT_EQ(msg.lparam & kKeyRepeatBit, 0u);
    ASSERT_TRUE(translate_event(key_event(SDL_KEYDOWN, SDLK_F3), window_, msg));
    EXPECT_EQ(msg.id, static_cast<uint32_t>(msg_key_down));
    EXPECT_EQ(msg.wparam, static_cast<uint32_t>(vk_f3));
    EXPECT_FALSE(translate_event(key_event(SDL_KEYDOWN, SDLK_F5), window_, msg));

    SDL_Event e{};
    e.motion = {SDL_MOUSEMOTION, 0, 0, 0, SDL_BUTTON_LMASK | SDL_BUTTON_MMASK, 300, 200, 0, 0};
    ASSERT_TRUE(translate_event(e, window_, msg));
    EXPECT_EQ(msg.id, static_cast<uint32_t>(msg_mouse_move));
    EXPECT_EQ(msg.lparam, pack_point(300, 200));
    EXPECT_EQ(msg.wparam, static_cast<uint32_t>(mouse_bit_left | mouse_bit_middle));

    e.button = {SDL_MOUSEBUTTONDOWN, 0, 0, 0, SDL_BUTTON_LEFT, SDL_PRESSED, 2, 0, 5, 6};
    ASSERT_TRUE(translate_event(e, window_, msg));
    EXPECT_EQ(msg.id, static_cast<uint32_t>(msg_lbutton_dblclk));
    e.button.button = SDL_BUTTON_X1;
    EXPECT_FALSE(translate_event(e, window_, msg));

    // Closing the window either way becomes the close message.
    e.type = SDL_QUIT;
    ASSERT_TRUE(translate_event(e, window_, msg));
    EXPECT_EQ(msg.id, static_cast<uint32_t>(msg_close));
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    ASSERT_TRUE(translate_event(e, window_, msg));
    EXPECT_EQ(msg.id, static_cast<uint32_t>(msg_close));
}

TEST_F(SdlPlatform, WithoutAScreenErrorsPrintCutTo255CharactersAndAMissingCursorKeepsTheSystemOne) {
    const ErrorBoxes boxes{window_.handle(), false};
    testing::internal::CaptureStderr();
    ErrorBox(boxes, "Kein HAL-Device - das wird langsam! (%d)", 8);
    ErrorBox(boxes, "%s", std::string(1000, 'x').c_str());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Kein HAL-Device - das wird langsam! (8)"), std::string::npos) << err;
    EXPECT_NE(err.find(std::string(255, 'x')), std::string::npos);
    EXPECT_EQ(err.find(std::string(256, 'x')), std::string::npos);

    testing::internal::CaptureStderr();
    window_.load_cursor("/nonexistent/main.cur");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("using the system cursor"),
              std::string::npos);
}

}  // namespace
