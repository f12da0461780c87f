#include "app/gl_frame.h"

#include "app/game_main.h"
#include "console/gl_console.h"
#include "effects/gl_effects.h"
#include "map/gl_terrain.h"
#include "platform/key_state.h"
#include "world/camera.h"
#include "skeleton/gl_characters.h"
#include "world/player_table.h"

namespace {

constexpr Vec3 kMenuEye = {1.0f, 1.0f, 1.0f};
constexpr Vec3 kMenuTarget = {0.0f, 0.0f, 0.0f};
constexpr Vec3 kUp = {0.0f, 1.0f, 0.0f};

void call(void (*hook)()) {
    if (hook) hook();
}

void draw_play(Renderer& device) {
    device.clear(kPlayClearColour);
    const PlayerRecord* local = local_record(player_table(), session_state());
    if (local != nullptr) follow(camera(), local->position);
    device.set_view(view_matrix(camera()));
    draw_terrain(device, current_map());
    draw_characters(device, player_table());
    effects_draw(device);
    if (local != nullptr) draw_health_ring(device, *local);
    console_draw(device);
}

void draw_menu(Renderer& device, DialogMode dialog) {
    device.clear(kMenuClearColour);
    const FrameHooks& hooks = frame_hooks();
    if (dialog != dialog_editor) {
        device.set_view(look_at_lh(kMenuEye, kMenuTarget, kUp));
        draw_item_model(device, item_model_health, identity());
        console_draw(device);
    } else {
        call(hooks.editor_frame);
    }
    call(hooks.menu_dialog);
    if (dialog > dialog_none && dialog < kDialogModeCount) call(hooks.open_dialog[dialog]);
}

}  // namespace

FrameHooks& frame_hooks() {
    static FrameHooks hooks;
    return hooks;
}

void render_frame(Renderer& device) {
    const Shell& state = shell();
    switch (state.mode) {
        case mode_playing:
            draw_play(device);
            break;
        case mode_menu:
        case mode_paused:
            draw_menu(device, state.dialog);
            break;
    }
}

void render_frame() {
    render_frame(renderer());
}

Ray cursor_ray(const Renderer& device) {
    const KeyState& keys = key_state();
    return cursor_ray(static_cast<float>(keys.cursor_x), static_cast<float>(keys.cursor_y),
                      device.width(), device.height(), device.projection(), device.view());
}

Ray cursor_ray() {
    return cursor_ray(renderer());
}
