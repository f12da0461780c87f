#include "gui/gl_game_dialogs.h"

#include "gui/gl_widgets.h"
#include "app/gl_frame.h"

namespace {

void draw_menu() {
    draw_dialog(renderer(), game_dialogs().menu);
}

void draw_settings() {
    draw_dialog(renderer(), game_dialogs().settings);
}

void draw_join() {
    draw_dialog(renderer(), game_dialogs().join);
}

void draw_create() {
    draw_dialog(renderer(), game_dialogs().create);
}

}  // namespace

void build_game_dialogs(GameDialogs& dialogs, ControlTable& controls) {
    widgets_device_init(renderer());
    build_menu_dialog(dialogs);
    // The editor dialog will be built here, between the menu and the settings.
    build_settings_dialog(dialogs, controls);
    build_join_create_dialogs(dialogs);
}

void install_dialog_drawing() {
    FrameHooks& hooks = frame_hooks();
    hooks.menu_dialog = draw_menu;
    hooks.open_dialog[dialog_settings] = draw_settings;
    hooks.open_dialog[dialog_join] = draw_join;
    hooks.open_dialog[dialog_create] = draw_create;
}
