// The game's dialogs driven through the real window procedure with mouse messages at the
// pixels their layout puts each control on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "app/modes.h"
#include "gui/game_dialogs.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

struct Point {
    int x, y;
};

// Corners the dialogs get from the test's config.cfg; apart, so no two overlap.
constexpr Point kMenuAt = {10, 20};
constexpr Point kSettingsAt = {300, 250};
// Built-in corner of the join and create dialogs.
constexpr Point kJoinCreateAt = {200, 100};

constexpr char kKeptSections[] =
    "[shell]\ntexturecfg=Data/textures.cfg\n\n"
    "[shaders]\nToonSurfaceShader=a.glsl\nToonPixelShader=b.glsl\n\n"
    "[console]\nposx=8\nposy=8\nsize=14\nfont=Tahoma\ntextlines=8\n";

constexpr char kPlacedDialogs[] =
    "[menu_dialog]\nposx=10\nposy=20\n[settings_dialog]\nposx=300\nposy=250\n";

constexpr char kKeyboardBindings[] =
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

// Menu button corners.
constexpr Point kJoinGame = {4, 4};
constexpr Point kCreateGame = {4, 17};
constexpr Point kSettingsButton = {4, 63};
constexpr Point kQuit = {4, 76};
// Join and create controls.
constexpr Point kJoinButton = {300, 460};
constexpr Point kCreateButton = {300, 460};
constexpr Point kCancel = {230, 460};
constexpr Point kRefresh = {160, 460};
constexpr Point kLoadMap = {25, 33};
constexpr Point kElementList = {25, 196};
constexpr int kRow = 16;
// Settings controls.
constexpr Point kControlPage = {4, 4};
constexpr Point kOtherPage = {70, 4};
constexpr Point kTypeButton = {4, 36};
constexpr Point kJumpButton = {500, 180};
constexpr Point kForwardButton = {160, 180};
constexpr Point kDeviceList = {80, 36};
constexpr Point kUseGamepad = {340, 52};

// Element list rows, newest first.
enum ElementRow { row_zombie = 0, row_ninja = 1, row_robot = 2, row_pirate = 3 };

class GameDialogsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.ok());
        ASSERT_TRUE(inside_.ok());
    }

    // Writes config.cfg, then builds the dialogs as start-up does.
    void start(const std::string& config) {
        put(config);
        GameDialogs& d = dialogs();
        d.gamepad = &pads_;
        build_game_dialogs(d, controls(), &game().commands);
        set_mode(game(), mode_menu);
    }
    void start_placed(const char* input = kKeyboardBindings) {
        start(std::string(kPlacedDialogs) + input);
    }

    Game& game() { return *game_; }
    GameDialogs& dialogs() { return game().dialogs; }
    ControlTable& controls() { return game().input.controls; }

    void put(const std::string& text) { std::ofstream("config.cfg", std::ios::binary) << text; }
    std::string config() const {
        std::ifstream in(dir_ / "config.cfg", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    void deliver(const Message& msg) {
        track_input(game(), msg);
        window_procedure(game(), msg);
    }
    void click(Point corner, int x, int y) {
        const int px = corner.x + x, py = corner.y + y;
        deliver(mouse_message(msg_mouse_move, 0, px, py));
        deliver(mouse_message(msg_lbutton_down, mouse_bit_left, px, py));
        deliver(mouse_message(msg_lbutton_up, 0, px, py));
    }
    // A spot inside the control whose top-left corner is (x, y) in the dialog.
    void click_control(Point corner, Point control) { click(corner, control.x + 2, control.y + 2); }
    void click_menu(Point control) { click_control(kMenuAt, control); }
    void click_settings(Point control) { click_control(kSettingsAt, control); }
    void click_join_create(Point control) { click_control(kJoinCreateAt, control); }
    void pick_element(ElementRow row) {
        click_join_create({kElementList.x, kElementList.y + kRow * row});
    }

    bool shown(const Dialog& d, uint32_t id) {
        const Widget* w = d.find(id);
        EXPECT_NE(w, nullptr) << "no widget " << id;
        return w && w->visible;
    }
    std::string label_text(uint32_t id) {
        const Widget* w = dialogs().settings.find(id);
        EXPECT_TRUE(w && w->kind == WidgetKind::label) << "no label " << id;
        return w && w->kind == WidgetKind::label ? static_cast<const Label*>(w)->text : "";
    }
    int32_t local_element() {
        const PlayerRecord* me = local_record(game().table, game().session);
        return me ? me->element : -1;
    }

    std::unique_ptr<Game> game_ = std::make_unique<Game>();
    TwoPads pads_;
    TempFolder folder_{"torvi-dialogs-"};
    WorkingFolder inside_{folder_.path()};
    const fs::path dir_ = folder_.path();
};

// Routing: which dialog the menu opens, and which menu buttons a mode shows.

TEST_F(GameDialogsTest, SettingsTwiceOpensAndClosesTheSettingsDialog) {
    start_placed();
    click_menu(kSettingsButton);
    EXPECT_EQ(game().shell.dialog, dialog_settings);
    click_menu(kSettingsButton);
    EXPECT_EQ(game().shell.dialog, dialog_none);
}

TEST_F(GameDialogsTest, JoinWhileCreateIsOpenReplacesIt) {
    start_placed();
    click_menu(kCreateGame);
    EXPECT_EQ(game().shell.dialog, dialog_create);
    click_menu(kJoinGame);
    EXPECT_EQ(game().shell.dialog, dialog_join);
}

TEST_F(GameDialogsTest, MenuModeHidesDisconnectAndResume) {
    start_placed();
    const Dialog& menu = dialogs().menu;
    EXPECT_TRUE(shown(menu, command_join_game));
    EXPECT_TRUE(shown(menu, command_create_game));
    EXPECT_TRUE(shown(menu, command_editor));
    EXPECT_FALSE(shown(menu, command_disconnect));
    EXPECT_FALSE(shown(menu, command_resume_game));
    // The shared place sends the visible button's command.
    click_menu(kJoinGame);
    EXPECT_EQ(game().shell.dialog, dialog_join);
    EXPECT_EQ(game().shell.mode, mode_menu);
}

TEST_F(GameDialogsTest, PausedMenuSwapsInResumeAndDisconnect) {
    start_placed();
    set_mode(game(), mode_playing);
    toggle_menu(game());
    const Dialog& menu = dialogs().menu;
    EXPECT_TRUE(shown(menu, command_resume_game));
    EXPECT_TRUE(shown(menu, command_disconnect));
    EXPECT_TRUE(shown(menu, command_editor));
    EXPECT_TRUE(shown(menu, command_settings));
    EXPECT_TRUE(shown(menu, command_quit));
    EXPECT_FALSE(shown(menu, command_join_game));
    EXPECT_FALSE(shown(menu, command_create_game));
    click_menu(kJoinGame);  // now "resume game"
    EXPECT_EQ(game().shell.mode, mode_playing);
}

// Join and create.

TEST_F(GameDialogsTest, CreateWithTheListUntouchedHostsAsZombie) {
    start_placed();
    click_menu(kCreateGame);
    click_join_create(kCreateButton);
    EXPECT_EQ(game().shell.mode, mode_playing);
    EXPECT_TRUE(game().session.host);
    EXPECT_EQ(local_element(), 0);
    EXPECT_EQ(game().shell.dialog, dialog_create) << "starting a game keeps the dialog open";
}

TEST_F(GameDialogsTest, RobotThenCreateHostsAsRobot) {
    start_placed();
    click_menu(kCreateGame);
    pick_element(row_robot);
    EXPECT_EQ(game().shell.mode, mode_menu) << "choosing an element starts nothing";
    click_join_create(kCreateButton);
    EXPECT_EQ(game().shell.mode, mode_playing);
    EXPECT_EQ(local_element(), 3);
}

TEST_F(GameDialogsTest, JoinEntersAsClientWithTheChosenElement) {
    start_placed();
    click_menu(kJoinGame);
    pick_element(row_pirate);
    click_join_create(kJoinButton);
    EXPECT_EQ(game().shell.mode, mode_playing);
    EXPECT_TRUE(game().session.client);
    EXPECT_FALSE(game().session.host);
    EXPECT_EQ(local_element(), 1);
}

TEST_F(GameDialogsTest, JoinWithTheListUntouchedGivesZombie) {
    start_placed();
    click_menu(kJoinGame);
    click_join_create(kJoinButton);
    EXPECT_EQ(local_element(), 0);
}

TEST_F(GameDialogsTest, CancelClosesEitherDialog) {
    start_placed();
    click_menu(kJoinGame);
    click_join_create(kCancel);
    EXPECT_EQ(game().shell.dialog, dialog_none);
    click_menu(kCreateGame);
    click_join_create(kCancel);
    EXPECT_EQ(game().shell.dialog, dialog_none);
    EXPECT_EQ(game().shell.mode, mode_menu);
}

TEST_F(GameDialogsTest, RefreshAndLoadMapStartNothing) {
    start_placed();
    click_menu(kJoinGame);
    click_join_create(kRefresh);
    EXPECT_EQ(game().shell.dialog, dialog_join);
    click_menu(kCreateGame);
    click_join_create(kLoadMap);
    EXPECT_EQ(game().shell.dialog, dialog_create);
    EXPECT_EQ(game().shell.mode, mode_menu);
    EXPECT_FALSE(game().session.host || game().session.client);
}

TEST_F(GameDialogsTest, ElementListsReadZombieNinjaRobotPirate) {
    start_placed();
    for (uint32_t id : {command_join_elements, command_create_elements}) {
        const Dialog& d = id == command_join_elements ? dialogs().join : dialogs().create;
        const Widget* w = d.find(id);
        ASSERT_TRUE(w && w->kind == WidgetKind::list_box);
        const auto& items = static_cast<const ListBox*>(w)->items;
        ASSERT_EQ(items.size(), 4u);
        const char* names[] = {"zombie", "ninja", "robot", "pirate"};
        const int32_t elements[] = {0, 2, 3, 1};
        for (int i = 0; i < 4; ++i) {
            EXPECT_STREQ(items[i].text, names[i]);
            EXPECT_EQ(*static_cast<const int32_t*>(items[i].data), elements[i]);
        }
    }
}

// The settings dialog.

TEST_F(GameDialogsTest, EmptyConfigPutsDialogsAtTheOriginWithTheKeyboardButton) {
    start("");
    EXPECT_EQ(dialogs().menu.x, 0.0f);
    EXPECT_EQ(dialogs().menu.y, 0.0f);
    EXPECT_EQ(dialogs().settings.x, 0.0f);
    EXPECT_EQ(dialogs().settings.y, 0.0f);
    EXPECT_TRUE(shown(dialogs().settings, command_type_keyboard));
    EXPECT_FALSE(shown(dialogs().settings, command_type_gamepad));
    EXPECT_FALSE(shown(dialogs().settings, command_gamepad_list));
    for (uint32_t id :
         {command_label_forward, command_label_backward, command_label_left, command_label_right,
          command_label_primattack, command_label_secnattack, command_label_jump}) {
        EXPECT_EQ(label_text(id), "A") << id;
    }
}

TEST_F(GameDialogsTest, BuiltInCornersBeforeAnyConfigMatter) {
    start_placed();
    EXPECT_EQ(dialogs().menu.x, 10.0f);
    EXPECT_EQ(dialogs().settings.y, 250.0f);
    EXPECT_EQ(dialogs().join.x, 200.0f);
    EXPECT_EQ(dialogs().create.y, 100.0f);
    EXPECT_EQ(dialogs().create.width, 340.0f);
    EXPECT_EQ(dialogs().settings.width, 640.0f);
    EXPECT_STREQ(dialogs().settings.title, "Settings");
    EXPECT_STREQ(dialogs().menu.title, "Menu");
}

TEST_F(GameDialogsTest, LabelsShowTheLoadedBindings) {
    start_placed();
    EXPECT_EQ(label_text(command_label_forward), "W");
    EXPECT_EQ(label_text(command_label_backward), "S");
    EXPECT_EQ(label_text(command_label_left), "A");
    EXPECT_EQ(label_text(command_label_right), "D");
    EXPECT_EQ(label_text(command_label_jump), "J");
    EXPECT_EQ(label_text(command_label_primattack), "K");
    EXPECT_EQ(label_text(command_label_secnattack), "L");
}

TEST_F(GameDialogsTest, SteppingABindingThroughItsButtonUpdatesItsLabel) {
    start_placed();
    click_menu(kSettingsButton);
    click_settings(kJumpButton);
    EXPECT_EQ(controls().entries[control_jump], 10);
    EXPECT_EQ(label_text(command_label_jump), "K");
    click_settings(kForwardButton);
    EXPECT_EQ(label_text(command_label_forward), "X");
}

TEST_F(GameDialogsTest, SettingsButtonsDoNothingWhileTheDialogIsClosed) {
    start_placed();
    click_settings(kJumpButton);
    EXPECT_EQ(controls().entries[control_jump], 9);
}

TEST_F(GameDialogsTest, GamepadTypeShowsAxisLabelsAndTheDeviceWidgets) {
    start_placed("[input]\ntype=gamepad\njump=3\n");
    const Dialog& s = dialogs().settings;
    EXPECT_TRUE(shown(s, command_type_gamepad));
    EXPECT_FALSE(shown(s, command_type_keyboard));
    for (uint32_t id : {command_gamepad_list, command_gamepad_list_scroll, command_gamepad_refresh,
                        command_use_gamepad}) {
        EXPECT_TRUE(shown(s, id)) << id;
    }
    EXPECT_EQ(label_text(command_label_forward), "axis xy");
    EXPECT_EQ(label_text(command_label_left), "axis xy");
    EXPECT_EQ(label_text(command_label_jump), "joy 3");
}

TEST_F(GameDialogsTest, OtherPageAndBackInGamepadTypeShowsTheDeviceWidgetsAgain) {
    start_placed("[input]\ntype=gamepad\n");
    const Dialog& s = dialogs().settings;
    click_menu(kSettingsButton);
    click_settings(kOtherPage);
    EXPECT_TRUE(shown(s, command_sound_effects));
    EXPECT_TRUE(dialogs().sound_label && dialogs().sound_label->visible);
    for (uint32_t id : {command_gamepad_list, command_gamepad_list_scroll, command_gamepad_refresh,
                        command_use_gamepad, command_type_gamepad, command_type_keyboard,
                        command_bind_jump, command_label_jump}) {
        EXPECT_FALSE(shown(s, id)) << id;
    }
    click_settings(kControlPage);
    for (uint32_t id :
         {command_gamepad_list, command_gamepad_list_scroll, command_gamepad_refresh,
          command_use_gamepad, command_type_gamepad, command_bind_jump, command_label_jump}) {
        EXPECT_TRUE(shown(s, id)) << id;
    }
    EXPECT_FALSE(shown(s, command_type_keyboard));
    EXPECT_FALSE(shown(s, command_sound_effects));
    EXPECT_FALSE(dialogs().sound_label->visible);
}

TEST_F(GameDialogsTest, SwitchingTypeListsPadsAndUseGamepadTakesTheSelectedOne) {
    start_placed();
    const Dialog& s = dialogs().settings;
    click_menu(kSettingsButton);
    click_settings(kTypeButton);  // keyboard -> gamepad
    EXPECT_EQ(controls().entries[control_type], input_gamepad);
    EXPECT_TRUE(shown(s, command_type_gamepad));
    EXPECT_FALSE(shown(s, command_type_keyboard));
    EXPECT_EQ(label_text(command_label_right), "axis xy");
    const auto* list = static_cast<const ListBox*>(s.find(command_gamepad_list));
    ASSERT_EQ(list->count(), 2);
    EXPECT_STREQ(list->items[0].text, "pad one");
    click_settings({kDeviceList.x, kDeviceList.y + kRow});  // "pad zero"
    click_settings(kUseGamepad);
    EXPECT_EQ(pads_.chosen, 0);
    // The scroll bar follows the list after each consumed message.
    const auto* bar = static_cast<const ScrollBar*>(s.find(command_gamepad_list_scroll));
    EXPECT_EQ(bar->maximum, 2);
    click_settings(kTypeButton);  // gamepad -> keyboard
    EXPECT_EQ(controls().entries[control_type], input_keyboard);
    EXPECT_FALSE(shown(s, command_gamepad_list));
    EXPECT_EQ(label_text(command_label_right), "D") << "the bindings survive the switch";
}

TEST_F(GameDialogsTest, MovementButtonsDoNotStepInGamepadType) {
    start_placed("[input]\ntype=gamepad\nforward=4\njump=25\n");
    click_menu(kSettingsButton);
    click_settings(kForwardButton);
    click_settings(kJumpButton);
    EXPECT_EQ(controls().entries[control_forward], 4);
    EXPECT_EQ(label_text(command_label_jump), "joy 0");
}

// Quitting.

TEST_F(GameDialogsTest, QuitWritesPositionsThenBindingsAndKeepsTheOtherSections) {
    start(kKeptSections);
    constexpr Point kMenuMoved = {40, 60};
    dialogs().menu.set_position(kMenuMoved.x, kMenuMoved.y);  // from (0, 0): title off screen
    dialogs().settings.set_position(kSettingsAt.x, kSettingsAt.y);
    click_control(kMenuMoved, kSettingsButton);
    // Drag the settings dialog by its title bar, 11 pixels above its body.
    deliver(mouse_message(msg_mouse_move, 0, 320, 245));
    deliver(mouse_message(msg_lbutton_down, mouse_bit_left, 320, 245));
    deliver(mouse_message(msg_mouse_move, mouse_bit_left, 350, 265));
    deliver(mouse_message(msg_lbutton_up, 0, 350, 265));
    EXPECT_EQ(dialogs().settings.x, 330.0f);
    click_control({330, 270}, kJumpButton);
    click_control(kMenuMoved, kQuit);
    EXPECT_FALSE(game().shell.running);

    const std::string text = config();
    EXPECT_EQ(text.rfind(kKeptSections, 0), 0u) << "the shell, shaders and console sections";
    EXPECT_EQ(text.find("editor_dialog"), std::string::npos);
    // Each written line after the one before it: the order of writing.
    size_t at = 0;
    for (const char* line : {"[menu_dialog]", "posx=40", "posy=60", "[settings_dialog]", "posx=330",
                             "posy=270", "[input]", "type=tastatur", "backward=0", "forward=0",
                             "left=0", "right=0", "jump=1", "primattack=0", "secnattack=0"}) {
        const size_t found = text.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << " missing or out of order in\n" << text;
        at = found;
    }
}

TEST_F(GameDialogsTest, SavingCutsTheFractionAndLeavesTheEditorSectionAlone) {
    start(std::string(kKeptSections) + "[editor_dialog]\nposx=7\nposy=9\n");
    dialogs().menu.set_position(12.9f, 7.7f);
    dialogs().settings.set_position(-3.5f, 0.5f);
    controls().entries[control_type] = input_gamepad;
    save_game_settings(dialogs(), controls());
    const std::string text = config();
    EXPECT_NE(text.find("[menu_dialog]\nposx=12\nposy=7\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[settings_dialog]\nposx=-3\nposy=0\n"), std::string::npos);
    EXPECT_NE(text.find("[editor_dialog]\nposx=7\nposy=9\n"), std::string::npos);
    EXPECT_NE(text.find("type=gamepad"), std::string::npos);
    EXPECT_EQ(text.rfind(kKeptSections, 0), 0u);
}

}  // namespace
