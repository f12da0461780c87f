// The editor dialog without a window: what its lists, buttons, mouse and keys do to the
// editor's map, pose, files and camera.
#include "editor/editor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "editor/editor_files.h"
#include "support/temp_folder.h"
#include "world/player_action.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 1024, kHeight = 768;
constexpr int kCentreX = kWidth / 2, kCentreY = kHeight / 2;

class EditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(inside_.ok());
        fs::create_directories("Data/maps");
        fs::create_directories("Data/bones");
        write_text("config.cfg", "");
        load_settings(settings_);
        console_lines_init(console_, 8);
        build_editor(editor(), settings_, nullptr, kWidth, kHeight);
        command(command_sub_mode_map);
    }

    Editor& editor() { return *editor_; }
    void deliver(const Message& msg) {
        track_message(keys_, msg);
        editor_handler(editor(), world_, msg);
    }
    void command(uint32_t id) { deliver(command_message(id)); }
    ListBox& list(const Dialog& dialog, uint32_t id) {
        ListBox* found = find_list_box(dialog, id);
        EXPECT_NE(found, nullptr) << id;
        return *found;
    }
    // Selects the item with that text; item 1 is the top row.
    void choose(const Dialog& dialog, uint32_t id, const char* text) {
        ListBox& box = list(dialog, id);
        for (int32_t k = 1; k <= box.count(); ++k) {
            if (std::strcmp(box.items[static_cast<size_t>(k - 1)].text, text) == 0)
                box.selected = k;
        }
        ASSERT_STREQ(box.selected_item()->text, text);
    }
    void type_name(const Dialog& dialog, uint32_t id, const char* name) {
        TextField* field = find_text_field(dialog, id);
        ASSERT_NE(field, nullptr);
        std::snprintf(field->text_buffer, sizeof field->text_buffer, "%s", name);
        field->length = static_cast<int32_t>(std::strlen(name));
    }
    std::string last_line() const {
        return console_line(console_, console_line_count(console_) - 1)->text;
    }

    TempFolder folder_{"torvi-editor-"};
    WorkingFolder inside_{folder_.path()};
    std::unique_ptr<Editor> editor_ = std::make_unique<Editor>();
    Settings settings_;
    Camera cam_{};
    Console console_;
    KeyState keys_{};
    KeyPoses poses_;
    EditorWorld world_{cam_, console_, keys_, kWidth, kHeight, poses_};
};

std::vector<std::string> texts(const ListBox& box) {
    std::vector<std::string> out;
    for (const ListItem& item : box.items) out.push_back(item.text);
    return out;
}

TEST_F(EditorTest, ListsReadFromTheTopAndEachSubModeShowsItsOwnWidgets) {
    const Dialog& d = editor().dialog;
    using V = std::vector<std::string>;
    EXPECT_EQ(texts(list(d, command_terrain_list)),
              (V{"snow", "grass", "light grass", "earth", "water"}));
    EXPECT_EQ(texts(list(d, command_item_list)), (V{"[no]", "box", "grass", "figure"}));
    EXPECT_EQ(texts(list(d, command_bone_list)).front(), "right up leg");
    EXPECT_EQ(texts(list(d, command_bone_list)).back(), "head");
    EXPECT_EQ(d.x, 200);  // no saved corner: the built-in one
    EXPECT_TRUE(d.find(command_open_load_map)->visible);
    EXPECT_FALSE(d.find(command_bone_list)->visible);

    command(command_sub_mode_pose);
    EXPECT_EQ(editor().sub_mode, sub_mode_pose);
    EXPECT_FALSE(d.find(command_item_list)->visible);
    EXPECT_TRUE(d.find(command_open_save_bones)->visible);
    EXPECT_EQ(cam_.eye.x, 3.0f);
    command(command_sub_mode_map);
    EXPECT_EQ(cam_.eye.y, 10.0f);
    EXPECT_EQ(cam_.eye.z, 10.0f);
}

// The camera of the map sub-mode looks at the origin, the map lying above and left of the
// screen centre; the bottom of the screen sees the ground before the map.
TEST_F(EditorTest, ClicksPaintTheChosenTerrainAndItemAndDragsTurnPanAndUndo) {
    MapGrid& map = editor().map.map;
    choose(editor().dialog, command_terrain_list, "water");
    choose(editor().dialog, command_item_list, "box");
    deliver(mouse_message(msg_mouse_move, 0, kCentreX - 100, kCentreY - 100));
    deliver(mouse_message(msg_lbutton_down, mouse_bit_left, kCentreX - 100, kCentreY - 100));
    ASSERT_TRUE(editor().map.pick_hit);
    const int p = editor().map.picked_p, q = editor().map.picked_q;
    EXPECT_EQ(map.cells[p][q].corner[0], terrain_water);
    EXPECT_EQ(map.items[p][q], item_box);
    // Held down, the stroke goes on to the next vertex (+x is on the left).
    deliver(mouse_message(msg_mouse_move, mouse_bit_left, kCentreX - 250, kCentreY - 100));
    ASSERT_NE(editor().map.picked_p, p);
    deliver(mouse_message(msg_lbutton_up, 0, kCentreX - 250, kCentreY - 100));
    const MapGrid painted = map;

    // "[no]" takes the box away; a click off the map paints the vertex picked last.
    choose(editor().dialog, command_item_list, "[no]");
    deliver(mouse_message(msg_lbutton_down, mouse_bit_left, kCentreX, kHeight - 2));
    deliver(mouse_message(msg_lbutton_up, 0, kCentreX, kHeight - 2));
    EXPECT_FALSE(editor().map.pick_hit);
    EXPECT_EQ(map.items[editor().map.picked_p][editor().map.picked_q], item_none);

    // Ctrl+Z takes back the click, then the whole stroke; Ctrl+Y brings the stroke back.
    deliver(key_message(true, vk_control));
    deliver(key_message(true, 'Z'));
    EXPECT_EQ(std::memcmp(&map, &painted, sizeof map), 0);
    deliver(key_message(true, 'Z'));
    EXPECT_EQ(map.cells[p][q].corner[0], terrain_light_grass);
    deliver(key_message(true, 'Y'));
    EXPECT_EQ(std::memcmp(&map, &painted, sizeof map), 0);
    deliver(key_message(false, vk_control));
    deliver(key_message(true, 'Z'));  // Z alone is no undo
    EXPECT_EQ(std::memcmp(&map, &painted, sizeof map), 0);

    // The middle button orbits; the pose sub-mode turns the chosen bone instead.
    const Vec3 eye = cam_.eye;
    deliver(mouse_message(msg_mbutton_down, mouse_bit_middle, 500, 300));
    deliver(mouse_message(msg_mouse_move, mouse_bit_middle, 490, 300));
    EXPECT_NE(cam_.eye.x, eye.x);
    command(command_sub_mode_pose);
    choose(editor().dialog, command_bone_list, "head");
    const Quaternion head = editor().pose.pose.bones[bone_slot("head")].rotation;
    deliver(mouse_message(msg_mbutton_down, mouse_bit_middle, 500, 300));
    deliver(mouse_message(msg_mouse_move, mouse_bit_middle, 410, 300));
    EXPECT_NE(editor().pose.pose.bones[bone_slot("head")].rotation.y, head.y);
}

TEST_F(EditorTest, EdgesMoveTheCameraOnlyWhileTheCursorIsInTheWindow) {
    set_camera(cam_, {3, 3, 3}, {0, 0, 0});
    command(command_sub_mode_pose);
    editor_edge_moves(editor(), cam_, keys_, kWidth, kHeight);
    EXPECT_EQ(cam_.eye.x, 3.0f);  // no mouse message yet: the cursor is nowhere
    deliver(mouse_message(msg_mouse_move, 0, 0, 0));
    Camera expected = cam_;
    orbit(expected, 0.2f, 0.0f);
    orbit(expected, 0.0f, 0.2f);
    editor_edge_moves(editor(), cam_, keys_, kWidth, kHeight);
    EXPECT_FLOAT_EQ(cam_.eye.x, expected.eye.x);
    EXPECT_FLOAT_EQ(cam_.eye.y, expected.eye.y);
    deliver({msg_mouse_leave, 0, 0});
    editor_edge_moves(editor(), cam_, keys_, kWidth, kHeight);
    EXPECT_FLOAT_EQ(cam_.eye.x, expected.eye.x);
}

TEST_F(EditorTest, FilesSaveUnderPlainNamesListSortedAndLoadBack) {
    choose(editor().dialog, command_terrain_list, "earth");
    paint(editor().map, terrain_earth, item_figure);
    const MapGrid painted = editor().map.map;

    // No name, or one that is not plain, saves nothing and keeps the dialog open.
    command(command_open_save_map);
    for (const char* name : {"", "../up", ".hidden", "a b"}) {
        type_name(editor().save_map, command_map_name, name);
        command(command_save_map_ok);
        EXPECT_TRUE(editor().save_map_open) << name;
    }
    EXPECT_NE(last_line().find("no file name"), std::string::npos) << last_line();
    EXPECT_TRUE(fs::is_empty("Data/maps"));
    EXPECT_TRUE(editor().map.unsaved);
    type_name(editor().save_map, command_map_name, "ABC");
    command(command_save_map_ok);
    EXPECT_FALSE(editor().save_map_open);
    EXPECT_FALSE(editor().map.unsaved);
    EXPECT_EQ(read_text("Data/maps/ABC.map"),
              std::string(reinterpret_cast<const char*>(&painted), sizeof painted));

    // The list: names sorted byte by byte without their suffix, the last at the top; other
    // files and a name longer than a list item (cut to fit) do not spoil it.
    write_text("Data/maps/aa.map", "");
    write_text("Data/maps/notes.txt", "");
    fs::create_directory("Data/maps/folder.map");
    write_text("Data/maps/" + std::string(200, 'L') + ".map", "");
    command(command_open_load_map);
    const ListBox& files = list(editor().load_map, command_map_file_list);
    ASSERT_EQ(files.count(), 3);
    EXPECT_STREQ(files.items[0].text, "aa");
    EXPECT_EQ(std::string(files.items[1].text), std::string(kListItemTextSize - 1, 'L'));
    EXPECT_STREQ(files.items[2].text, "ABC");

    // Loading ABC over a fresh map brings back every byte, and Ctrl+Z takes the load back.
    init_map_editor(editor().map);
    choose(editor().load_map, command_map_file_list, "ABC");
    command(command_load_map_ok);
    EXPECT_FALSE(editor().load_map_open);
    EXPECT_EQ(std::memcmp(&editor().map.map, &painted, sizeof painted), 0);
    deliver(key_message(true, vk_control));
    deliver(key_message(true, 'Z'));
    EXPECT_EQ(editor().map.map.cells[5][5].corner[0], terrain_light_grass);

    // A pose saved as WALK1 is the key the walk shows next.
    command(command_sub_mode_pose);
    turn_bone(editor().pose, bone_slot("left arm"), mouse_bit_right, 0, 37);
    command(command_open_save_bones);
    type_name(editor().save_bones, command_bones_name, "WALK1");
    command(command_save_bones_ok);
    BonePose saved;
    ASSERT_EQ(load_pose(saved, "Data/bones/WALK1.bones").status, pose_ok);
    EXPECT_EQ(std::memcmp(&saved, &editor().pose.pose, sizeof saved), 0);
    BonePose shown;
    key_pose(poses_, shown, action_walk, 0);
    EXPECT_EQ(std::memcmp(&shown, &saved, sizeof shown), 0);
    EXPECT_FALSE(editor().pose.unsaved);
    EXPECT_STREQ(unsaved_work(editor()), "the editor's map is not saved");  // the undone load
}

}  // namespace
