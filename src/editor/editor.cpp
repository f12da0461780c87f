#include "editor/editor.h"

#include <cstring>

#include "config/settings.h"
#include "editor/editor_files.h"
#include "gui/game_dialogs.h"
#include "map/map_grid.h"
#include "platform/file_search.h"
#include "render/picking.h"
#include "render/projection.h"
#include "skeleton/bone_pose.h"

namespace {

constexpr uint32_t kLineColour = 0xFFFFFFFF;
constexpr Vec3 kOrigin = {0.0f, 0.0f, 0.0f};
constexpr Vec3 kMapEye = {0.0f, 10.0f, 10.0f};
constexpr Vec3 kPoseEye = {3.0f, 3.0f, 3.0f};
constexpr int kEdge = 5;            // pixels from a screen edge that move the camera
constexpr float kEdgeOrbit = 0.2f;  // radians a frame, pose sub-mode
constexpr int kListRows = 7, kListColumns = 15, kBarCells = 7, kNameCells = 15;

constexpr DialogFrame kEditorFrame = {200, 150, 640, 280, "editor"};
constexpr DialogFrame kLoadMapFrame = {80, 100, 275, 200, "Load Map"};
constexpr DialogFrame kSaveMapFrame = {80, 100, 275, 100, "Save Map"};
constexpr DialogFrame kLoadBonesFrame = {80, 100, 275, 200, "Load Bones"};
constexpr DialogFrame kSaveBonesFrame = {80, 100, 275, 100, "Save Bones"};

constexpr IntRect kCancelSource = {64, 0, 96, 32};
constexpr IntRect kOkSource = {32, 32, 64, 64};

// The item list from the top: "[no]", "box", "grass", "figure".
constexpr ItemKind kItemListOrder[] = {item_none, item_box, item_grass, item_figure};

// The widgets each sub-mode shows; the other's are hidden.
constexpr uint32_t kMapWidgets[] = {command_terrain_list,  command_terrain_scroll,
                                    command_item_scroll,   command_item_list,
                                    command_open_load_map, command_open_save_map};
constexpr uint32_t kPoseWidgets[] = {command_bone_list, command_bone_scroll,
                                     command_open_load_bones, command_open_save_bones};

// A load dialog's and a save dialog's ids, one pair for maps, one for bones.
struct FileKind {
    const char* suffix;
    const char* what;               // for console lines
    uint32_t open_load, open_save;  // the editor dialog's buttons
    uint32_t bar, list, cancel, ok;
    uint32_t field, save_cancel, save_ok;
};
constexpr FileKind kMapFiles = {kMapExtension,           "map",
                                command_open_load_map,   command_open_save_map,
                                command_map_file_scroll, command_map_file_list,
                                command_load_map_cancel, command_load_map_ok,
                                command_map_name,        command_save_map_cancel,
                                command_save_map_ok};
constexpr FileKind kBonesFiles = {kBonesExtension,           "pose",
                                  command_open_load_bones,   command_open_save_bones,
                                  command_bones_file_scroll, command_bones_file_list,
                                  command_load_bones_cancel, command_load_bones_ok,
                                  command_bones_name,        command_save_bones_cancel,
                                  command_save_bones_ok};

constexpr size_t kPathSize = 4096;

void add_load_widgets(Dialog& dialog, const FileKind& kind) {
    dialog.add_label(command_label, "Choose a file:", 4, 4);
    dialog.add_scroll_bar(kind.bar, 4, 42, kBarCells);
    dialog.add_list_box(kind.list, 24, 42, kListRows, kListColumns);
    add_image_button(dialog, kind.cancel, kCancelSource, 190, 160);
    add_image_button(dialog, kind.ok, kOkSource, 160, 163);
}

void add_save_widgets(Dialog& dialog, const FileKind& kind) {
    dialog.add_text_field(kind.field, 10, 50, kNameCells);
    add_image_button(dialog, kind.save_cancel, kCancelSource, 190, 75);
    add_image_button(dialog, kind.save_ok, kOkSource, 160, 78);
}

void add_list(Dialog& dialog, uint32_t bar, uint32_t list_id, float x, const char* const* names,
              int count) {
    dialog.add_scroll_bar(bar, x - 20, 42, kBarCells);
    ListBox* list = dialog.add_list_box(list_id, x, 42, kListRows, kListColumns);
    // A list shows its newest item first: add from the bottom up.
    for (int i = count - 1; i >= 0 && list; --i) list->add_item(names[i]);
}

void add_editor_widgets(Dialog& d) {
    add_text_button(d, command_sub_mode_map, "map", 4, 4);
    add_text_button(d, command_sub_mode_pose, "figures", 40, 4);
    add_text_button(d, command_open_load_map, "load map", 50, 170);
    add_text_button(d, command_open_save_map, "save map", 50, 184);
    add_text_button(d, command_open_load_bones, "load bones", 50, 170);
    add_text_button(d, command_open_save_bones, "save bones", 50, 184);
    const char* bones[kBoneCount];
    for (int slot = 0; slot < kBoneCount; ++slot) bones[slot] = kBoneNames[kBoneCount - 1 - slot];
    add_list(d, command_bone_scroll, command_bone_list, 80, bones, kBoneCount);
    const char* terrains[kTerrainTypeCount];
    for (int t = 0; t < kTerrainTypeCount; ++t) terrains[t] = kTerrainTable[t].name;
    add_list(d, command_terrain_scroll, command_terrain_list, 80, terrains, kTerrainTypeCount);
    const char* items[kItemKindCount];
    for (int i = 0; i < kItemKindCount; ++i) items[i] = kItemTable[kItemListOrder[i]].name;
    add_list(d, command_item_scroll, command_item_list, 380, items, kItemKindCount);
}

void show_sub_mode(Editor& editor, EditorSubMode mode) {
    editor.sub_mode = mode;
    for (uint32_t id : kMapWidgets) show_widget(editor.dialog, id, mode == sub_mode_map);
    for (uint32_t id : kPoseWidgets) show_widget(editor.dialog, id, mode == sub_mode_pose);
}

const char* selected_text(const Dialog& dialog, uint32_t list_id) {
    const ListBox* list = find_list_box(dialog, list_id);
    const ListItem* item = list ? list->selected_item() : nullptr;
    return item ? item->text : nullptr;
}

int terrain_named(const char* name) {
    for (int t = 0; name && t < kTerrainTypeCount; ++t) {
        if (std::strcmp(kTerrainTable[t].name, name) == 0) return t;
    }
    return -1;
}

uint8_t item_named(const char* name) {
    for (int i = 0; name && i < kItemKindCount; ++i) {
        if (std::strcmp(kItemTable[i].name, name) == 0) return static_cast<uint8_t>(i);
    }
    return item_none;
}

// Painting uses the last vertex picked whether or not the latest pick hit.
void paint_at_pick(Editor& editor) {
    const int terrain = terrain_named(selected_text(editor.dialog, command_terrain_list));
    if (terrain < 0) return;
    paint(editor.map, static_cast<uint8_t>(terrain),
          item_named(selected_text(editor.dialog, command_item_list)));
}

void pick_at(Editor& editor, EditorWorld& world, int x, int y) {
    const int w = world.screen_width, h = world.screen_height;
    pick_vertex(editor.map, cursor_ray(static_cast<float>(x), static_cast<float>(y), w, h,
                                       w > 0 && h > 0 ? game_projection(w, h) : Matrix{},
                                       view_matrix(world.cam)));
}

const FilePlaces& places(const Editor& editor, const FileKind& kind) {
    return &kind == &kMapFiles ? editor.map_files : editor.pose_files;
}

void fill_file_list(const Dialog& dialog, const FilePlaces& places, const FileKind& kind) {
    ListBox* list = find_list_box(dialog, kind.list);
    if (!list) return;
    list->clear();
    list->selected = 1;
    list->first_visible = 1;
    // Sorted names: the last one shows at the top. add_item cuts a long name to its item.
    for (const std::string& name : find_named_files(places, kind.suffix)) {
        list->add_item(name.c_str());
    }
    pair_scroll_bar(dialog, kind.bar, kind.list);
}

// The file is read over a copy first, so one that cannot be read leaves no undo step.
template <typename State>
void take_loaded(State& state, UndoRing<State>& steps, bool& unsaved, const State& loaded,
                 bool whole) {
    steps.begin_step(state);  // a load can be undone like a stroke or a drag
    state = loaded;
    steps.end_step();
    unsaved = !whole;
}

bool load_file(Editor& editor, const FileKind& kind, const char* path) {
    if (&kind == &kMapFiles) {
        MapGrid loaded = editor.map.map;
        const MapLoad result = load_map(loaded, path);
        report_map_load(path, result);
        if (result.status != map_ok && result.status != map_short_file) return false;
        take_loaded(editor.map.map, editor.map.strokes, editor.map.unsaved, loaded,
                    result.status == map_ok);
        return true;
    }
    BonePose loaded = editor.pose.pose;
    const PoseLoad result = load_pose(loaded, path);
    report_pose_load(path, result);
    if (result.status != pose_ok && result.status != pose_short_file) return false;
    take_loaded(editor.pose.pose, editor.pose.drags, editor.pose.unsaved, loaded,
                result.status == pose_ok);
    return true;
}

// OK in a load dialog: the chosen file over the editor's map or pose; with no choice the
// dialog only closes.
void load_chosen(Editor& editor, EditorWorld& world, const Dialog& dialog, const FileKind& kind) {
    const char* name = selected_text(dialog, kind.list);
    if (!name) return;
    char path[kPathSize];
    if (!usable_load_name(name) ||
        !named_file_path(path, sizeof path, places(editor, kind), name, kind.suffix)) {
        console_print(world.console, kLineColour, "the %s \"%s\" cannot be loaded", kind.what,
                      name);
        return;
    }
    if (load_file(editor, kind, path)) {
        console_print(world.console, kLineColour, "loaded the %s %s (Ctrl+Z takes it back)",
                      kind.what, name);
    } else {
        console_print(world.console, kLineColour, "the %s %s could not be read; nothing changed",
                      kind.what, name);
    }
}

// OK in a save dialog. A name that is empty or not plain keeps the dialog open and saves
// nothing.
bool save_named(Editor& editor, EditorWorld& world, const Dialog& dialog, const FileKind& kind) {
    char name[kWidgetTextSize] = {};
    if (const TextField* field = find_text_field(dialog, kind.field))
        field->text(name, sizeof name);
    char path[kPathSize];
    if (!usable_save_name(name) ||
        !editor_file_path(path, sizeof path, places(editor, kind).user.c_str(), name,
                          kind.suffix)) {
        console_print(world.console, kLineColour,
                      name[0] ? "\"%s\" is no file name: use letters, digits, '_' and '-'"
                              : "%stype a name for the file first",
                      name);
        return false;
    }
    const bool map = &kind == &kMapFiles;
    const bool saved = map ? save_map(editor.map.map, path) : save_pose(editor.pose.pose, path);
    if (saved) {
        (map ? editor.map.unsaved : editor.pose.unsaved) = false;
        // A saved key shows in play at the next frame, as the file now says.
        if (!map) keep_saved_key(world.poses, name, editor.pose.pose);
        console_print(world.console, kLineColour, "saved the %s as %s", kind.what, path);
    } else {
        console_print(world.console, kLineColour, "the %s was not saved (the reason is on stderr)",
                      kind.what);
    }
    return true;
}

// One kind's load and save dialogs and whether each is open.
struct FileDialogs {
    Dialog& load;
    Dialog& save;
    bool& load_open;
    bool& save_open;
};

FileDialogs file_dialogs(Editor& editor, const FileKind& kind) {
    if (&kind == &kMapFiles) {
        return {editor.load_map, editor.save_map, editor.load_map_open, editor.save_map_open};
    }
    return {editor.load_bones, editor.save_bones, editor.load_bones_open, editor.save_bones_open};
}

// Opening one of a kind's dialogs closes the other; false for an id of neither.
bool run_file_command(Editor& editor, EditorWorld& world, const FileKind& kind, uint32_t id) {
    const FileDialogs files = file_dialogs(editor, kind);
    if (id == kind.open_load) {
        files.save_open = false;
        files.load_open = true;
        fill_file_list(files.load, places(editor, kind), kind);
    } else if (id == kind.open_save) {
        files.save_open = true;
        files.load_open = false;
    } else if (id == kind.cancel || id == kind.ok) {
        files.load_open = false;
        if (id == kind.ok) load_chosen(editor, world, files.load, kind);
    } else if (id == kind.save_cancel) {
        files.save_open = false;
    } else if (id == kind.save_ok) {
        if (save_named(editor, world, files.save, kind)) files.save_open = false;
    } else {
        return false;
    }
    return true;
}

void run_command(Editor& editor, EditorWorld& world, uint32_t id) {
    if (id == command_sub_mode_map) {
        show_sub_mode(editor, sub_mode_map);
        set_camera(world.cam, kMapEye, kOrigin);
    } else if (id == command_sub_mode_pose) {
        show_sub_mode(editor, sub_mode_pose);
        set_camera(world.cam, kPoseEye, kOrigin);
    } else if (!run_file_command(editor, world, kMapFiles, id)) {
        run_file_command(editor, world, kBonesFiles, id);
    }
}

// The open file dialogs, then the editor dialog, each keeping its list and bar in step.
bool dialogs_consume(Editor& editor, const KeyState& keys, const Message& msg) {
    const int x = keys.cursor_x, y = keys.cursor_y;
    for (const FileKind* kind : {&kMapFiles, &kBonesFiles}) {
        const FileDialogs files = file_dialogs(editor, *kind);
        if (files.load_open && files.load.handle_message(msg, x, y)) {
            pair_scroll_bar(files.load, kind->bar, kind->list);
            return true;
        }
    }
    for (const FileKind* kind : {&kMapFiles, &kBonesFiles}) {
        const FileDialogs files = file_dialogs(editor, *kind);
        if (files.save_open && files.save.handle_message(msg, x, y)) return true;
    }
    if (editor.dialog.handle_message(msg, x, y)) {
        pair_scroll_bar(editor.dialog, command_bone_scroll, command_bone_list);
        pair_scroll_bar(editor.dialog, command_terrain_scroll, command_terrain_list);
        pair_scroll_bar(editor.dialog, command_item_scroll, command_item_list);
        return true;
    }
    return false;
}

// A stroke or a drag ends when its buttons are let go, wherever that happens.
void end_steps_on_release(Editor& editor, uint32_t buttons) {
    if ((buttons & mouse_bit_left) == 0) end_stroke(editor.map);
    if ((buttons & (mouse_bit_left | mouse_bit_middle | mouse_bit_right)) == 0) {
        release_buttons(editor.pose);
    }
}

void undo_or_redo(Editor& editor, bool redo) {
    if (editor.sub_mode == sub_mode_map) {
        redo ? redo_stroke(editor.map) : undo_stroke(editor.map);
    } else {
        redo ? redo_drag(editor.pose) : undo_drag(editor.pose);
    }
}

void mouse_moved(Editor& editor, EditorWorld& world, const Message& msg, int x, int y) {
    if (editor.sub_mode == sub_mode_pose) {
        const int slot = bone_slot(selected_text(editor.dialog, command_bone_list));
        return turn_bone(editor.pose, slot, msg.wparam, editor.last_mouse_x, x);
    }
    pick_at(editor, world, x, y);
    if (msg.wparam & mouse_bit_middle) orbit_by_drag(world.cam, editor.last_mouse_x, x);
    if (msg.wparam & mouse_bit_left) {
        begin_stroke(editor.map);  // a press on a dialog can become a stroke on the map
        paint_at_pick(editor);
    }
}

}  // namespace

void build_editor(Editor& editor, const Settings& settings, CommandSink* sink, int screen_width,
                  int screen_height) {
    init_map_editor(editor.map);
    init_dialog(editor.dialog, kEditorFrame, sink);
    init_dialog(editor.load_map, kLoadMapFrame, sink);
    init_dialog(editor.save_map, kSaveMapFrame, sink);
    init_dialog(editor.load_bones, kLoadBonesFrame, sink);
    init_dialog(editor.save_bones, kSaveBonesFrame, sink);
    add_load_widgets(editor.load_map, kMapFiles);
    add_save_widgets(editor.save_map, kMapFiles);
    add_load_widgets(editor.load_bones, kBonesFiles);
    add_save_widgets(editor.save_bones, kBonesFiles);
    editor.load_map_open = editor.save_map_open = false;
    editor.load_bones_open = editor.save_bones_open = false;
    // A config.cfg from before the editor has no corner for it: keep the built-in one.
    char saved[16];
    read_setting_string(settings, kSectionEditorDialog, kKeyPosx, saved, sizeof saved);
    if (std::strcmp(saved, kSettingMissingText) != 0) {
        restore_position(editor.dialog, settings, kSectionEditorDialog, screen_width,
                         screen_height);
    }
    add_editor_widgets(editor.dialog);
    show_sub_mode(editor, sub_mode_map);
    editor.last_mouse_x = editor.last_mouse_y = 0;
    init_pose_editor(editor.pose);
}

bool editor_dialogs_take(Editor& editor, const KeyState& keys, const Message& msg) {
    if (is_mouse_message(msg.id)) end_steps_on_release(editor, msg.wparam);
    return dialogs_consume(editor, keys, msg);
}

bool editor_handler(Editor& editor, EditorWorld& world, const Message& msg) {
    if (editor_dialogs_take(editor, world.keys, msg)) return true;
    editor_input(editor, world, msg);
    return false;
}

void editor_input(Editor& editor, EditorWorld& world, const Message& msg) {
    const int x = point_x(msg.lparam), y = point_y(msg.lparam);
    switch (msg.id) {
        case msg_gui_command:
            return run_command(editor, world, msg.wparam);
        case msg_key_down:
            if (key_down(world.keys, vk_control) && (msg.wparam == 'Z' || msg.wparam == 'Y')) {
                undo_or_redo(editor, msg.wparam == 'Y');
            }
            return;
        case msg_lbutton_down:
            if (editor.sub_mode == sub_mode_map) {
                pick_at(editor, world, x, y);
                begin_stroke(editor.map);
                paint_at_pick(editor);
            }
            break;
        case msg_rbutton_down:
        case msg_mbutton_down:
            break;
        case msg_mouse_move:
            mouse_moved(editor, world, msg, x, y);
            break;
        default:
            return;
    }
    editor.last_mouse_x = x;
    editor.last_mouse_y = y;
}

void editor_edge_moves(const Editor& editor, Camera& cam, const KeyState& keys, int width,
                       int height) {
    if (!keys.cursor_inside) return;
    const int x = keys.cursor_x, y = keys.cursor_y;
    const bool left = x < kEdge, top = y < kEdge;
    const bool right = x > width - kEdge, bottom = y > height - kEdge;
    if (editor.sub_mode == sub_mode_map) {
        if (left) pan(cam, 1, 0, 0);
        if (top) pan(cam, 0, 0, 1);
        if (right) pan(cam, -1, 0, 0);
        if (bottom) pan(cam, 0, 0, -1);
        return;
    }
    if (left) orbit(cam, kEdgeOrbit, 0);
    if (top) orbit(cam, 0, kEdgeOrbit);
    if (right) orbit(cam, -kEdgeOrbit, 0);
    if (bottom) orbit(cam, 0, -kEdgeOrbit);
}

const char* unsaved_work(const Editor& editor) {
    if (editor.map.unsaved && editor.pose.unsaved) return "the editor's map and pose are not saved";
    if (editor.map.unsaved) return "the editor's map is not saved";
    if (editor.pose.unsaved) return "the editor's pose is not saved";
    return nullptr;
}
