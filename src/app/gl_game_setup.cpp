#include "app/gl_game_setup.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <cstdio>
#include <filesystem>

#include "app/game_main.h"
#include "config/settings.h"
#include "console/gl_console.h"
#include "platform/sdl_message_box.h"

namespace {

struct DrawableSize {
    int width, height;
};

// The back buffer of the current context: the window's drawable, or the viewport GL
// gave a fresh context when no SDL window is current.
DrawableSize drawable_size() {
    DrawableSize size{0, 0};
    if (SDL_Window* window = SDL_GL_GetCurrentWindow()) {
        SDL_GL_GetDrawableSize(window, &size.width, &size.height);
    }
    if (size.width <= 0 || size.height <= 0) {
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        size = {viewport[2], viewport[3]};
    }
    return size;
}

void load_texture_config(Renderer& device, const Settings& settings) {
    char name[kTexturecfgBufferSize];
    read_setting_string(settings, kSectionShell, kKeyTexturecfg, name, sizeof name);
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(name, error);
    read_texture_config(device.textures(), full.c_str());
}

}  // namespace

void setup_game_device(Screen& screen, Game& game, const ErrorBoxes& boxes) {
    const DrawableSize size = drawable_size();
    Renderer& device = screen.device;
    if (!device.init(size.width, size.height)) {
        std::fprintf(stderr, "torvi: the graphics device could not be set up\n");
    }
    console_device_init(game.console, screen.fonts, device, game.settings);
    if (device.software_rasteriser() && warn_software_rendering(game, boxes.unattended))
        ErrorBox(boxes, "%s", kNoHalDeviceText);
}

void setup_game_shaders(Screen& screen, const Settings& settings) {
    init_toon_vertex_shader(screen.device, settings);
    init_toon_pixel_shader(screen.device, settings);
}

void load_game(Screen& screen, Game& game, GamepadDevices* gamepad) {
    Renderer& device = screen.device;
    load_texture_config(device, game.settings);
    load_character_assets(screen.characters, device);
    load_terrain_resources(screen.terrain, device);
    initialise_world(game);
    widgets_device_init(screen.widgets, device);
    game.dialogs = GameDialogs{};  // a second run in one process builds them afresh
    game.dialogs.gamepad = gamepad;
    if (device.width() > 0 && device.height() > 0) {
        game.dialogs.screen_width = device.width();
        game.dialogs.screen_height = device.height();
    }
    build_game_dialogs(game.dialogs, game.input.controls, game.settings, &game.commands);
    build_editor(game.editor, game.settings, &game.commands, game.dialogs.screen_width,
                 game.dialogs.screen_height);
    game.sound.active = sound_effects_on(game.dialogs);
    game.sound.volume = game.dialogs.sound_volume;
    start_hearing(game.sound, game.table, game.effects);
    load_bone_markers(screen.markers, device.textures());
    effects_init(screen.effects, device);
}
