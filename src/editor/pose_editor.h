// The pose sub-mode's logic: turning the chosen bone by dragging the mouse, and undo by
// drag. Mouse buttons are the mouse_bit_* flags of platform/message.h.
#pragma once

#include <cstdint>

#include "editor/undo_ring.h"
#include "skeleton/bone_pose.h"

struct PoseEditor {
    PoseEditor() : drags(kPoseUndoSteps) {}
    static constexpr int kPoseUndoSteps = 64;
    BonePose pose{};
    bool unsaved = false;      // turned since the last load or save
    UndoRing<BonePose> drags;  // a step is open while a button turns a bone
};

// The default pose, nothing to undo.
void init_pose_editor(PoseEditor& editor);

// The bone slot named name exactly (case counts); -1 for none.
int bone_slot(const char* name);

// The turn one mouse move from last_x to x makes with buttons held: a degree a pixel,
// positive leftwards, about X with the left button, Y with the middle, Z with the right,
// the last of these winning. Identity when no button is held; vertical moves count not.
Quaternion drag_turn(uint32_t buttons, int last_x, int x);

// Turns bone slot by drag_turn after its own rotation; its length stays. The first move
// of a held button starts an undo step, releasing every button ends it.
void turn_bone(PoseEditor& editor, int slot, uint32_t buttons, int last_x, int x);
void release_buttons(PoseEditor& editor);
bool undo_drag(PoseEditor& editor);
bool redo_drag(PoseEditor& editor);
