// The game's dialogs driven through the real window procedure with mouse messages at the
// pixels their layout puts each control on. What the window procedure does on its own is
// in modes_test; here the dialogs' work and what their commands start.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "app/modes.h"
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

// Control corners: menu buttons; join and create controls; settings controls.
constexpr Point kJoinGame = {4, 4}, kCreateGame = {4, 17}, kSettingsButton = {4, 63};
constexpr Point kStart = {300, 460}, kCancel = {230, 460}, kRefresh = {160, 460},
                kLoadMap = {25, 33}, kElementList = {25, 196};
constexpr int kRow = 16;
constexpr Point kControlPage = {4, 4}, kOtherPage = {70, 4}, kTypeButton = {4, 36},
                kJumpButton = {500, 180}, kForwardButton = {160, 180}, kDeviceList = {80, 36},
                kUseGamepad = {340, 52};

class GameDialogsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(inside_.ok());
        reset();
    }
    // A fresh game: the next start builds its dialogs afresh.
    void reset() {
        game_ = std::make_unique<Game>();
        pads_.chosen = -1;
    }

    // Writes config.cfg, then builds the dialogs as start-up does.
    void start(const std::string& config) {
        std::ofstream("config.cfg", std::ios::binary) << config;
        dialogs().gamepad = &pads_;
        build_game_dialogs(dialogs(), controls(), &game().commands);
        set_mode(game(), mode_menu);
    }
    void start_placed(const char* input = kKeyboardBindings) {
        start(std::string(kPlacedDialogs) + input);
    }

    Game& game() { return *game_; }
    GameDialogs& dialogs() { return game().dialogs; }
    ControlTable& controls() { return game().input.controls; }
    static std::string config() {
        std::ifstream in("config.cfg", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

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
    void click_menu(Point control) { click(kMenuAt, control); }
    void click_settings(Point control) { click(kSettingsAt, control); }
    void click_join_create(Point control) { click(kJoinCreateAt, control); }

    bool shown(const Dialog& d, uint32_t id) {
        const Widget* w = d.find(id);
        EXPECT_NE(w, nullptr) << "no widget " << id;
        return w && w->visible;
    }
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

TEST_F(GameDialogsTest, TheMenusSharedPlaceSendsTheButtonItsModeShows) {
    start_placed();
    EXPECT_TRUE(shown(dialogs().menu, command_join_game));
    EXPECT_FALSE(shown(dialogs().menu, command_resume_game));
    click_menu(kJoinGame);
    EXPECT_EQ(game().shell.dialog, dialog_join);
    EXPECT_EQ(game().shell.mode, mode_menu);
    set_mode(game(), mode_playing);
    toggle_menu(game());
    EXPECT_TRUE(shown(dialogs().menu, command_resume_game));
    EXPECT_FALSE(shown(dialogs().menu, command_join_game));
    click_menu(kJoinGame);  // now "resume game"
    EXPECT_EQ(game().shell.mode, mode_playing);
}

TEST_F(GameDialogsTest, CreateHostsAndJoinEntersAsClientWithTheChosenElement) {
    struct Case {
        Point menu_button;
        int row;  // of the element list, newest first; -1: untouched
        int32_t element;
    };
    const Case cases[] = {
        {kCreateGame, -1, 0}, {kCreateGame, 2, 3}, {kJoinGame, 3, 1}, {kJoinGame, 1, 2}};
    for (const Case& c : cases) {
        const bool create = c.menu_button.y == kCreateGame.y;
        SCOPED_TRACE(testing::Message() << (create ? "create" : "join") << " row " << c.row);
        reset();
        start_placed();
        click_menu(c.menu_button);
        if (c.row >= 0) click_join_create({kElementList.x, kElementList.y + kRow * c.row});
        EXPECT_EQ(game().shell.mode, mode_menu) << "choosing an element starts nothing";
        click_join_create(kStart);
        EXPECT_EQ(game().shell.mode, mode_playing);
        EXPECT_EQ(game().session.host, create);
        EXPECT_EQ(game().session.client, !create);
        const PlayerRecord* me = local_record(game().table, game().session);
        ASSERT_NE(me, nullptr);
        EXPECT_EQ(me->element, c.element);
        EXPECT_EQ(game().shell.dialog, create ? dialog_create : dialog_join)
            << "starting a game keeps the dialog open";
    }
}

TEST_F(GameDialogsTest, CancelClosesEitherDialogAndRefreshAndLoadMapStartNothing) {
    start_placed();
    for (Point button : {kJoinGame, kCreateGame}) {
        click_menu(button);
        click_join_create(button.y == kJoinGame.y ? kRefresh : kLoadMap);
        EXPECT_EQ(game().shell.dialog, button.y == kJoinGame.y ? dialog_join : dialog_create);
        click_join_create(kCancel);
        EXPECT_EQ(game().shell.dialog, dialog_none);
    }
    EXPECT_EQ(game().shell.mode, mode_menu);
    EXPECT_FALSE(game().session.host || game().session.client);
}

TEST_F(GameDialogsTest, EmptyConfigPutsDialogsAtTheOriginInKeyboardType) {
    start("");
    EXPECT_EQ(dialogs().menu.x, 0.0f);
    EXPECT_EQ(dialogs().menu.y, 0.0f);
    EXPECT_EQ(dialogs().settings.x, 0.0f);
    EXPECT_EQ(dialogs().settings.y, 0.0f);
    EXPECT_TRUE(shown(dialogs().settings, command_type_keyboard));
    EXPECT_FALSE(shown(dialogs().settings, command_type_gamepad));
    EXPECT_FALSE(shown(dialogs().settings, command_gamepad_list));
    EXPECT_EQ(label_text(command_label_jump), "A");
}

TEST_F(GameDialogsTest, LabelsShowTheBindingsAndStepWithTheirButtonsOnlyWhileOpen) {
    start_placed();
    const uint32_t labels[] = {command_label_forward,   command_label_backward,
                               command_label_left,      command_label_right,
                               command_label_jump,      command_label_primattack,
                               command_label_secnattack};
    const char* letters[] = {"W", "S", "A", "D", "J", "K", "L"};
    for (int k = 0; k < 7; ++k) EXPECT_EQ(label_text(labels[k]), letters[k]) << labels[k];
    click_settings(kJumpButton);  // the dialog is closed
    EXPECT_EQ(controls().entries[control_jump], 9);
    click_menu(kSettingsButton);
    click_settings(kJumpButton);
    EXPECT_EQ(controls().entries[control_jump], 10);
    EXPECT_EQ(label_text(command_label_jump), "K");
    click_settings(kForwardButton);
    EXPECT_EQ(label_text(command_label_forward), "X");
}

TEST_F(GameDialogsTest, GamepadTypeShowsAxisLabelsAndTheDeviceWidgetsOnTheControlPageOnly) {
    start_placed("[input]\ntype=gamepad\nforward=4\njump=25\n");
    const Dialog& s = dialogs().settings;
    const uint32_t device_widgets[] = {command_gamepad_list, command_gamepad_list_scroll,
                                       command_gamepad_refresh, command_use_gamepad};
    EXPECT_FALSE(shown(s, command_type_keyboard));
    for (uint32_t id : device_widgets) EXPECT_TRUE(shown(s, id)) << id;
    EXPECT_EQ(label_text(command_label_forward), "axis xy");
    EXPECT_EQ(label_text(command_label_left), "axis xy");
    EXPECT_EQ(label_text(command_label_jump), "joy 25");
    click_menu(kSettingsButton);
    click_settings(kForwardButton);  // movement does not step in gamepad type
    click_settings(kJumpButton);
    EXPECT_EQ(controls().entries[control_forward], 4);
    EXPECT_EQ(label_text(command_label_jump), "joy 0");

    click_settings(kOtherPage);
    EXPECT_TRUE(shown(s, command_sound_effects));
    EXPECT_TRUE(dialogs().sound_label && dialogs().sound_label->visible);
    for (uint32_t id : device_widgets) EXPECT_FALSE(shown(s, id)) << id;
    for (uint32_t id :
         {command_type_gamepad, command_type_keyboard, command_bind_jump, command_label_jump}) {
        EXPECT_FALSE(shown(s, id)) << id;
    }
    click_settings(kControlPage);
    for (uint32_t id : device_widgets) EXPECT_TRUE(shown(s, id)) << id;
    for (uint32_t id : {command_type_gamepad, command_bind_jump, command_label_jump}) {
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

// Quitting saves (see the menu run in the app tests): positions, cut to whole pixels, then
// the bindings, after the sections the game only reads.
TEST_F(GameDialogsTest, SavingWritesPositionsThenBindingsAndKeepsTheOtherSections) {
    start(kKeptSections);
    dialogs().menu.set_position(12.9f, 7.7f);
    dialogs().settings.set_position(-3.5f, 0.5f);
    controls().entries[control_jump] = 1;
    save_game_settings(dialogs(), controls());
    std::string text = config();
    EXPECT_EQ(text.rfind(kKeptSections, 0), 0u) << "the shell, shaders and console sections";
    EXPECT_EQ(text.find("editor_dialog"), std::string::npos);
    // Each written line after the one before it: the order of writing.
    size_t at = 0;
    for (const char* line :
         {"[menu_dialog]\nposx=12\nposy=7\n", "[settings_dialog]\nposx=-3\nposy=0\n", "[input]",
          "type=tastatur", "backward=0", "forward=0", "left=0", "right=0", "jump=1", "primattack=0",
          "secnattack=0"}) {
        const size_t found = text.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << " missing or out of order in\n" << text;
        at = found;
    }

    reset();  // an editor section already there is left alone
    start(std::string(kKeptSections) + "[editor_dialog]\nposx=7\nposy=9\n");
    controls().entries[control_type] = input_gamepad;
    save_game_settings(dialogs(), controls());
    text = config();
    EXPECT_NE(text.find("[editor_dialog]\nposx=7\nposy=9\n"), std::string::npos) << text;
    EXPECT_NE(text.find("type=gamepad"), std::string::npos);
}

}  // namespace
