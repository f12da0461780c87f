// The platform layer's own logic: atomic saving, messages and keys, and the tick timers.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/key_state.h"
#include "platform/message.h"
#include "platform/scheduler.h"
#include "support/temp_folder.h"

namespace {

class AtomicFile : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(folder_.ok()); }
    void TearDown() override { set_save_fault_for_testing(fault_none); }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir_)) {
            names.push_back(e.path().filename().string());
        }
        return names;
    }
    std::string contents() const {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool save(const std::string& text) {
        return save_file_atomically(path_.c_str(), text.data(), text.size());
    }
    TempFolder folder_{"torvi-atomic-"};
    const std::string dir_ = folder_.path().string();
    const std::string path_ = dir_ + "/file.bin";
};

TEST_F(AtomicFile, InterruptedSaveKeepsTheOldFileAndNoTemporaryAndAGoodOneReplacesItWhole) {
    ASSERT_TRUE(save("a much longer old text"));
    const std::string fresh(5000, 'n');
    for (SaveFault fault : {fault_write, fault_flush, fault_rename}) {
        set_save_fault_for_testing(fault);
        EXPECT_FALSE(save(fresh));
        EXPECT_EQ(contents(), "a much longer old text");
        EXPECT_EQ(entries(), std::vector<std::string>{"file.bin"});
    }
    set_save_fault_for_testing(fault_none);
    EXPECT_TRUE(save(fresh));
    EXPECT_EQ(contents(), fresh);
    EXPECT_TRUE(save("new"));
    EXPECT_EQ(contents(), "new");
    EXPECT_EQ(entries(), std::vector<std::string>{"file.bin"});
}

TEST_F(AtomicFile, SaveKeepsThePermissionsAndFailsCleanlyInAMissingFolder) {
    ASSERT_TRUE(save("x"));
    ::chmod(path_.c_str(), 0600);
    ASSERT_TRUE(save("y"));
    struct stat st;
    ASSERT_EQ(::stat(path_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_FALSE(save_file_atomically((dir_ + "/no/such/folder/file.bin").c_str(), "x", 1));
}

TEST_F(AtomicFile, ReadPrefixStopsAtTheBufferAndTellsWhetherMoreFollows) {
    ASSERT_TRUE(save("0123456789"));
    char buf[10];
    FileRead r = read_file_prefix(path_.c_str(), buf, 4);
    EXPECT_EQ(r.status, read_ok);
    EXPECT_EQ(r.size, 4u);
    EXPECT_TRUE(r.longer);
    EXPECT_EQ(std::string(buf, 4), "0123");
    r = read_file_prefix(path_.c_str(), buf, 10);
    EXPECT_EQ(r.size, 10u);
    EXPECT_FALSE(r.longer);
    EXPECT_EQ(read_file_prefix((dir_ + "/missing").c_str(), buf, 10).status, read_cannot_open);
    EXPECT_EQ(read_file_prefix(dir_.c_str(), buf, 10).status, read_failed);
}

TEST(MessagePacking, PointsSplitIntoSigned16BitXAndY) {
    EXPECT_EQ(pack_point(0x1234, 0x0567), 0x05671234u);
    EXPECT_EQ(point_x(pack_point(1023, 767)), 1023);
    EXPECT_EQ(point_y(pack_point(1023, 767)), 767);
    const uint32_t lparam = pack_point(-5, -300);
    EXPECT_EQ(point_x(lparam), -5);
    EXPECT_EQ(point_y(lparam), -300);
    EXPECT_EQ(point_y(pack_point(-1, 7)), 7);  // a negative x must not bleed into y
    const Message m = mouse_message(msg_rbutton_down, mouse_bit_left | mouse_bit_right, 3, 4);
    EXPECT_EQ(m.wparam, 0x03u);
    EXPECT_EQ(command_message(26).wparam, 26u);
    EXPECT_TRUE(is_mouse_message(msg_mbutton_up));
    EXPECT_FALSE(is_mouse_message(msg_gui_command));
}

TEST(KeyStateTable, KeyMessagesSetAndClearTheirKeyAndOutOfRangeCodesAreIgnored) {
    KeyState keys;
    init_key_state(keys);
    track_message(keys, key_message(true, 'W'));
    track_message(keys, key_message(true, vk_escape));
    EXPECT_TRUE(key_down(keys, 'W'));
    EXPECT_TRUE(key_down(keys, 27));
    track_message(keys, key_message(false, 'W'));
    EXPECT_FALSE(key_down(keys, 'W'));
    EXPECT_TRUE(key_down(keys, 27));
    track_message(keys, Message{msg_key_down, 100000, 0});
    EXPECT_FALSE(key_down(keys, -1));
    EXPECT_FALSE(key_down(keys, 256));
    EXPECT_FALSE(key_down(keys, 100000));
}

TEST(KeyStateTable, MouseMessagesMoveTheCursorAndHoldButtons) {
    KeyState keys;
    init_key_state(keys);
    track_message(keys, mouse_message(msg_lbutton_down, mouse_bit_left, 640, 480));
    EXPECT_EQ(keys.cursor_x, 640);
    EXPECT_EQ(keys.cursor_y, 480);
    EXPECT_EQ(mouse_buttons(keys), static_cast<uint32_t>(mouse_bit_left));
    track_message(keys, mouse_message(msg_mouse_move, mouse_bit_left | mouse_bit_middle, 10, 20));
    EXPECT_TRUE(key_down(keys, vk_mbutton));
    track_message(keys, mouse_message(msg_lbutton_up, 0, 10, 20));
    EXPECT_EQ(mouse_buttons(keys), 0u);
    track_message(keys, command_message(0x00FF00FF));  // a command carries no position
    EXPECT_EQ(keys.cursor_x, 10);
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
            fired.push_back({next.id, clock.now_ms()});
            tick_ran(scheduler, next.id, clock.now_ms());
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

TEST(Scheduler, OneSecondGivesEachTimerItsPeriod) {
    FakeClock clock;
    Scheduler scheduler;
    start_scheduler(scheduler, clock.now_ms());
    const auto fired = run_until(clock, scheduler, 1000);
    auto n = counts(fired);
    EXPECT_EQ(n[sim_tick], 100);
    EXPECT_EQ(n[phase_tick], 8);
    EXPECT_EQ(n[render_tick], 27);
    for (const Fired& f : fired) {
        const uint64_t period = f.id == sim_tick ? 10 : f.id == phase_tick ? 125 : 37;
        EXPECT_EQ(f.at % period, 0u) << "tick " << f.id << " at " << f.at;
    }
}

TEST(Scheduler, WaitIsTheTimeToTheEarliestDeadlineOnAFixedGridAndTiesRunInOrder) {
    Scheduler scheduler;
    start_scheduler(scheduler, 1000);
    NextTick next = next_tick(scheduler, 1003);
    EXPECT_FALSE(next.due);
    EXPECT_EQ(next.id, sim_tick);
    EXPECT_EQ(next.wait_ms, 7u);
    tick_ran(scheduler, sim_tick, 1010);
    tick_ran(scheduler, sim_tick, 1020);
    tick_ran(scheduler, sim_tick, 1033);  // ran 3 ms late
    next = next_tick(scheduler, 1033);
    EXPECT_EQ(next.id, render_tick);  // due at 1037, before sim at 1040
    EXPECT_EQ(next.wait_ms, 4u);
    tick_ran(scheduler, render_tick, 1037);
    EXPECT_EQ(next_tick(scheduler, 1037).wait_ms, 3u);  // the late tick did not shift the grid

    for (TickTimer& t : scheduler.timers) t.due_ms = 2000;
    std::vector<TickId> order;
    for (int i = 0; i < 3; ++i) {
        next = next_tick(scheduler, 2000);
        ASSERT_TRUE(next.due);
        order.push_back(next.id);
        tick_ran(scheduler, next.id, 2000);
    }
    EXPECT_EQ(order, (std::vector<TickId>{sim_tick, phase_tick, render_tick}));
}

TEST(Scheduler, AStallRunsEachTimerOnceThenResumesItsBeat) {
    FakeClock clock;
    Scheduler scheduler;
    start_scheduler(scheduler, 0);
    clock.set(5000);  // the process was stopped for five seconds
    auto n = counts(run_until(clock, scheduler, 5000));
    EXPECT_EQ(n[sim_tick], 1);
    EXPECT_EQ(n[phase_tick], 1);
    EXPECT_EQ(n[render_tick], 1);
    // The timers keep their own beat: sim next at 5010, phase at 5125.
    const auto fired = run_until(clock, scheduler, 5125);
    ASSERT_FALSE(fired.empty());
    EXPECT_EQ(fired.front().id, sim_tick);
    EXPECT_EQ(fired.front().at, 5010u);
    EXPECT_EQ(counts(fired)[phase_tick], 1);
}

}  // namespace
