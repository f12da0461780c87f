// Whole frames of the game drawn for real with the game's data, read back.
#include "app/gl_frame.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/gl_game_setup.h"
#include "app/modes.h"
#include "app/ticks.h"
#include "render/gl_test_context.h"
#include "sound/sdl_sound.h"
#include "support/counting_allocator.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kGrass = kTerrainTable[terrain_light_grass].colour & 0xFFFFFF;
constexpr Vec3 kOpenField = {20, 0, -20};  // light grass, far from every item

class FrameTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        work_in(TORVI_SOURCE_DIR);
        load_settings(game().settings);
        if (!screen_) {  // the start-up steps, on this test's hidden window, once
            screen_ = new Screen;
            setup_game_device(*screen_, game());
            setup_game_shaders(*screen_, game().settings);
            Renderer& device = screen_->device;
            read_texture_config(device.textures(), "Data/textures.cfg");
            load_character_assets(screen_->characters, device);
            load_terrain_resources(screen_->terrain, device);
            load_bone_markers(screen_->markers, device.textures());
            effects_init(screen_->effects, device);
            widgets_device_init(screen_->widgets, device);
        }
        fill_startup_map(game().map);
    }

    // What a render tick does: the frame's own work around the drawing.
    void render_frame() {
        run_frame_step(game());
        ::render_frame(*screen_, game());
        end_frame_step(game());
    }
    Renderer& renderer() { return screen_->device; }
    Game& game() { return *game_; }

    // Play with the local player at position, seen from close above and behind; with
    // show_player false its slot is not in the game and its health ring is off.
    void play_at(Vec3 position, bool show_player) {
        start_game_as_host(game().table, game().session);
        set_mode(game(), mode_playing);
        set_camera(game().cam, {0, 1.5f, 1.5f}, {0, 0, 0});
        PlayerRecord& local = *local_record(game().table, game().session);
        local.position = position;
        if (!show_player) {
            local.slot_state = slot_free;
            local.health = 0;
        }
    }
    uint32_t rgb_where(Vec3 world) { return GlTest::rgb_where(renderer(), world); }

    std::unique_ptr<Game> game_ = std::make_unique<Game>();
    inline static Screen* screen_ = nullptr;  // one device and its assets for every test
};

TEST_F(FrameTest, MenuIsWhiteWithTheHealthModelAtTheOriginUnlessTheEditorIsOpen) {
    EXPECT_EQ(renderer().width(), kWidth);  // set-up sized the renderer to the back buffer
    EXPECT_TRUE(renderer().toon_ready());
    for (TopLevelMode mode : {mode_menu, mode_paused}) {
        SCOPED_TRACE(mode);
        game().shell.mode = mode;
        render_frame();
        const std::vector<uint8_t> image = pixels();
        for (int corner = 0; corner < 4; ++corner) {
            EXPECT_EQ(rgba_at(image, corner % 2 * (kWidth - 1), corner / 2 * (kHeight - 1)) >> 8,
                      kWhite);
        }
        // The origin, seen from (1, 1, 1), is the red heart.
        const uint32_t centre = rgb_where({0, 0, 0});
        const int r = centre >> 16, g = (centre >> 8) & 0xFF, b = centre & 0xFF;
        EXPECT_GT(r, g + 40);
        EXPECT_GT(r, b + 40);
    }
}

// The editor's frame shows its own map, the painted vertex in water and the square under
// the cursor brighter; the figures sub-mode shows the blue bone figure.
TEST_F(FrameTest, TheEditorShowsItsMapWithTheSquareUnderTheCursorOrItsFigure) {
    Editor& editor = game().editor;
    build_editor(editor, game().settings, nullptr, kWidth, kHeight);
    game().shell.dialog = dialog_editor;
    set_camera(game().cam, {4.5f, 6, 1.5f}, {4.5f, 0, -4.5f});
    editor.map.picked_p = editor.map.picked_q = 5;
    paint(editor.map, terrain_water, item_none);
    const Vec3 vertex = {4.5f, 0, -4.5f};  // the middle of vertex (5, 5)'s pick square
    render_frame();
    const uint32_t water = rgb_where(vertex);
    EXPECT_GT(water & 0xFF, ((water >> 8) & 0xFF) + 20) << std::hex << water;
    editor.map.pick_hit = true;
    render_frame();
    EXPECT_EQ(rgb_where(vertex), water + 0x333333) << std::hex << water;
    EXPECT_EQ(game().cam.eye.x, 4.5f);  // the cursor was never in the window: no edge pan

    Console console;
    EditorWorld world{game().cam, console, game().keys, kWidth, kHeight, game().poses};
    editor_handler(editor, world, command_message(command_sub_mode_pose));
    render_frame();
    const int blue = lit_pixels([](uint32_t c) {
                         const int r = c >> 16, g = (c >> 8) & 0xFF, b = c & 0xFF;
                         return b > r + 60 && b > g + 30;
                     }).count;
    EXPECT_GT(blue, 20);
}

// The cursor ray at the centre of the screen points along the view.
TEST_F(FrameTest, PlayShowsTheCurrentMapUnderTheFollowedPlayerAndDarkGreyOffIt) {
    play_at(kOpenField, false);
    render_frame();
    EXPECT_EQ(game().cam.target.x, kOpenField.x);  // the camera followed
    EXPECT_EQ(rgb_where(kOpenField), kGrass);
    game().keys.cursor_x = kWidth / 2;
    game().keys.cursor_y = kHeight / 2;
    const Ray ray = cursor_ray(renderer(), game().keys);
    const Vec3 forward = normalize(subtract(game().cam.target, game().cam.eye));
    EXPECT_NEAR(dot(forward, normalize(ray.direction)), 1.0f, 1e-5f);
    EXPECT_NEAR(length(subtract(ray.origin, game().cam.eye)), 0.0f, 1e-4f);
    game().keys.cursor_x = 0;  // left of it the ray turns to +x, the camera looking along -z
    EXPECT_GT(normalize(cursor_ray(renderer(), game().keys).direction).x, 0.1f);
    for (int p = 20; p <= 21; ++p) {
        for (int q = 20; q <= 21; ++q) set_corner(game().map, p, q, terrain_snow);
    }
    render_frame();
    EXPECT_EQ(rgb_where(kOpenField), kTerrainTable[terrain_snow].colour & 0xFFFFFF);

    play_at({-20, 0, 20}, false);
    render_frame();
    EXPECT_EQ(pixels_not(0x202020), 0);
}

TEST_F(FrameTest, PlayDrawsThePlayerAndTheEffectsWhichAgeOnlyInPlay) {
    play_at(kOpenField, false);
    render_frame();
    const int plain = pixels_not(kGrass);
    play_at(kOpenField, true);
    render_frame();
    EXPECT_GT(pixels_not(kGrass), plain + 100);

    play_at(kOpenField, false);
    effect_spawn(game().effects, effect_tap, kOpenField);
    render_frame();
    EXPECT_EQ(game().effects.entries[kEffectCount - 1].age, 1);
    EXPECT_GT(pixels_not(kGrass), 100);
    game().shell.mode = mode_paused;
    render_frame();
    EXPECT_EQ(game().effects.entries[kEffectCount - 1].age, 1);

    renderer().clear(0xFF123456);  // any other mode draws nothing
    game().shell.mode = static_cast<TopLevelMode>(0);
    render_frame();
    EXPECT_EQ(pixels_not(0x123456), 0);
}

// Twelve players of every element walking, attacking and idling, with effects in the air.
void stage_twelve(Game& game) {
    start_game_as_host(game.table, game.session);
    set_mode(game, mode_playing);
    for (int i = 0; i < kPlayerSlots; ++i) {
        PlayerRecord& p = game.table.slots[i];
        if (i > 0) p = game.table.slots[0];
        p.position = {8.0f + (i % 4), 0.0f, -8.0f - (i / 4)};
        p.velocity = {i % 3 == 0 ? 20.0f : 0.0f, 0.0f, i % 3 == 1 ? -20.0f : 0.0f};
        p.element = i % 4;
        p.action = i % 4 == 3 ? action_attack : (i % 4 == 1 ? action_idle : action_walk);
        p.slot_state = slot_in_game;
    }
    for (int i = 0; i < 10; ++i) effect_spawn(game.effects, i % 3, {8.0f, 0.5f, -8.0f});
}

std::vector<int>* volatile g_seen;  // an allocation that escapes is counted

long allocations_in(int rounds, const std::function<void()>& step) {
    step();  // warm: first uses may set up what they keep
    start_counting_allocations();
    for (int i = 0; i < rounds; ++i) step();
    return stop_counting_allocations();
}

// Holding Tab in a game shows the list of players over it, drawn in the dialogs' skin,
// without allocating.
TEST_F(FrameTest, HoldingTabInAGameShowsTheListOfPlayers) {
    game().dialogs.screen_width = kWidth;
    game().dialogs.screen_height = kHeight;
    build_game_dialogs(game().dialogs, game().input.controls, game().settings, &game().commands);
    play_at({0, 0, 0}, true);
    const int x = kWidth / 2, y = 4;  // inside the list, which is larger than this window
    auto rgb_at = [&] { return rgba_at(pixels(), x, y) >> 8; };
    render_frame();
    const uint32_t without = rgb_at();
    track_input(game(), key_message(true, vk_tab));
    EXPECT_EQ(allocations_in(3, [&] { render_frame(); }), 0);
    EXPECT_NE(rgb_at(), without);
    EXPECT_STREQ(game().dialogs.scoreboard.cells[0][0]->text, kDefaultPlayerName);
    track_input(game(), key_message(false, vk_tab));
    render_frame();
    EXPECT_EQ(rgb_at(), without);
}

TEST_F(FrameTest, SteadyTicksPlayFramesAndMenuFramesAllocateNothing) {
    EXPECT_GT(allocations_in(1, [] { g_seen = std::make_unique<std::vector<int>>(9).get(); }), 0);
    stage_twelve(game());
    track_input(game(), key_message(true, 'W'));
    // Every tick hears a klank and plays it on the mixer (SDL's silent driver).
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SdlSound sound;
    ASSERT_TRUE(sound.open());
    ASSERT_EQ(sound.load(), kSoundCount);
    game().speaker = &sound;
    EXPECT_EQ(allocations_in(200,
                             [&] {
                                 effect_spawn(game().effects, effect_klank, {1, 0, -1});
                                 run_tick(game(), sim_tick, nullptr);
                                 run_tick(game(), phase_tick, nullptr);
                             }),
              0);
    game().speaker = nullptr;
    EXPECT_EQ(allocations_in(30, [&] { render_frame(); }), 0);

    build_game_dialogs(game().dialogs, game().input.controls, game().settings, &game().commands);
    set_mode(game(), mode_paused);
    game().shell.dialog = dialog_settings;
    EXPECT_EQ(allocations_in(30, [&] { render_frame(); }), 0);

    // The editor: its frames in both sub-modes, and painting strokes with their undo.
    build_editor(game().editor, game().settings, &game().commands, kWidth, kHeight);
    game().shell.dialog = dialog_editor;
    EXPECT_EQ(allocations_in(30,
                             [&] {
                                 window_procedure(game(), mouse_message(msg_lbutton_down,
                                                                        mouse_bit_left, 40, 20));
                                 window_procedure(game(), mouse_message(msg_lbutton_up, 0, 40, 20));
                                 render_frame();
                             }),
              0);
    window_procedure(game(), command_message(command_sub_mode_pose));
    EXPECT_EQ(allocations_in(30, [&] { render_frame(); }), 0);
}

}  // namespace
