#include "app/gl_frame.h"

#include "app/ticks.h"
#include "console/gl_console.h"
#include "editor/gl_editor.h"

namespace {

constexpr Vec3 kMenuEye = {1.0f, 1.0f, 1.0f};
constexpr Vec3 kMenuTarget = {0.0f, 0.0f, 0.0f};
constexpr Vec3 kUp = {0.0f, 1.0f, 0.0f};

// The player the picture is about: the local one, or the one a replay's viewer follows.
const PlayerRecord* shown_player(const Game& game) {
    const int32_t slot = game.view_slot >= 0 ? game.view_slot : game.session.local_player_index;
    if (slot < 0 || slot >= kPlayerSlots) return nullptr;
    const PlayerRecord& record = game.table.slots[slot];
    return game.view_slot < 0 || record.slot_state == slot_in_game ? &record : nullptr;
}

// The game's camera, moved along to the followed player when that is not the local one.
Camera shown_camera(const Game& game, const PlayerRecord* shown) {
    Camera cam = game.cam;
    if (shown && game.view_slot >= 0) follow(cam, shown->position);
    return cam;
}

void draw_play(Screen& screen, const Game& game) {
    Renderer& device = screen.device;
    device.clear(kPlayClearColour);
    const PlayerRecord* shown = shown_player(game);
    device.set_view(view_matrix(shown_camera(game, shown)));
    draw_terrain(device, screen.terrain, game.map);
    draw_characters(device, screen.characters, game.poses, ready_font(screen.fonts.console),
                    game.hud.labels, game.table);
    effects_draw(device, screen.effects, game.effects);
    if (shown != nullptr) draw_health_ring(screen.characters, *shown);
    console_draw(game.console, ready_font(screen.fonts.console));
    if (game.dialogs.built && scoreboard_shown(game)) {
        draw_dialog(device, screen.widgets, ready_font(screen.fonts.gui),
                    game.dialogs.scoreboard.dialog);
    }
}

const Dialog* open_dialog(const Game& game, DialogMode mode) {
    switch (mode) {
        case dialog_settings:
            return &game.dialogs.settings;
        case dialog_join:
            return &game.dialogs.join;
        case dialog_create:
            return &game.dialogs.create;
        case dialog_editor:
            return &game.editor.dialog;
        default:
            return nullptr;
    }
}

void draw_editor(Screen& screen, const Game& game) {
    Renderer& device = screen.device;
    EditorDrawing drawing{screen.terrain, screen.characters, screen.markers};
    draw_editor_scene(device, drawing, game.editor, game.cam);
}

void draw_menu(Screen& screen, const Game& game) {
    Renderer& device = screen.device;
    device.clear(kMenuClearColour);
    const bool editor = game.shell.dialog == dialog_editor;
    if (editor) {
        draw_editor(screen, game);
    } else {
        device.set_view(look_at_lh(kMenuEye, kMenuTarget, kUp));
        draw_item_model(device, screen.terrain, item_model_health, identity());
    }
    Font* font = ready_font(screen.fonts.gui);
    if (game.dialogs.built) {
        draw_dialog(device, screen.widgets, font, game.dialogs.menu);
        if (const Dialog* open = open_dialog(game, game.shell.dialog)) {
            draw_dialog(device, screen.widgets, font, *open);
        }
        // Over the editor dialog: they take the mouse before it does.
        if (editor) draw_editor_file_dialogs(device, screen.widgets, font, game.editor);
    }
    // Over the dialogs: what went wrong with a game shows where the player is.
    console_draw(game.console, ready_font(screen.fonts.console));
}

}  // namespace

void render_frame(Screen& screen, const Game& game) {
    switch (game.shell.mode) {
        case mode_playing:
            draw_play(screen, game);
            break;
        case mode_menu:
        case mode_paused:
            draw_menu(screen, game);
            break;
    }
}

Ray cursor_ray(const Renderer& device, const KeyState& keys) {
    return cursor_ray(static_cast<float>(keys.cursor_x), static_cast<float>(keys.cursor_y),
                      device.width(), device.height(), device.projection(), device.view());
}
