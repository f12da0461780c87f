#include "gui/game_dialogs.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "config/settings.h"
#include "input/bindings.h"
#include "map/map_grid.h"
#include "platform/file_search.h"

namespace {

constexpr char kNoTexture[] = "";
constexpr IntRect kNoSource = {0, 0, 0, 0};
constexpr char kGamepadTexture[] = "gamepad";
constexpr int kCellsPerBar = 7;
constexpr int kListRows = 7;
constexpr int kListColumns = 15;
constexpr int kServerNameCells = 7;
// Between the server name and the element list.
constexpr float kMapListX = 25, kMapListY = 97;
constexpr int kMapListRows = 4;

constexpr DialogFrame kMenuFrame = {80, 100, 200, 200, "Menu"};
constexpr DialogFrame kJoinFrame = {200, 100, 340, 480, "join game"};
constexpr DialogFrame kCreateFrame = {200, 100, 340, 480, "create game"};
constexpr DialogFrame kSettingsFrame = {200, 150, 640, 380, "Settings"};

struct TextButton {
    uint32_t id;
    const char* text;
    float x, y;
};

constexpr TextButton kMenuButtons[] = {
    {command_join_game, "join game", 4, 4},
    {command_create_game, "create game", 4, 17},
    {command_editor, "editor", 4, 50},
    {command_settings, "settings", 4, 63},
    {command_quit, "quit", 4, 76},
    {command_disconnect, "disconnect", 4, 17},
    {command_resume_game, "resume game", 4, 4},
};

// The element lists read zombie, ninja, robot, pirate: a list shows its newest item first.
struct ElementChoice {
    const char* name;
    int32_t element;
};
constexpr ElementChoice kElementChoices[] = {
    {"pirate", 1}, {"robot", 3}, {"ninja", 2}, {"zombie", 0}};

constexpr float kElementListX = 25, kElementListY = 196;
constexpr float kElementLabelX = 25, kElementLabelY = 178;
// Under the create dialog's element list.
constexpr float kKnockoutsX = 25, kKnockoutsY = 330;
// Under the element list: how the join goes.
constexpr float kJoinStatusX = 12, kJoinStatusY = 420;
constexpr char kElementLabel[] = "Choose your Element:";

struct BindingControl {
    ControlEntry entry;
    uint32_t button;
    float button_x, button_y;
    IntRect source;
    uint32_t label;
    float label_x, label_y;
    const char* initial;
};

// In the order the settings dialog creates them.
constexpr BindingControl kBindings[] = {
    {control_forward,
     command_bind_forward,
     160,
     180,
     {96, 0, 128, 32},
     command_label_forward,
     192,
     192,
     "W"},
    // The right arrow, next to the up arrow in the picture; the forward button's up
    // arrow here would show "right" as "up".
    {control_right,
     command_bind_right,
     224,
     244,
     {128, 0, 160, 32},
     command_label_right,
     256,
     256,
     "D"},
    {control_backward,
     command_bind_backward,
     160,
     244,
     {160, 0, 192, 32},
     command_label_backward,
     193,
     256,
     "d"},
    {control_left,
     command_bind_left,
     96,
     244,
     {192, 0, 224, 32},
     command_label_left,
     128,
     256,
     "A"},
    {control_primattack,
     command_bind_primattack,
     360,
     180,
     {64, 32, 96, 64},
     command_label_primattack,
     392,
     192,
     "H"},
    {control_secnattack,
     command_bind_secnattack,
     430,
     180,
     {96, 32, 128, 64},
     command_label_secnattack,
     462,
     192,
     "J"},
    {control_jump,
     command_bind_jump,
     500,
     180,
     {128, 32, 160, 64},
     command_label_jump,
     532,
     192,
     "K"},
};

constexpr IntRect kKeyboardTypeSource = {9, 32, 32, 64};
constexpr IntRect kGamepadTypeSource = {0, 0, 32, 32};
constexpr float kTypeButtonX = 4, kTypeButtonY = 36;

// Shown only in gamepad type, on the control page.
constexpr uint32_t kDeviceWidgets[] = {command_gamepad_list, command_gamepad_list_scroll,
                                       command_gamepad_refresh, command_use_gamepad};

void save_position(const Dialog& dialog, Settings& settings, const char* section) {
    write_setting_int(settings, section, kKeyPosx, static_cast<int>(dialog.x));
    write_setting_int(settings, section, kKeyPosy, static_cast<int>(dialog.y));
}

void show(const Dialog& dialog, uint32_t id, bool visible) {
    show_widget(dialog, id, visible);
}

ListBox* list_box(const Dialog& dialog, uint32_t id) {
    return find_list_box(dialog, id);
}

void fill_element_list(ListBox* list) {
    if (!list) return;
    list->clear();
    // The items point at the table's element numbers, which outlive the lists.
    for (const ElementChoice& choice : kElementChoices)
        list->add_item(choice.name, &choice.element);
}

void add_element_list(Dialog& dialog, uint32_t id) {
    fill_element_list(
        dialog.add_list_box(id, kElementListX, kElementListY, kListRows, kListColumns));
    dialog.add_label(command_label, kElementLabel, kElementLabelX, kElementLabelY);
}

// The element of the list's selected item; zombie (0) when nothing is selected.
int32_t selected_element(const Dialog& dialog, uint32_t list_id) {
    const ListBox* list = list_box(dialog, list_id);
    const ListItem* item = list ? list->selected_item() : nullptr;
    return item && item->data ? *static_cast<const int32_t*>(item->data) : 0;
}

bool is_command(const Message& msg) {
    return msg.id == msg_gui_command;
}

// Settings --------------------------------------------------------------------------

bool gamepad_type(const ControlTable& controls) {
    return controls.entries[control_type] == input_gamepad;
}

void show_device_widgets(const Dialog& settings, bool visible) {
    for (uint32_t id : kDeviceWidgets) show(settings, id, visible);
}

void show_type_button(const Dialog& settings, const ControlTable& controls) {
    show(settings, command_type_gamepad, gamepad_type(controls));
    show(settings, command_type_keyboard, !gamepad_type(controls));
}

void show_bindings(const Dialog& settings, bool visible) {
    for (const BindingControl& b : kBindings) {
        show(settings, b.button, visible);
        show(settings, b.label, visible);
    }
}

void show_other_page(GameDialogs& dialogs, bool visible) {
    show(dialogs.settings, command_sound_effects, visible);
    if (dialogs.sound_label) set_visible(dialogs.sound_label, visible);
}

void show_control_page(GameDialogs& dialogs, const ControlTable& controls) {
    show_type_button(dialogs.settings, controls);
    show_device_widgets(dialogs.settings, gamepad_type(controls));
    show_bindings(dialogs.settings, true);
    show_other_page(dialogs, false);
}

void show_sound_page(GameDialogs& dialogs) {
    show(dialogs.settings, command_type_gamepad, false);
    show(dialogs.settings, command_type_keyboard, false);
    show_device_widgets(dialogs.settings, false);
    show_bindings(dialogs.settings, false);
    show_other_page(dialogs, true);
}

void list_devices(GameDialogs& dialogs) {
    ListBox* list = list_box(dialogs.settings, command_gamepad_list);
    if (!list) return;
    list->clear();
    if (!dialogs.gamepad) return;
    int count = dialogs.gamepad->list(dialogs.device_names, kMaxGamepads);
    if (count > kMaxGamepads) count = kMaxGamepads;
    for (int i = 0; i < count; ++i) {
        dialogs.device_index[i] = i;
        list->add_item(dialogs.device_names[i], &dialogs.device_index[i]);
    }
}

void use_selected_device(GameDialogs& dialogs) {
    const ListBox* list = list_box(dialogs.settings, command_gamepad_list);
    const ListItem* item = list ? list->selected_item() : nullptr;
    if (!item || !item->data || !dialogs.gamepad) return;
    dialogs.gamepad->use(*static_cast<const int32_t*>(item->data));
}

void switch_input_type(GameDialogs& dialogs, ControlTable& controls, InputType type) {
    set_input_type(controls, type);
    show_type_button(dialogs.settings, controls);
    show_device_widgets(dialogs.settings, type == input_gamepad);
    if (type == input_gamepad) list_devices(dialogs);
}

// The binding a button steps, or null.
const BindingControl* binding_of_button(uint32_t id) {
    for (const BindingControl& b : kBindings) {
        if (b.button == id) return &b;
    }
    return nullptr;
}

// What is pressed over a binding button binds to it, so a player need not step through
// the alphabet to the key wanted.
bool bind_under_cursor(GameDialogs& dialogs, ControlTable& controls, const KeyState& keys,
                       const Message& msg) {
    if (!keys.cursor_inside) return false;
    const Button* button = button_at(dialogs.settings, keys.cursor_x, keys.cursor_y);
    const BindingControl* binding = button ? binding_of_button(button->id) : nullptr;
    if (!binding || !bind_pressed(controls, binding->entry, msg)) return false;
    refresh_bindings(dialogs, controls);
    return true;
}

void run_settings_command(GameDialogs& dialogs, ControlTable& controls, uint32_t id) {
    if (const BindingControl* binding = binding_of_button(id)) {
        step_binding(controls, binding->entry);
    } else if (id == command_type_keyboard) {
        switch_input_type(dialogs, controls, input_gamepad);
    } else if (id == command_type_gamepad) {
        switch_input_type(dialogs, controls, input_keyboard);
    } else if (id == command_gamepad_refresh) {
        return list_devices(dialogs);
    } else if (id == command_use_gamepad) {
        return use_selected_device(dialogs);
    } else if (id == command_page_control) {
        return show_control_page(dialogs, controls);
    } else if (id == command_page_other) {
        return show_sound_page(dialogs);
    } else {
        return;
    }
    refresh_bindings(dialogs, controls);
}

void add_settings_controls(GameDialogs& dialogs) {
    Dialog& d = dialogs.settings;
    add_text_button(d, command_page_control, "control", 4, 4);
    add_text_button(d, command_page_other, "other", 70, 4);
    add_image_button(d, command_type_keyboard, kKeyboardTypeSource, kTypeButtonX, kTypeButtonY);
    add_image_button(d, command_type_gamepad, kGamepadTypeSource, kTypeButtonX, kTypeButtonY);
    for (const BindingControl& b : kBindings) {
        add_image_button(d, b.button, b.source, b.button_x, b.button_y);
        d.add_label(b.label, b.initial, b.label_x, b.label_y);
    }
    add_text_button(d, command_gamepad_refresh, "refresh", 340, 36);
    add_text_button(d, command_use_gamepad, "use gamepad", 340, 52);
    ScrollBar* bar = d.add_scroll_bar(command_gamepad_list_scroll, 60, 36, kCellsPerBar);
    d.add_list_box(command_gamepad_list, 80, 36, kListRows, kListColumns);
    if (bar) bar->set_range(0, 0);
    d.add_check_box(command_sound_effects, 4, 34);
    dialogs.sound_label = d.add_label(command_label, "Sound Effects Active", 24, 34);
}

CheckBox* check_box(const Dialog& dialog, uint32_t id) {
    Widget* widget = dialog.find(id);
    return widget && widget->kind == widget_check_box ? static_cast<CheckBox*>(widget) : nullptr;
}

CheckBox* sound_box(const Dialog& settings) {
    return check_box(settings, command_sound_effects);
}

void load_sound_settings(GameDialogs& dialogs, const Settings& settings) {
    if (CheckBox* box = sound_box(dialogs.settings)) {
        box->checked = read_setting_int_or(settings, kSectionSound, kKeyActive, 1) != 0;
    }
    dialogs.sound_volume = std::clamp(
        read_setting_int_or(settings, kSectionSound, kKeyVolume, kDefaultSoundVolume), 0, 100);
}

}  // namespace

void build_menu_dialog(GameDialogs& dialogs, const Settings& settings, CommandSink* sink) {
    init_dialog(dialogs.menu, kMenuFrame, sink);
    dialogs.built = true;
    restore_position(dialogs.menu, settings, kSectionMenuDialog, dialogs.screen_width,
                     dialogs.screen_height);
    for (const TextButton& b : kMenuButtons) add_text_button(dialogs.menu, b.id, b.text, b.x, b.y);
    // Until the first set_mode: the menu of mode_menu.
    show(dialogs.menu, command_disconnect, false);
    show(dialogs.menu, command_resume_game, false);
}

void build_settings_dialog(GameDialogs& dialogs, ControlTable& controls, const Settings& settings,
                           CommandSink* sink) {
    init_dialog(dialogs.settings, kSettingsFrame, sink);
    restore_position(dialogs.settings, settings, kSectionSettingsDialog, dialogs.screen_width,
                     dialogs.screen_height);
    add_settings_controls(dialogs);
    load_sound_settings(dialogs, settings);
    list_devices(dialogs);  // an attached controller shows without "refresh"
    load_control_table(controls, settings);
    show_control_page(dialogs, controls);
    refresh_bindings(dialogs, controls);
}

void build_join_create_dialogs(GameDialogs& dialogs, CommandSink* sink) {
    Dialog& join = dialogs.join;
    init_dialog(join, kJoinFrame, sink);
    add_text_button(join, command_join, "join!", 300, 460);
    add_text_button(join, command_join_cancel, "cancel", 230, 460);
    add_text_button(join, command_refresh_servers, "refresh", 160, 460);
    join.add_scroll_bar(command_server_scroll, 5, 36, kCellsPerBar);
    join.add_list_box(command_server_list, 25, 36, kListRows, kListColumns);
    join.add_label(command_label, "Servers:", 25, 18);
    dialogs.join_status = join.add_label(command_label, "", kJoinStatusX, kJoinStatusY);
    add_element_list(join, command_join_elements);

    Dialog& create = dialogs.create;
    init_dialog(create, kCreateFrame, sink);
    create.add_label(command_label, "load one of your maps:", 12, 13);
    add_text_button(create, command_load_map, "load map", 25, 33);
    add_text_button(create, command_create, "create", 300, 460);
    add_text_button(create, command_create_cancel, "cancel", 230, 460);
    create.add_label(command_label, "type the servername:", 12, 53);
    create.add_text_field(command_server_name, 25, 75, kServerNameCells);
    create.add_scroll_bar(command_map_scroll, kMapListX - 20, kMapListY, kMapListRows);
    create.add_list_box(command_map_list, kMapListX, kMapListY, kMapListRows, kListColumns);
    show(create, command_map_scroll, false);
    show(create, command_map_list, false);
    add_element_list(create, command_create_elements);
    create.add_check_box(command_knockouts, kKnockoutsX, kKnockoutsY);
    create.add_label(command_label, "knock-outs", kKnockoutsX + 20, kKnockoutsY);
}

void build_game_dialogs(GameDialogs& dialogs, ControlTable& controls, const Settings& settings,
                        CommandSink* sink) {
    build_menu_dialog(dialogs, settings, sink);
    build_settings_dialog(dialogs, controls, settings, sink);
    build_join_create_dialogs(dialogs, sink);
    load_game_rules(dialogs, settings);
    build_scoreboard(dialogs.scoreboard, dialogs.screen_width, dialogs.screen_height);
}

bool menu_dialog_handler(GameDialogs& dialogs, const KeyState& keys, const Message& msg) {
    return dialogs.menu.handle_message(msg, keys.cursor_x, keys.cursor_y);
}

DialogOutcome join_dialog_handler(GameDialogs& dialogs, const KeyState& keys, const Message& msg) {
    if (dialogs.join.handle_message(msg, keys.cursor_x, keys.cursor_y)) {
        return {true, request_none};
    }
    if (!is_command(msg)) return {false, request_none};
    if (msg.wparam == command_join) return {false, request_join};
    if (msg.wparam == command_refresh_servers) return {false, request_refresh};
    if (msg.wparam == command_join_cancel) return {false, request_close};
    return {false, request_none};
}

void fill_server_list(GameDialogs& dialogs, const HostList& hosts) {
    ListBox* list = list_box(dialogs.join, command_server_list);
    if (!list) return;
    list->clear();
    // The list shows its newest item first: adding the oldest host last puts it on top.
    for (size_t i = 0; i < hosts.entries.size() && i < static_cast<size_t>(kMaxListedHosts); ++i) {
        dialogs.server_index[i] = static_cast<int32_t>(i);
        char title[kListItemTextSize];
        host_title(hosts.entries[i], title, sizeof title);
        list->add_item(title, &dialogs.server_index[i]);
    }
}

void set_join_status(GameDialogs& dialogs, const char* text) {
    if (dialogs.join_status) dialogs.join_status->set_text(text);
}

const HostEntry* chosen_host(const GameDialogs& dialogs, const HostList& hosts) {
    const ListBox* list = list_box(dialogs.join, command_server_list);
    const ListItem* item = list ? list->selected_item() : nullptr;
    if (!item || !item->data) return nullptr;
    const auto index = static_cast<size_t>(*static_cast<const int32_t*>(item->data));
    return index < hosts.entries.size() ? &hosts.entries[index] : nullptr;
}

void server_name(const GameDialogs& dialogs, char* out, int size) {
    if (const TextField* field = find_text_field(dialogs.create, command_server_name)) {
        field->text(out, size);
    } else if (size > 0) {
        out[0] = '\0';
    }
}

DialogOutcome create_dialog_handler(GameDialogs& dialogs, const KeyState& keys,
                                    const Message& msg) {
    if (dialogs.create.handle_message(msg, keys.cursor_x, keys.cursor_y)) {
        pair_scroll_bar(dialogs.create, command_map_scroll, command_map_list);
        return {true, request_none};
    }
    if (!is_command(msg)) return {false, request_none};
    if (msg.wparam == command_load_map) {
        show(dialogs.create, command_map_scroll, true);
        show(dialogs.create, command_map_list, true);
        refresh_map_list(dialogs);
        return {false, request_none};
    }
    if (msg.wparam == command_create) return {false, request_host};
    if (msg.wparam == command_create_cancel) return {false, request_close};
    return {false, request_none};
}

DialogOutcome settings_dialog_handler(GameDialogs& dialogs, ControlTable& controls,
                                      const KeyState& keys, const Message& msg) {
    if (bind_under_cursor(dialogs, controls, keys, msg)) return {true, request_none};
    if (dialogs.settings.handle_message(msg, keys.cursor_x, keys.cursor_y)) {
        pair_scroll_bar(dialogs.settings, command_gamepad_list_scroll, command_gamepad_list);
        return {true, request_none};
    }
    if (is_command(msg)) run_settings_command(dialogs, controls, msg.wparam);
    return {false, request_none};
}

int32_t chosen_element(const GameDialogs& dialogs, bool host) {
    return host ? selected_element(dialogs.create, command_create_elements)
                : selected_element(dialogs.join, command_join_elements);
}

void show_menu_button(GameDialogs& dialogs, uint32_t command, bool visible) {
    show(dialogs.menu, command, visible);
}

void refresh_bindings(GameDialogs& dialogs, const ControlTable& controls) {
    char text[kBindingLabelSize];
    for (const BindingControl& b : kBindings) {
        Widget* button = dialogs.settings.find(b.button);
        if (button && button->kind == widget_button) {
            static_cast<Button*>(button)->warn = binding_clashes(controls, b.entry);
        }
        Label* shown = find_label(dialogs.settings, b.label);
        if (!shown) continue;
        control_label(controls, b.entry, text);
        shown->set_text(text);
    }
}

void save_game_settings(const GameDialogs& dialogs, const Dialog& editor,
                        const ControlTable& controls, Settings& settings) {
    if (!dialogs.built || !config_writable(settings, "the dialog positions and bindings")) return;
    save_position(dialogs.menu, settings, kSectionMenuDialog);
    save_position(dialogs.settings, settings, kSectionSettingsDialog);
    save_position(editor, settings, kSectionEditorDialog);
    save_control_table(controls, settings);
    write_setting_int(settings, kSectionSound, kKeyActive, sound_effects_on(dialogs) ? 1 : 0);
    write_setting_int(settings, kSectionSound, kKeyVolume, dialogs.sound_volume);
    const int knockouts = knockouts_chosen(dialogs) ? 1 : 0;
    if (read_setting_int_or(settings, kSectionGame, kKeyKnockouts, 0) != knockouts)
        write_setting_int(settings, kSectionGame, kKeyKnockouts, knockouts);
}

bool knockouts_chosen(const GameDialogs& dialogs) {
    const CheckBox* box = check_box(dialogs.create, command_knockouts);
    return box && box->checked;
}

void load_game_rules(GameDialogs& dialogs, const Settings& settings) {
    if (CheckBox* box = check_box(dialogs.create, command_knockouts))
        box->checked = read_setting_int_or(settings, kSectionGame, kKeyKnockouts, 0) == 1;
}

bool sound_effects_on(const GameDialogs& dialogs) {
    const CheckBox* box = sound_box(dialogs.settings);
    return box && box->checked;
}

void init_dialog(Dialog& dialog, const DialogFrame& frame, CommandSink* sink) {
    dialog.init(frame.x, frame.y, frame.title, frame.width, frame.height);
    dialog.sink = sink;
}

Button* add_text_button(Dialog& dialog, uint32_t id, const char* text, float x, float y) {
    return dialog.add_button(id, text, kNoTexture, &kNoSource, x, y, style_text);
}

Button* add_image_button(Dialog& dialog, uint32_t id, const IntRect& source, float x, float y) {
    return dialog.add_button(id, "", kGamepadTexture, &source, x, y, style_image);
}

void restore_position(Dialog& dialog, const Settings& settings, const char* section,
                      int screen_width, int screen_height) {
    dialog.set_position_on_screen(static_cast<float>(read_setting_int(settings, section, kKeyPosx)),
                                  static_cast<float>(read_setting_int(settings, section, kKeyPosy)),
                                  screen_width, screen_height);
}

void refresh_map_list(GameDialogs& dialogs) {
    ListBox* list = list_box(dialogs.create, command_map_list);
    if (!list || !list->visible) return;
    char chosen[kListItemTextSize];
    chosen_map(dialogs, chosen, sizeof chosen);
    list->clear();
    for (const std::string& name : find_named_files(dialogs.map_files, kMapExtension)) {
        list->add_item(name.c_str());
    }
    // Keep the choice across the refill; item number k is items[k - 1].
    for (int32_t k = 1; k <= list->count(); ++k) {
        if (std::strcmp(list->items[static_cast<size_t>(k - 1)].text, chosen) == 0) {
            list->selected = k;
        }
    }
}

void chosen_map(const GameDialogs& dialogs, char* out, int size) {
    if (size <= 0) return;
    out[0] = '\0';
    const ListBox* list = list_box(dialogs.create, command_map_list);
    const ListItem* item = list && list->visible ? list->selected_item() : nullptr;
    if (item) std::snprintf(out, static_cast<size_t>(size), "%s", item->text);
}
