#include "editor/gl_editor.h"

namespace {

constexpr uint32_t kCursorSquareColour = 0x33333333;  // added to each channel
constexpr float kCursorSquareLift = 0.01f;            // above the terrain

// The pick square of vertex (0, 0): x from -1 to 0, z from 0 to 1.
constexpr ColouredVertex kCursorSquare[6] = {
    {-1, 0, 1, kCursorSquareColour}, {0, 0, 1, kCursorSquareColour},
    {-1, 0, 0, kCursorSquareColour}, {0, 0, 1, kCursorSquareColour},
    {0, 0, 0, kCursorSquareColour},  {-1, 0, 0, kCursorSquareColour},
};

void draw_map_view(Renderer& device, EditorDrawing& drawing, const MapEditor& map) {
    draw_terrain(device, drawing.terrain, map.map);
    if (!map.pick_hit) return;
    const Matrix world = translation(static_cast<float>(map.picked_p), kCursorSquareLift,
                                     -static_cast<float>(map.picked_q));
    device.draw_coloured_triangles(kCursorSquare, 6, world, blend_additive);
}

void draw_pose_view(Renderer& device, EditorDrawing& drawing, const BonePose& pose) {
    draw_pose_figure(device, drawing.markers, pose);
    PlayerRecord model{};  // at the origin, still, unturned, zombie
    model.facing = identity();
    draw_character(device, drawing.characters, nullptr, label_full, model, pose);
    draw_attack_trail(device, model, pose);
}

}  // namespace

void draw_editor_scene(Renderer& device, EditorDrawing& drawing, const Editor& editor,
                       const Camera& cam) {
    device.set_view(view_matrix(cam));
    if (editor.sub_mode == sub_mode_map) return draw_map_view(device, drawing, editor.map);
    draw_pose_view(device, drawing, editor.pose.pose);
}

void draw_editor_file_dialogs(const Renderer& device, WidgetDrawing& widgets, Font* font,
                              const Editor& editor) {
    const bool map = editor.sub_mode == sub_mode_map;
    if (map ? editor.load_map_open : editor.load_bones_open) {
        draw_dialog(device, widgets, font, map ? editor.load_map : editor.load_bones);
    }
    if (map ? editor.save_map_open : editor.save_bones_open) {
        draw_dialog(device, widgets, font, map ? editor.save_map : editor.save_bones);
    }
}
