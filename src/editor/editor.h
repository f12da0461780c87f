// The editor dialog: its two sub-modes (painting the editor's map, turning the bones of
// its pose), the four file dialogs, and what mouse, keys and commands do while it is open.
#pragma once

#include <cstdint>

#include "config/settings.h"
#include "console/console.h"
#include "editor/editor_files.h"
#include "editor/map_editor.h"
#include "editor/pose_editor.h"
#include "gui/widgets.h"
#include "map/map_grid.h"
#include "platform/file_search.h"
#include "platform/key_state.h"
#include "skeleton/key_pose.h"
#include "world/camera.h"

// The sub-modes are named by the command ids of the buttons that choose them.
enum EditorSubMode : uint32_t { sub_mode_map = 27, sub_mode_pose = 28 };

enum EditorCommand : uint32_t {
    command_sub_mode_map = 27,
    command_sub_mode_pose = 28,
    command_bone_scroll = 29,
    command_bone_list = 30,
    command_terrain_scroll = 31,
    command_terrain_list = 32,
    command_open_load_map = 33,
    command_open_save_map = 34,
    command_item_scroll = 35,
    command_item_list = 36,
    command_load_map_cancel = 37,
    command_load_map_ok = 38,
    command_map_file_scroll = 39,
    command_map_file_list = 40,
    command_map_name = 41,
    command_save_map_cancel = 42,
    command_save_map_ok = 43,
    command_load_bones_cancel = 57,
    command_load_bones_ok = 58,
    command_bones_file_scroll = 59,
    command_bones_file_list = 60,
    command_bones_name = 61,
    command_save_bones_cancel = 62,
    command_save_bones_ok = 63,
    command_open_load_bones = 64,
    command_open_save_bones = 65,
};

// Built once and kept for the whole run: closing the dialog keeps the sub-mode, the map,
// the pose and the file dialogs as they are.
struct Editor {
    Dialog dialog;
    Dialog load_map, save_map, load_bones, save_bones;
    bool load_map_open = false, save_map_open = false;
    bool load_bones_open = false, save_bones_open = false;
    EditorSubMode sub_mode = sub_mode_map;
    int last_mouse_x = 0, last_mouse_y = 0;  // of the last mouse message handled
    MapEditor map;
    PoseEditor pose;
    // Where maps and poses are listed, loaded and saved.
    FilePlaces map_files{kMapFolder, kMapFolder};
    FilePlaces pose_files{kBonesFolder, kBonesFolder};
};

// What the editor works on besides its own state: the one camera, the console its lines
// go to, the back buffer the cursor lies in, and the key poses a pose saved under a key's
// name replaces.
struct EditorWorld {
    Camera& cam;
    Console& console;
    const KeyState& keys;
    int screen_width, screen_height;
    KeyPoses& poses;
};

// The fresh map and default pose, the editor dialog at its saved corner (section
// "editor_dialog"), the file dialogs closed, the map sub-mode shown; commands go to sink.
void build_editor(Editor& editor, const Settings& settings, CommandSink* sink, int screen_width,
                  int screen_height);

// One window message while the editor dialog is open: editor_dialogs_take, then, when no
// dialog took it, editor_input. True when a dialog consumed it.
bool editor_handler(Editor& editor, EditorWorld& world, const Message& msg);
// The open file dialogs first, then the editor dialog; true when one consumed the message.
bool editor_dialogs_take(Editor& editor, const KeyState& keys, const Message& msg);
// What the message does to the map, the pose and the camera where no dialog is: painting,
// bone turns, camera drags, Ctrl+Z / Ctrl+Y, and the editor's commands.
void editor_input(Editor& editor, EditorWorld& world, const Message& msg);

// Once a frame while the editor shows: a cursor within 5 pixels of a screen edge pans the
// map sub-mode's camera or orbits the pose sub-mode's, one step per edge touched. Nothing
// while the cursor is outside the window.
void editor_edge_moves(const Editor& editor, Camera& cam, const KeyState& keys, int width,
                       int height);

// A line naming the unsaved work, or null.
const char* unsaved_work(const Editor& editor);
