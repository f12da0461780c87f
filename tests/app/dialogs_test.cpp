// The game's dialogs driven through the real window procedure with mouse messages at the
// pixels their layout puts each control on. What the window procedure does on its own is
// in game_test; here the dialogs' work and what their commands start.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "app/modes.h"
#include "app/ticks.h"
#include "gui/game_dialogs.h"
#include "support/temp_folder.h"

namespace {

struct Point {
    int x, y;
};

// Corners the dialogs get from the test's config.cfg; apart, so no two overlap.
constexpr Point kMenuAt = {10, 20};
constexpr Point kSettingsAt = {300, 250};
constexpr Point kJoinCreateAt = {200, 100};  // built in

constexpr char kPlacedDialogs[] =
    "[menu_dialog]\nposx=10\nposy=20\n[settings_dialog]\nposx=300\nposy=250\n"
    "[input]\ntype=tastatur\nforward=22\nbackward=18\nleft=0\nright=3\n"
    "jump=9\nprimattack=10\nsecnattack=11\n";

// A fake controller backend: two pads; remembers the one chosen.
class TwoPads : public GamepadDevices {
  public:
    int list(char (*names)[kGamepadNameSize], int max) override {
        const char* pads[] = {"pad zero", "pad one"};
        int n = 0;
        for (; n < 2 && n < max; ++n) std::snprintf(names[n], kGamepadNameSize, "%s", pads[n]);
        return n;
    }
    bool use(int index) override {
        chosen = index;
        return true;
    }
    int chosen = -1;
};

// A network that records what the dialogs ask of it.
class FakeNetwork : public Network {
  public:
    bool host_game(const char* name, uint16_t, const MapGrid&) override {
        hosted = name;
        return host_ok;
    }
    void stop_hosting() override {}
    bool join_game(const char* host, uint16_t port, const Hello& hello) override {
        joined = std::string(host) + ":" + std::to_string(port);
        joined_element = hello.element;
        joined_name = hello.name;
        return true;
    }
    void leave_client() override { ++leaves; }
    void refresh_hosts(const char*, uint16_t) override { ++refreshes; }
    uint16_t port() const override { return 4711; }
    bool order(const NetOrder&) override { return true; }
    size_t take_events(NetEvent* out, size_t max) override {
        const size_t n = std::min(max, pending.size());
        std::copy(pending.begin(), pending.begin() + static_cast<long>(n), out);
        pending.erase(pending.begin(), pending.begin() + static_cast<long>(n));
        return n;
    }
    bool take_world(WorldUpdate&) override { return false; }
    bool take_map(MapGrid&) override { return false; }

    bool host_ok = true;
    std::string hosted = "(none)", joined = "(none)";
    int32_t joined_element = -1;
    std::string joined_name;
    int refreshes = 0, leaves = 0;
    std::vector<NetEvent> pending;  // what the next tick takes
};

// Control corners: menu buttons; join and create controls; settings controls.
constexpr Point kJoinGame = {4, 4}, kCreateGame = {4, 17}, kSettingsButton = {4, 63};
constexpr Point kStart = {300, 460}, kCancel = {230, 460}, kRefresh = {160, 460},
                kLoadMap = {25, 33}, kElementList = {25, 196}, kServerList = {25, 36},
                kMapList = {25, 97}, kKnockouts = {25, 330};
constexpr int kRow = 16;
constexpr Point kControlPage = {4, 4}, kOtherPage = {70, 4}, kTypeButton = {4, 36},
                kJumpButton = {500, 180}, kForwardButton = {160, 180}, kDeviceList = {80, 36},
                kUseGamepad = {340, 52}, kBackwardButton = {160, 244};

class GameDialogsTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(inside_.ok()); }

    // Writes config.cfg, then builds the dialogs of a fresh game as start-up does.
    void start(const std::string& config) {
        game_ = std::make_unique<Game>();
        write_text("config.cfg", config);
        load_settings(game().settings);
        dialogs().gamepad = &pads_;
        build_game_dialogs(dialogs(), controls(), game().settings, &game().commands);
        build_editor(game().editor, game().settings, &game().commands, 1024, 768);
        set_mode(game(), mode_menu);
    }
    void start_placed() { start(kPlacedDialogs); }

    Game& game() { return *game_; }
    GameDialogs& dialogs() { return game().dialogs; }
    ControlTable& controls() { return game().input.controls; }
    static std::string config() { return read_text("config.cfg"); }

    void deliver(const Message& msg) {
        track_input(game(), msg);
        window_procedure(game(), msg);
    }
    // A click 2 pixels inside the control whose top-left corner is at control in the dialog.
    void click(Point corner, Point control) {
        const int x = corner.x + control.x + 2, y = corner.y + control.y + 2;
        deliver(mouse_message(msg_mouse_move, 0, x, y));
        deliver(mouse_message(msg_lbutton_down, mouse_bit_left, x, y));
        deliver(mouse_message(msg_lbutton_up, 0, x, y));
    }
    // The cursor 2 pixels inside a settings control, then a press: 1 when it was consumed.
    int press_over(Point control, const Message& msg) {
        const int x = kSettingsAt.x + control.x + 2, y = kSettingsAt.y + control.y + 2;
        deliver(mouse_message(msg_mouse_move, 0, x, y));
        track_input(game(), msg);
        return window_procedure(game(), msg);
    }
    bool warned(uint32_t button) {
        const Widget* w = dialogs().settings.find(button);
        return w && w->kind == widget_button && static_cast<const Button*>(w)->warn;
    }
    void click_menu(Point control) { click(kMenuAt, control); }
    void click_settings(Point control) { click(kSettingsAt, control); }
    void click_join_create(Point control) { click(kJoinCreateAt, control); }

    bool shown(const Dialog& d, uint32_t id) {
        const Widget* w = d.find(id);
        EXPECT_NE(w, nullptr) << "no widget " << id;
        return w && w->visible;
    }
    std::string join_status() const { return dialogs_const().join_status->text; }
    const GameDialogs& dialogs_const() const { return game_->dialogs; }
    std::string label_text(uint32_t id) {
        const Widget* w = dialogs().settings.find(id);
        EXPECT_TRUE(w && w->kind == widget_label) << "no label " << id;
        return w && w->kind == widget_label ? static_cast<const Label*>(w)->text : "";
    }

    std::unique_ptr<Game> game_;
    TwoPads pads_;
    TempFolder folder_{"torvi-dialogs-"};
    WorkingFolder inside_{folder_.path()};
};

// The menu run creates a game with a chosen element; here hosting on the network, a port
// that cannot be opened, a map chosen with "load map", and a join of the host chosen in
// the list. Cancel closes either dialog.
TEST_F(GameDialogsTest, CreateHostsAndJoinEntersTheChosenGameWithTheChosenElement) {
    FakeNetwork net;
    start_placed();
    game().net = &net;
    net.host_ok = false;
    std::filesystem::create_directories("Data/maps");
    MapGrid pond;
    fill_startup_map(pond);
    set_corner(pond, 7, 7, terrain_water);
    ASSERT_TRUE(save_map(pond, "Data/maps/pond.map"));
    click_menu(kCreateGame);
    EXPECT_FALSE(shown(dialogs().create, command_map_list));
    click_join_create(kLoadMap);
    ASSERT_TRUE(shown(dialogs().create, command_map_list));
    set_item(pond, 3, 3, item_figure);
    ASSERT_TRUE(save_map(pond, "Data/maps/later.map"));  // listed when the dialog opens again
    click_menu(kCreateGame);
    click_menu(kCreateGame);
    click_join_create({kMapList.x, kMapList.y + kRow});  // the second row: "pond" above it
    char chosen[kListItemTextSize];
    chosen_map(dialogs(), chosen, sizeof chosen);
    EXPECT_STREQ(chosen, "later");
    click_join_create(kStart);
    EXPECT_EQ(net.hosted, "torvi");  // an empty server name: the session's default
    EXPECT_EQ(game().shell.mode, mode_menu);
    net.host_ok = true;
    click_join_create(kKnockouts);
    click_join_create(kStart);
    EXPECT_EQ(game().shell.mode, mode_playing);
    EXPECT_TRUE(game().session.host);
    EXPECT_TRUE(game().session.knockouts) << "the host chose knock-outs";
    quit_program(game());
    EXPECT_NE(config().find("[game]\nknockouts=1"), std::string::npos) << config();
    EXPECT_EQ(std::memcmp(&game().map, &pond, sizeof pond), 0) << "the chosen map is played";
    EXPECT_EQ(game().shell.dialog, dialog_create) << "starting a game keeps the dialog open";

    start_placed();
    game().net = &net;
    click_menu(kJoinGame);
    click_join_create(kCancel);
    EXPECT_EQ(game().shell.dialog, dialog_none);
    click_menu(kJoinGame);
    click_join_create(kRefresh);
    EXPECT_EQ(net.refreshes, 1);
    click_join_create(kStart);  // nothing chosen yet: the menu stays
    EXPECT_EQ(game().shell.mode, mode_menu);
    EXPECT_EQ(net.joined, "(none)");
    HostEntry box{};
    box.address = 0x0100007F;  // 127.0.0.1 as it arrives, in network byte order
    box.port = 5000;
    std::snprintf(box.host_name, sizeof box.host_name, "box");
    std::snprintf(box.session_name, sizeof box.session_name, "torvi");
    add_host(game().net_state.hosts, box);
    fill_server_list(dialogs(), game().net_state.hosts);
    click_join_create(kServerList);
    const ListBox* servers = find_list_box(dialogs().join, command_server_list);
    ASSERT_TRUE(servers && servers->selected_item());
    EXPECT_STREQ(servers->selected_item()->text, "torvi (box)");
    click_join_create({kElementList.x, kElementList.y + kRow * 3});  // pirate
    click_join_create(kStart);
    EXPECT_EQ(net.joined, "127.0.0.1:5000");
    EXPECT_EQ(net.joined_element, 1);
    // Only the welcome starts the game; until then the dialog says what happens.
    EXPECT_EQ(game().shell.mode, mode_menu);
    EXPECT_FALSE(game().session.client);
    EXPECT_EQ(join_status(), "connecting to 127.0.0.1:5000 ...");
    run_sim_tick(game());
    EXPECT_EQ(game().shell.mode, mode_menu);
    NetEvent welcome{};
    welcome.kind = net_welcomed;
    welcome.welcome.slot = 3;
    net.pending.push_back(welcome);
    run_sim_tick(game());
    EXPECT_EQ(game().shell.mode, mode_playing);
    EXPECT_EQ(game().shell.dialog, dialog_none);
    EXPECT_TRUE(game().session.client && !game().session.host);
    EXPECT_EQ(game().session.local_player_index, 3);
    EXPECT_EQ(local_record(game().table, game().session)->element, 1);
}

// A join that fails says why in the dialog and on the console, long after a plain line
// faded, and leaves the menu as it was; "cancel" gives a join up.
TEST_F(GameDialogsTest, AJoinThatFailsOrIsCancelledStaysInTheMenuAndSaysWhy) {
    FakeNetwork net;
    start_placed();
    game().net = &net;
    // A name that does not fit is cut before a whole character, never inside one.
    const std::string thirty(30, 'a');
    set_setting_in_memory(game().settings, kSectionPlayer, kKeyName, (thirty + "\xD0\x96").c_str());
    join_game_from_text(game(), "127.0.0.1:4800");
    EXPECT_EQ(net.joined_name, thirty);
    EXPECT_EQ(game().shell.dialog, dialog_join);
    EXPECT_EQ(join_status(), "connecting to 127.0.0.1:4800 ...");
    click_join_create(kCancel);
    EXPECT_EQ(net.leaves, 1);
    EXPECT_EQ(game().shell.dialog, dialog_join) << "the first cancel ends the connecting only";
    EXPECT_EQ(join_status(), "stopped connecting to 127.0.0.1:4800");
    net.pending.push_back(NetEvent{});  // a stale welcome of the join given up: ignored
    net.pending.back().kind = net_welcomed;
    run_sim_tick(game());
    EXPECT_EQ(game().shell.mode, mode_menu);

    console_lines_init(game().console, 4);
    join_game_from_text(game(), "127.0.0.1:4800");
    NetEvent full{};
    full.kind = net_ended;
    full.reason = leave_full;
    net.pending.push_back(full);
    run_sim_tick(game());
    EXPECT_EQ(game().shell.mode, mode_menu);
    EXPECT_EQ(join_status(), "the game is full");
    console_print(game().console, 0xFFFFFFFF, "an ordinary line after it");
    for (int tick = 0; tick < 500; ++tick) run_sim_tick(game());  // 5 s
    const int last = console_line_count(game().console) - 1;
    EXPECT_STREQ(console_line(game().console, last - 1)->text, "the game is full");
    EXPECT_GT(console_line(game().console, last - 1)->colour >> 24, 0u) << "still readable";
    EXPECT_STREQ(console_line(game().console, last)->text, "") << "faded long ago";

    join_game_from_text(game(), "127.0.0.1:4800");
    net.pending.push_back(full);
    net.pending.back().reason = kLeaveNoAnswer;
    run_sim_tick(game());
    EXPECT_EQ(join_status(), "no game answered at 127.0.0.1:4800");
    click_join_create(kCancel);
    EXPECT_EQ(game().shell.dialog, dialog_none);

    // Hosting while a join is on its way ends the join; leaving that game is a plain leave.
    join_game_from_text(game(), "127.0.0.1:4800");
    start_hosting(game());
    EXPECT_EQ(game().shell.mode, mode_playing);
    end_game(game(), nullptr);
    EXPECT_EQ(game().shell.mode, mode_menu);
    EXPECT_FALSE(game().session.host);
}

// A dedicated host has no player: the game is named after [player] name ("torvi" without
// one), fights by [game] knockouts, and a port it cannot open ends the run.
TEST_F(GameDialogsTest, ADedicatedHostPlaysNoPlayerAndTakesItsRulesFromTheSettings) {
    FakeNetwork net;
    start("[player]\nname=ann\n[game]\nknockouts=1\n");
    game().net = &net;
    start_dedicated_host(game());
    EXPECT_EQ(net.hosted, "ann");
    EXPECT_TRUE(game().session.host);
    EXPECT_TRUE(game().session.knockouts);
    EXPECT_EQ(local_record(game().table, game().session), nullptr);
    EXPECT_EQ(game().table.slots[0].slot_state, slot_free);
    run_sim_tick(game());
    run_phase_tick(game());
    EXPECT_EQ(game().table.slots[0].slot_state, slot_free) << "no tick fills slot 0";

    start("");
    game().net = &net;
    start_dedicated_host(game());
    EXPECT_EQ(net.hosted, "torvi");
    EXPECT_FALSE(game().session.knockouts);
    net.host_ok = false;
    start("");
    game().net = &net;
    start_dedicated_host(game());
    EXPECT_FALSE(game().shell.running);
}

class Recorder : public SoundPlayer {
  public:
    void play(const SoundRequest& request) override { played.push_back(request.id); }
    std::vector<int> played;
};

// Buttons click; "Sound Effects Active" switches every sound at once and is kept at quit.
TEST_F(GameDialogsTest, TheSoundCheckBoxSwitchesSoundAndIsKept) {
    start_placed();
    Recorder speaker;
    game().speaker = &speaker;
    EXPECT_TRUE(game().sound.active) << "on without a [sound] section";
    click_menu(kSettingsButton);
    click_settings(kOtherPage);
    EXPECT_EQ(speaker.played, (std::vector<int>{sound_click, sound_click}));
    click_settings({4, 34});
    EXPECT_FALSE(game().sound.active);
    effect_spawn(game().effects, effect_klank, {0, 0, 0});
    run_tick(game(), sim_tick, nullptr);
    click_settings(kControlPage);
    EXPECT_EQ(speaker.played.size(), 2u) << "silent while off";
    quit_program(game());
    EXPECT_NE(config().find("[sound]\nactive=0\nvolume=80\n"), std::string::npos) << config();

    start(std::string(kPlacedDialogs) + "[sound]\nactive=0\nvolume=250\n");
    EXPECT_FALSE(sound_effects_on(dialogs()));
    EXPECT_EQ(dialogs().sound_volume, 100);
}

// The editor keeps its work when it closes or the game quits, and says what is unsaved.
TEST_F(GameDialogsTest, LeavingTheEditorOrQuittingNamesItsUnsavedWork) {
    start_placed();
    console_lines_init(game().console, 4);
    click_menu({4, 50});
    EXPECT_EQ(game().shell.dialog, dialog_editor);
    paint(game().editor.map, terrain_water, item_box);
    click_menu(kSettingsButton);
    EXPECT_EQ(game().shell.dialog, dialog_settings);
    const ConsoleLine* line = console_line(game().console, 3);
    EXPECT_STREQ(line->text, "the editor's map is not saved");
    EXPECT_EQ(game().editor.map.map.items[0][0], item_box) << "kept, not saved, not lost";
    testing::internal::CaptureStderr();
    quit_program(game());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "torvi: the editor's map is not saved\n");
}

// Labels show the bindings, and the buttons step them only while the dialog is open. In
// gamepad type the movement labels name the stick and only the buttons step; the device
// widgets show on the control page only.
TEST_F(GameDialogsTest, SettingsStepBindingsWhileOpenAndInGamepadTypeListAndUsePads) {
    start_placed();
    const Dialog& s = dialogs().settings;
    const auto* list = static_cast<const ListBox*>(s.find(command_gamepad_list));
    EXPECT_EQ(list->count(), 2) << "the pads are listed from the start";
    click_settings(kJumpButton);  // the dialog is closed
    EXPECT_EQ(controls().entries[control_jump], 9);
    click_menu(kSettingsButton);
    click_settings(kJumpButton);
    EXPECT_EQ(label_text(command_label_jump), "K");
    click_settings(kForwardButton);
    EXPECT_EQ(label_text(command_label_forward), "X");
    set_mode(game(), mode_playing);  // left open, it is not drawn in play: it takes nothing
    click_settings(kForwardButton);
    set_mode(game(), mode_paused);
    EXPECT_EQ(label_text(command_label_forward), "X");

    const uint32_t gamepad_widgets[] = {command_gamepad_list, command_gamepad_list_scroll,
                                        command_gamepad_refresh, command_use_gamepad,
                                        command_type_gamepad};
    auto gamepad_widgets_shown = [&](bool expected) {
        for (uint32_t id : gamepad_widgets) EXPECT_EQ(shown(s, id), expected) << id;
        EXPECT_FALSE(shown(s, command_type_keyboard));
        EXPECT_EQ(shown(s, command_label_jump), expected);
        EXPECT_EQ(shown(s, command_sound_effects), !expected);
        EXPECT_EQ(dialogs().sound_label->visible, !expected);
    };
    EXPECT_FALSE(shown(s, command_gamepad_list));
    click_settings(kTypeButton);  // keyboard -> gamepad
    EXPECT_EQ(controls().entries[control_type], input_gamepad);
    gamepad_widgets_shown(true);
    EXPECT_EQ(label_text(command_label_right), "axis xy");
    EXPECT_EQ(label_text(command_label_jump), "joy 10");
    click_settings(kForwardButton);
    click_settings(kJumpButton);
    EXPECT_EQ(controls().entries[control_forward], 23);
    EXPECT_EQ(label_text(command_label_jump), "joy 11");

    ASSERT_EQ(list->count(), 2);
    EXPECT_STREQ(list->items[0].text, "pad one");
    click_settings({kDeviceList.x, kDeviceList.y + kRow});  // "pad zero"
    click_settings(kUseGamepad);
    EXPECT_EQ(pads_.chosen, 0);
    // The scroll bar follows the list after each consumed message.
    const auto* bar = static_cast<const ScrollBar*>(s.find(command_gamepad_list_scroll));
    EXPECT_EQ(bar->maximum, 2);

    click_settings(kOtherPage);
    gamepad_widgets_shown(false);
    click_settings(kControlPage);
    gamepad_widgets_shown(true);
    click_settings(kTypeButton);  // gamepad -> keyboard
    EXPECT_EQ(controls().entries[control_type], input_keyboard);
    EXPECT_FALSE(shown(s, command_gamepad_list));
    EXPECT_EQ(label_text(command_label_right), "D") << "the bindings survive the switch";
}

// A key pressed with the cursor on a binding button binds it, in gamepad type a pad button;
// two controls on one key both show the warning colour until one changes. Quitting keeps it.
TEST_F(GameDialogsTest, PressingAKeyOverABindingButtonBindsItAndClashesShowUntilOneChanges) {
    start_placed();
    click_menu(kSettingsButton);
    EXPECT_EQ(press_over(kForwardButton, key_message(true, 'Q')), 1);
    EXPECT_EQ(label_text(command_label_forward), "Q");
    for (int vk : {int{vk_escape}, int{'1'}})
        EXPECT_EQ(press_over(kBackwardButton, key_message(true, vk)), 0);
    EXPECT_FALSE(warned(command_bind_forward));
    press_over(kBackwardButton, key_message(true, 'Q'));
    EXPECT_TRUE(warned(command_bind_forward) && warned(command_bind_backward));
    click_settings(kForwardButton);  // the click still steps: Q to R
    EXPECT_FALSE(warned(command_bind_forward) || warned(command_bind_backward));

    click_settings(kTypeButton);
    EXPECT_EQ(press_over(kJumpButton, gamepad_button_message(3, true)), 1);
    EXPECT_EQ(label_text(command_label_jump), "joy 3");
    EXPECT_EQ(press_over(kBackwardButton, gamepad_button_message(3, true)), 0) << "the stick";
    quit_program(game());
    start(config());
    EXPECT_EQ(controls().entries[control_forward], 'R' - 'A');
    EXPECT_EQ(controls().entries[control_jump], 3);
}

// Saved corners far off screen, or with the title bar above it, come back where the title
// bar can be grabbed, and are saved back as such.
TEST_F(GameDialogsTest, PositionsOffScreenAreBroughtBackWithinReach) {
    start(
        "[menu_dialog]\nposx=99999999999\nposy=0\n"
        "[settings_dialog]\nposx=-99999999999\nposy=99999\n");
    EXPECT_EQ(dialogs().menu.x, 1024 - 48);
    EXPECT_EQ(dialogs().menu.y, 11);
    EXPECT_EQ(dialogs().settings.x, 48 - dialogs().settings.width);
    EXPECT_EQ(dialogs().settings.y, 768);
    save_game_settings(dialogs(), game().editor.dialog, controls(), game().settings);
    EXPECT_NE(config().find("[menu_dialog]\nposx=976\nposy=11\n"), std::string::npos) << config();
}

// Quitting saves: positions, cut to whole pixels, then the bindings. The menu run checks
// that the sections the game only reads stay as they were.
TEST_F(GameDialogsTest, SavingWritesPositionsThenBindingsAndKeepsTheOtherSections) {
    start("");
    dialogs().menu.set_position(12.9f, 7.7f);
    dialogs().settings.set_position(-3.5f, 0.5f);
    game().editor.dialog.set_position(300.2f, 40.6f);
    controls().entries[control_jump] = 1;
    save_game_settings(dialogs(), game().editor.dialog, controls(), game().settings);
    const std::string text = config();
    // Each written line after the one before it: the order of writing.
    size_t at = 0;
    for (const char* line :
         {"[menu_dialog]\nposx=12\nposy=7\n", "[settings_dialog]\nposx=-3\nposy=0\n",
          "[editor_dialog]\nposx=300\nposy=40\n", "[input]", "type=tastatur", "backward=0",
          "forward=0", "left=0", "right=0", "jump=1", "primattack=0", "secnattack=0"}) {
        const size_t found = text.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << " missing or out of order in\n" << text;
        at = found;
    }

    controls().entries[control_type] = input_gamepad;
    save_game_settings(dialogs(), game().editor.dialog, controls(), game().settings);
    EXPECT_NE(config().find("type=gamepad"), std::string::npos);

    // A config.cfg made read-only stays as it is, with one line saying so.
    const std::string kept = config();
    ::chmod("config.cfg", 0444);
    dialogs().menu.set_position(40, 40);
    controls().entries[control_jump] = 2;
    testing::internal::CaptureStderr();
    save_game_settings(dialogs(), game().editor.dialog, controls(), game().settings);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(config(), kept);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("read-only"), std::string::npos) << said;
}

}  // namespace
