#include "app/modes.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "config/settings.h"
#include "net/say.h"
#include "platform/file_search.h"

namespace {

constexpr uint32_t kNetColour = 0xFFFFFFFF;
const Vec3 kPlayEye = {0.0f, 5.0f, 5.0f};
const Vec3 kEditorEye = {0.0f, 10.0f, 10.0f};
const Vec3 kOrigin = {0.0f, 0.0f, 0.0f};

void show_button(Game& game, uint32_t command, bool visible) {
    show_menu_button(game.dialogs, command, visible);
}

void say_unsaved_work(Game& game) {
    if (const char* what = unsaved_work(game.editor))
        console_print(game.console, kNetColour, "%s", what);
}

// A menu button that opens a dialog closes it when pressed again. Leaving the editor
// names the work it holds unsaved.
void toggle_dialog(Game& game, DialogMode dialog) {
    Shell& shell = game.shell;
    if (shell.dialog == dialog_editor) say_unsaved_work(game);
    shell.dialog = shell.dialog == dialog ? dialog_none : dialog;
    if (shell.dialog == dialog_create) refresh_map_list(game.dialogs);
}

void disconnect(Game& game) {
    if (!game.session.client && !game.session.host) return;
    end_game(game, nullptr);
}

// The player's name from config.cfg, cut at a whole character to fit and with any control
// character shown as '?'; the local default when there is none.
void player_name(const Settings& settings, char* out, size_t size) {
    char written[kConsoleLineSize];
    read_setting_string(settings, kSectionPlayer, kKeyName, written, sizeof written);
    if (written[0] == '\0' || std::strcmp(written, kSettingMissingText) == 0) {
        std::snprintf(written, sizeof written, "%s", kDefaultPlayerName);
    }
    clean_text(out, size, written, sizeof written);
}

uint16_t game_port(const Settings& settings) {
    const int port = read_setting_int_or(settings, kSectionNet, kKeyPort, kGamePort);
    return port >= 0 && port <= 65535 ? static_cast<uint16_t>(port) : kGamePort;
}

void refresh_servers(Game& game) {
    if (!game.net) return;
    char addresses[256];
    read_setting_string(game.settings, kSectionNet, kKeyEnumerate, addresses, sizeof addresses);
    if (std::strcmp(addresses, kSettingMissingText) == 0) addresses[0] = '\0';
    game.net->refresh_hosts(addresses, game_port(game.settings));
}

// The map chosen in the create dialog is the ground of the hosted game; without a
// choice, or when it cannot be read, the start-up map.
void play_chosen_map(Game& game) {
    char name[kListItemTextSize];
    chosen_map(game.dialogs, name, sizeof name);
    fill_startup_map(game.map);
    if (name[0] == '\0') return;
    char path[4096];
    MapGrid chosen = game.map;
    MapLoad result{map_missing};
    if (named_file_path(path, sizeof path, game.folders.maps, name, kMapExtension)) {
        result = load_map(chosen, path);
        report_map_load(path, result);
    }
    if (result.status == map_ok || result.status == map_short_file) {
        game.map = chosen;
    } else {
        console_print(game.console, kNetColour,
                      "the map %s could not be read; playing the start-up map", name);
    }
}

void join_chosen(Game& game) {
    const HostEntry* host = game.net ? chosen_host(game.dialogs, game.net_state.hosts) : nullptr;
    if (!host) {
        console_print(game.console, kNetColour,
                      "choose a game in the list first (\"refresh\" looks for games)");
        return;
    }
    char address[kAddressTextSize];
    ip_text(host->address, address, sizeof address);
    join_game_at(game, address, host->port);
}

// A line about the network the player must not miss: on the console, held there, and on
// stdout.
void tell(Game& game, const char* format, ...) __attribute__((format(printf, 2, 3)));
void tell(Game& game, const char* format, ...) {
    char line[kConsoleLineSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    console_print(game.console, kNetColour, "%s", line);
    console_hold_newest(game.console, kNetLineHoldTicks);
    say("%s", line);
    game.redraw = true;
}

// How a join goes, in the join dialog's line and on stdout.
void join_status_line(Game& game, const char* format, const char* target) {
    char line[kConsoleLineSize];
    std::snprintf(line, sizeof line, format, target);
    set_join_status(game.dialogs, line);
    say("%s", line);
    game.redraw = true;
}

// "cancel" while connecting gives the join up; the dialog stays for another choice.
void cancel_join(Game& game) {
    game.net->leave_client();
    NetGame net = net_game(game);
    stop_joining_state(net);
    join_status_line(game, "stopped connecting to %s", game.net_state.join_target);
}

void close_dialog(Game& game) {
    if (game.net && game.shell.dialog == dialog_join && game.net_state.joining)
        return cancel_join(game);
    set_dialog_mode(game.shell, dialog_none);
}

void run_command(Game& game, uint32_t command) {
    switch (command) {
        case command_join_game:
            return toggle_dialog(game, dialog_join);
        case command_create_game:
            return toggle_dialog(game, dialog_create);
        case command_editor:
            set_camera(game.cam, kEditorEye, kOrigin);
            return toggle_dialog(game, dialog_editor);
        case command_quit:
            return quit_program(game);
        case command_disconnect:
            return disconnect(game);
        case command_resume_game:
            return toggle_menu(game);
        case command_settings:
            return toggle_dialog(game, dialog_settings);
        case command_sound_effects:
            game.sound.active = sound_effects_on(game.dialogs);
            return;
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

void act_on(Game& game, DialogRequest request) {
    switch (request) {
        case request_none:
            return;
        case request_close:
            return close_dialog(game);
        case request_host:
            return start_hosting(game);
        case request_join:
            return join_chosen(game);
        case request_refresh:
            return refresh_servers(game);
    }
}

// The open dialog's handler.
DialogOutcome dialog_message(Game& game, const Message& msg) {
    switch (game.shell.dialog) {
        case dialog_settings:
            return settings_dialog_handler(game.dialogs, game.input.controls, game.keys, msg);
        case dialog_join:
            return join_dialog_handler(game.dialogs, game.keys, msg);
        case dialog_create:
            return create_dialog_handler(game.dialogs, game.keys, msg);
        default:
            return {false, request_none};
    }
}

// Escape shows the menu; F3 switches the labels, which show only in play (a held F3 does
// not make them flicker).
void play_key_down(Game& game, const Message& msg) {
    if (msg.wparam == vk_escape) return toggle_menu(game);
    if (msg.wparam == vk_f3 && !(msg.lparam & kKeyRepeatBit)) toggle_labels(game.hud);
}

}  // namespace

void set_mode(Game& game, TopLevelMode mode) {
    game.shell.mode = mode;
    game.redraw = true;
    switch (mode) {
        case mode_menu:
            show_button(game, command_join_game, true);
            show_button(game, command_create_game, true);
            show_button(game, command_editor, true);
            show_button(game, command_disconnect, false);
            show_button(game, command_resume_game, false);
            break;
        case mode_playing:
            set_camera(game.cam, kPlayEye, kOrigin);
            break;
        case mode_paused:
            show_button(game, command_disconnect, true);
            show_button(game, command_resume_game, true);
            show_button(game, command_join_game, false);
            show_button(game, command_create_game, false);
            show_button(game, command_editor, true);
            break;
    }
}

void toggle_menu(Game& game) {
    if (game.shell.mode == mode_playing) return set_mode(game, mode_paused);
    if (game.shell.mode == mode_paused) return set_mode(game, mode_playing);
    set_mode(game, mode_menu);
}

void set_dialog_mode(Shell& shell, DialogMode dialog) {
    shell.dialog = valid_dialog(dialog) ? dialog : dialog_none;
}

void start_local_game(Game& game, bool host) {
    if (host) {
        start_game_as_host(game.table, game.session);
    } else {
        start_game_as_client(game.table, game.session);
    }
    set_mode(game, mode_playing);
    game.session.knockouts = host && knockouts_chosen(game.dialogs);
    if (PlayerRecord* me = local_record(game.table, game.session)) {
        me->element = chosen_element(game.dialogs, host);
        player_name(game.settings, me->name, sizeof me->name);
    }
}

void start_hosting(Game& game) {
    play_chosen_map(game);
    char typed[kSessionNameSize], name[kSessionNameSize];
    server_name(game.dialogs, typed, sizeof typed);
    clean_text(name, sizeof name, typed, sizeof typed);
    if (name[0] == '\0') std::snprintf(name, sizeof name, "%s", kDefaultSessionName);
    const uint16_t port = game_port(game.settings);
    if (game.net) {
        if (!game.net->host_game(name, port, game.map)) {
            tell(game, "cannot host on port %u: is another game using it?", port);
            return;
        }
        say("hosting \"%s\" on port %u", name, game.net->port());
    }
    NetGame net = net_game(game);
    start_hosting_state(net, name);
    set_join_status(game.dialogs, "");
    start_local_game(game, true);
}

void start_dedicated_host(Game& game) {
    char written[kSessionNameSize], name[kSessionNameSize];
    read_setting_string(game.settings, kSectionPlayer, kKeyName, written, sizeof written);
    clean_text(name, sizeof name, written, sizeof written);
    if (name[0] == '\0' || std::strcmp(written, kSettingMissingText) == 0)
        std::snprintf(name, sizeof name, "%s", kDefaultSessionName);
    fill_startup_map(game.map);
    const uint16_t port = game_port(game.settings);
    if (game.net) {
        if (!game.net->host_game(name, port, game.map)) {
            tell(game, "cannot host on port %u: is another game using it?", port);
            return quit_program(game);
        }
        say("hosting \"%s\" on port %u", name, game.net->port());
    }
    NetGame net = net_game(game);
    start_hosting_state(net, name);
    start_game_as_dedicated_host(game.table, game.session);
    set_mode(game, mode_playing);
    game.session.knockouts =
        read_setting_int_or(game.settings, kSectionGame, kKeyKnockouts, 0) == 1;
}

void join_game_at(Game& game, const char* host, uint16_t port) {
    if (!game.net) {
        console_print(game.console, kNetColour, "no network to join a game with");
        return;
    }
    Hello hello{chosen_element(game.dialogs, false), {}};
    player_name(game.settings, hello.name, sizeof hello.name);
    game.shell.dialog = dialog_join;  // where the join says how it goes
    NetGame net = net_game(game);
    stop_joining_state(net);
    if (!game.net->join_game(host, port, hello)) {
        char line[kConsoleLineSize];
        std::snprintf(line, sizeof line, "no game to join: \"%s\" is no address this machine knows",
                      host ? host : "");
        set_join_status(game.dialogs, line);
        tell(game, "%s", line);
        return;
    }
    start_joining_state(net, host, port);
    join_status_line(game, "connecting to %s ...", game.net_state.join_target);
}

void enter_joined_game(Game& game) {
    set_mode(game, mode_playing);
    game.shell.dialog = dialog_none;
    set_join_status(game.dialogs, "");
    if (PlayerRecord* me = local_record(game.table, game.session)) {
        me->element = chosen_element(game.dialogs, false);
        player_name(game.settings, me->name, sizeof me->name);
    }
}

void join_game_from_text(Game& game, const char* target) {
    char host[kJoinTargetSize];
    std::snprintf(host, sizeof host, "%s", target);
    uint16_t port = kGamePort;
    if (char* colon = std::strrchr(host, ':')) {
        char* end = nullptr;
        const long value = std::strtol(colon + 1, &end, 10);
        if (*end != '\0' || value < 1 || value > 65535) {
            console_print(game.console, kNetColour, "--join %s: the port is 1..65535", target);
            return;
        }
        port = static_cast<uint16_t>(value);
        *colon = '\0';
    }
    join_game_at(game, host, port);
}

void end_game(Game& game, const char* why) {
    NetGame net = net_game(game);
    if (game.net_state.joining) {
        // Never in a game: the join dialog and the console say why, and the menu stays.
        if (game.net) game.net->leave_client();
        stop_joining_state(net);
        set_join_status(game.dialogs, why ? why : "");
        if (why) tell(game, "%s", why);
        return;
    }
    if (game.net && game.session.client) game.net->leave_client();
    if (game.net && game.session.host) {
        game.net->stop_hosting();
        say("stopped hosting");
    }
    stop_joining_state(net);
    init_session_state(game.session);
    set_mode(game, mode_menu);
    if (why) tell(game, "left the game: %s", why);
}

void quit_program(Game& game) {
    if (!game.shell.running) return;  // a second close while quitting saves nothing twice
    if (const char* what = unsaved_work(game.editor)) {
        console_print(game.console, kNetColour, "%s", what);
        std::fprintf(stderr, "torvi: %s\n", what);
    }
    save_game_settings(game.dialogs, game.editor.dialog, game.input.controls, game.settings);
    save_hud_settings(game.hud, game.settings);
    game.shell.running = false;
}

int window_procedure(Game& game, const Message& msg) {
    if (msg.id == msg_close) {
        quit_program(game);
        return 0;
    }
    // An open dialog shows only with the menu, drawn over it, so it takes messages before
    // the menu does; in play it takes nothing and waits there. The editor's own input
    // (painting, turning) comes after the menu, so a click on the menu paints nothing.
    const bool menu = menu_shown(game.shell.mode);
    const bool open = menu && valid_dialog(game.shell.dialog);
    const bool editor = open && game.shell.dialog == dialog_editor;
    if (editor && editor_dialogs_take(game.editor, game.keys, msg)) return 1;
    if (open && !editor) {
        const DialogOutcome outcome = dialog_message(game, msg);
        act_on(game, outcome.request);
        if (outcome.consumed) return 1;
    }
    if (menu && menu_dialog_handler(game.dialogs, game.keys, msg)) return 1;
    if (editor) {
        EditorWorld world{game.cam,
                          game.console,
                          game.keys,
                          game.dialogs.screen_width,
                          game.dialogs.screen_height,
                          game.poses};
        editor_input(game.editor, world, msg);
    }
    if (msg.id == msg_key_down) {
        if (game.shell.mode == mode_playing) play_key_down(game, msg);
    } else if (msg.id == msg_gui_command) {
        run_command(game, msg.wparam);
        hear_click(game.sound);  // after the command: switching sound on clicks, off is quiet
        play_heard(game.sound, game.speaker);
    }
    return 0;
}
