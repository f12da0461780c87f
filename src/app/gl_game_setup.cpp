#include "app/gl_game_setup.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <cstdio>

#include "console/console.h"
#include "app/game_main.h"
#include "console/gl_console.h"
#include "app/modes.h"
#include "app/ticks.h"
#include "effects/gl_effects.h"
#include "gui/game_dialogs.h"
#include "gui/gl_game_dialogs.h"
#include "input/keyboard_input.h"
#include "input/sdl_gamepad.h"
#include "map/gl_terrain.h"
#include "platform/sdl_message_box.h"
#include "app/gl_frame.h"
#include "render/gl_renderer.h"
#include "render/gl_texture.h"
#include "skeleton/gl_characters.h"

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

void load_textures(const char* path) {
    read_texture_config(path);
}

void load_markers_and_effects() {
    load_bone_markers();
    effects_init(renderer());
}

void frame() {
    render_frame();
}

void fade_console() {
    console_fade();
}

void build_dialogs() {
    GameDialogs& dialogs = game_dialogs();
    dialogs = GameDialogs{};  // a second run in one process builds them afresh
    dialogs.gamepad = GamepadOps{list_gamepads, use_gamepad};
    build_game_dialogs(dialogs, keyboard_input().controls);
}

}  // namespace

void setup_game_device() {
    const DrawableSize size = drawable_size();
    Renderer& device = renderer();
    if (!device.init(size.width, size.height)) {
        std::fprintf(stderr, "torvi: the graphics device could not be set up\n");
    }
    console_device_init(device);
    if (device.software_rasteriser()) ErrorBox("%s", kNoHalDeviceText);
}

void setup_game_shaders() {
    init_toon_vertex_shader(renderer());
    init_toon_pixel_shader(renderer());
}

void install_game_hooks() {
    StartupHooks& start = startup_hooks();
    start.setup_device = setup_game_device;
    start.setup_shaders = setup_game_shaders;
    start.setup_gamepad = start_gamepad;
    start.load_textures = load_textures;
    start.load_characters = load_character_assets;
    start.load_terrain = load_terrain_resources;
    start.build_dialogs = build_dialogs;
    start.load_markers_and_effects = load_markers_and_effects;

    TickHooks& ticks = tick_hooks();
    ticks.frame = frame;
    ticks.console_fade = fade_console;

    // Routing, the menu buttons, quitting's saved settings and the widgets' commands.
    install_game_dialog_hooks();
    install_dialog_drawing();
}
