#include "app/modes.h"

namespace {

const Vec3 kPlayEye = {0.0f, 5.0f, 5.0f};
const Vec3 kEditorEye = {0.0f, 10.0f, 10.0f};
const Vec3 kOrigin = {0.0f, 0.0f, 0.0f};

void show_button(const Shell& shell, uint32_t command, bool visible) {
    if (shell.hooks.show_menu_button) shell.hooks.show_menu_button(command, visible);
}

// A menu button that opens a dialog closes it when pressed again.
void toggle_dialog(Shell& shell, DialogMode dialog) {
    shell.dialog = shell.dialog == dialog ? dialog_none : dialog;
}

void disconnect(Shell& shell, Camera& cam, SessionState& session) {
    if (session.client) {
        if (shell.hooks.leave_client) return shell.hooks.leave_client();
    } else if (session.host) {
        if (shell.hooks.stop_hosting) return shell.hooks.stop_hosting();
    } else {
        return;
    }
    // No network layer yet: end the local game here.
    init_session_state(session);
    set_mode(shell, mode_menu, cam);
}

void run_command(Shell& shell, uint32_t command, Camera& cam, SessionState& session) {
    switch (command) {
        case command_join_game:
            return toggle_dialog(shell, dialog_join);
        case command_create_game:
            return toggle_dialog(shell, dialog_create);
        case command_editor:
            set_camera(cam, kEditorEye, kOrigin);
            return toggle_dialog(shell, dialog_editor);
        case command_quit:
            return quit_program(shell);
        case command_disconnect:
            return disconnect(shell, cam, session);
        case command_resume_game:
            return toggle_menu(shell, cam);
        case command_settings:
            return toggle_dialog(shell, dialog_settings);
        default:
            return;
    }
}

bool menu_shown(TopLevelMode mode) {
    return mode == mode_menu || mode == mode_paused;
}

bool valid_dialog(int32_t dialog) {
    return dialog > dialog_none && dialog < kDialogModeCount;
}

}  // namespace

void init_shell(Shell& shell) {
    shell = Shell{mode_menu, dialog_none, true, ShellHooks{}};
}

Shell& shell() {
    static Shell instance{mode_menu, dialog_none, true, ShellHooks{}};
    return instance;
}

void set_mode(Shell& shell, TopLevelMode mode, Camera& cam) {
    shell.mode = mode;
    switch (mode) {
        case mode_menu:
            show_button(shell, command_join_game, true);
            show_button(shell, command_create_game, true);
            show_button(shell, command_editor, true);
            show_button(shell, command_disconnect, false);
            show_button(shell, command_resume_game, false);
            break;
        case mode_playing:
            set_camera(cam, kPlayEye, kOrigin);
            break;
        case mode_paused:
            show_button(shell, command_disconnect, true);
            show_button(shell, command_resume_game, true);
            show_button(shell, command_join_game, false);
            show_button(shell, command_create_game, false);
            show_button(shell, command_editor, true);
            break;
    }
}

void toggle_menu(Shell& shell, Camera& cam) {
    if (shell.mode == mode_playing) return set_mode(shell, mode_paused, cam);
    if (shell.mode == mode_paused) return set_mode(shell, mode_playing, cam);
    set_mode(shell, mode_menu, cam);
}

void set_dialog_mode(Shell& shell, DialogMode dialog) {
    shell.dialog = valid_dialog(dialog) ? dialog : dialog_none;
}

void quit_program(Shell& shell) {
    if (!shell.running) return;  // a second close while quitting saves nothing twice
    if (shell.hooks.save_settings_at_quit) shell.hooks.save_settings_at_quit();
    shell.running = false;
}

int window_procedure(Shell& shell, const Message& msg, Camera& cam, SessionState& session) {
    if (msg.id == msg_close) {
        quit_program(shell);
        return 0;
    }
    if (menu_shown(shell.mode) && shell.hooks.menu_message && shell.hooks.menu_message(msg)) {
        return 1;
    }
    if (valid_dialog(shell.dialog)) {
        auto* handler = shell.hooks.dialog_message[shell.dialog];
        if (handler && handler(msg)) return 1;
    }
    if (msg.id == msg_key_down) {
        if (msg.wparam == vk_escape && shell.mode == mode_playing) toggle_menu(shell, cam);
    } else if (msg.id == msg_gui_command) {
        run_command(shell, msg.wparam, cam, session);
    }
    return 0;
}
