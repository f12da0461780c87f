// Whole frames of the game drawn for real with the game's data, read back.
#include "render/gl_frame.h"

#include <gtest/gtest.h>

#include "app/game_main.h"
#include "app/gl_game_setup.h"
#include "effects/effect_list.h"
#include "effects/gl_effects.h"
#include "gl_test_context.h"
#include "map/gl_terrain.h"
#include "map/terrain_mesh.h"
#include "platform/key_state.h"
#include "render/camera.h"
#include "skeleton/gl_characters.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kGrass = kTerrainTable[terrain_light_grass].colour & 0xFFFFFF;
constexpr Vec3 kOpenField = {20, 0, -20};  // light grass, far from every item

int calls = 0;
void count_call() {
    ++calls;
}

class FrameTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        work_in(TORVI_SOURCE_DIR);
        if (!loaded_) {  // the start-up steps, on this test's hidden window
            setup_game_device();
            setup_game_shaders();
            read_texture_config("Data/textures.cfg");
            load_character_assets();
            load_terrain_resources();
            load_bone_markers();
            effects_init(renderer());
            loaded_ = true;
        }
        fill_startup_map(current_map());
        init_effect_list(effect_list());
        init_key_state(key_state());
        init_player_table(player_table());
        init_session_state(session_state());
        frame_hooks() = FrameHooks{};
        calls = 0;
    }
    void TearDown() override {
        frame_hooks() = FrameHooks{};
        shell().mode = mode_menu;
        shell().dialog = dialog_none;
        GlTest::TearDown();
    }

    // Play with the local player at position, seen from close above and behind; with
    // show_player false its slot is not in the game and its health ring is off.
    static void play_at(Vec3 position, bool show_player) {
        start_game_as_host(player_table(), session_state());
        set_mode(shell(), mode_playing, camera());
        set_camera(camera(), {0, 1.5f, 1.5f}, {0, 0, 0});
        PlayerRecord& local = *local_record(player_table(), session_state());
        local.position = position;
        if (!show_player) {
            local.slot_state = SlotState::Free;
            local.health = 0;
        }
    }
    uint32_t rgb_where(Vec3 world) { return GlTest::rgb_where(renderer(), world); }

    inline static bool loaded_ = false;
};

TEST_F(FrameTest, MenuIsWhiteWithTheHealthModelAtTheOrigin) {
    EXPECT_EQ(renderer().width(), kWidth);  // set-up sized the renderer to the back buffer
    EXPECT_TRUE(renderer().toon_ready());
    for (TopLevelMode mode : {mode_menu, mode_paused}) {
        SCOPED_TRACE(mode);
        shell().mode = mode;
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

TEST_F(FrameTest, WithTheEditorOpenTheMenuFrameLeavesTheBackdropToTheEditor) {
    FrameHooks& hooks = frame_hooks();
    hooks.editor_frame = count_call;
    hooks.menu_dialog = count_call;
    hooks.open_dialog[dialog_editor] = count_call;
    hooks.open_dialog[dialog_settings] = nullptr;  // not open: never called
    shell().mode = mode_menu;
    shell().dialog = dialog_editor;
    render_frame();
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(pixels_not(kWhite), 0);  // no health model

    calls = 0;
    shell().dialog = dialog_settings;
    hooks.open_dialog[dialog_settings] = count_call;
    render_frame();
    EXPECT_EQ(calls, 2);  // the menu and the settings dialog, no editor
    EXPECT_GT(pixels_not(kWhite), 100);
}

TEST_F(FrameTest, PlayShowsTheCurrentMapUnderTheFollowedPlayerAndDarkGreyOffIt) {
    play_at(kOpenField, false);
    render_frame();
    EXPECT_EQ(camera().target.x, kOpenField.x);  // the camera followed
    EXPECT_EQ(rgb_where(kOpenField), kGrass);
    for (int p = 20; p <= 21; ++p) {
        for (int q = 20; q <= 21; ++q) set_corner(current_map(), p, q, terrain_snow);
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
    effect_spawn(effect_list(), effect_tap, kOpenField);
    render_frame();
    EXPECT_EQ(effect_list().entries[kEffectCount - 1].age, 1);
    EXPECT_GT(pixels_not(kGrass), 100);
    shell().mode = mode_paused;
    render_frame();
    EXPECT_EQ(effect_list().entries[kEffectCount - 1].age, 1);

    renderer().clear(0xFF123456);  // any other mode draws nothing
    shell().mode = static_cast<TopLevelMode>(0);
    render_frame();
    EXPECT_EQ(pixels_not(0x123456), 0);
}

TEST_F(FrameTest, CursorRayAtTheCentrePointsAlongTheView) {
    play_at(kOpenField, false);
    render_frame();
    key_state().cursor_x = kWidth / 2;
    key_state().cursor_y = kHeight / 2;
    const Ray ray = cursor_ray();
    const Vec3 forward = normalize(subtract(camera().target, camera().eye));
    EXPECT_NEAR(dot(forward, normalize(ray.direction)), 1.0f, 1e-5f);
    EXPECT_NEAR(length(subtract(ray.origin, camera().eye)), 0.0f, 1e-4f);
    // Left of the centre the ray turns towards world +x, as the camera looks along -z.
    key_state().cursor_x = 0;
    EXPECT_GT(normalize(cursor_ray().direction).x, 0.1f);
}

}  // namespace
