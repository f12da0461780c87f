#include "editor/pose_editor.h"

#include <cstring>

#include "platform/message.h"

namespace {

constexpr float kRadiansPerPixel = 0.017453292f;
constexpr uint32_t kTurningButtons = mouse_bit_left | mouse_bit_middle | mouse_bit_right;

}  // namespace

void init_pose_editor(PoseEditor& editor) {
    default_pose(editor.pose);
    editor.unsaved = false;
    editor.drags.clear();
}

int bone_slot(const char* name) {
    if (name == nullptr) return -1;
    for (int slot = 0; slot < kBoneCount; ++slot) {
        if (std::strcmp(kBoneNames[slot], name) == 0) return slot;
    }
    return -1;
}

Quaternion drag_turn(uint32_t buttons, int last_x, int x) {
    const float angle = static_cast<float>(last_x - x) * kRadiansPerPixel;
    Quaternion turn = quaternion_yaw_pitch_roll(0.0f, 0.0f, 0.0f);
    if (buttons & mouse_bit_left) turn = quaternion_yaw_pitch_roll(0.0f, angle, 0.0f);
    if (buttons & mouse_bit_middle) turn = quaternion_yaw_pitch_roll(angle, 0.0f, 0.0f);
    if (buttons & mouse_bit_right) turn = quaternion_yaw_pitch_roll(0.0f, 0.0f, angle);
    return turn;
}

void turn_bone(PoseEditor& editor, int slot, uint32_t buttons, int last_x, int x) {
    if (slot < 0 || slot >= kBoneCount || (buttons & kTurningButtons) == 0 || last_x == x) return;
    editor.drags.begin_step(editor.pose);
    Quaternion& rotation = editor.pose.bones[slot].rotation;
    rotation = quaternion_multiply(rotation, drag_turn(buttons, last_x, x));
    editor.unsaved = true;
}

void release_buttons(PoseEditor& editor) {
    editor.drags.end_step();
}

bool undo_drag(PoseEditor& editor) {
    const bool undone = editor.drags.undo(editor.pose);
    editor.unsaved = editor.unsaved || undone;
    return undone;
}

bool redo_drag(PoseEditor& editor) {
    const bool redone = editor.drags.redo(editor.pose);
    editor.unsaved = editor.unsaved || redone;
    return redone;
}
