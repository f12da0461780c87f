// The pose sub-mode without a window: bone turns by mouse drags, and their undo.
#include "editor/pose_editor.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/message.h"
#include "support/temp_folder.h"

namespace {

constexpr float kRadiansPerDegree = 0.017453292f;

void expect_same(const Quaternion& a, const Quaternion& b) {
    EXPECT_NEAR(a.x, b.x, 1e-5f);
    EXPECT_NEAR(a.y, b.y, 1e-5f);
    EXPECT_NEAR(a.z, b.z, 1e-5f);
    EXPECT_NEAR(a.w, b.w, 1e-5f);
}

TEST(PoseEditor, DragsTurnTheChosenBoneAboutTheAxisOfTheLastButtonAndUndoAsOneStep) {
    PoseEditor editor;
    init_pose_editor(editor);
    const int head = bone_slot("head");
    ASSERT_GE(head, 0);
    EXPECT_EQ(bone_slot("Head"), -1);
    const BonePose before = editor.pose;

    // 90 px to the left with the middle button, in three moves: +90 degrees about Y.
    for (int x = 300; x > 210; x -= 30) turn_bone(editor, head, mouse_bit_middle, x, x - 30);
    expect_same(editor.pose.bones[head].rotation,
                quaternion_multiply(before.bones[head].rotation,
                                    quaternion_yaw_pitch_roll(90 * kRadiansPerDegree, 0, 0)));
    EXPECT_EQ(editor.pose.bones[head].length, before.bones[head].length);
    release_buttons(editor);

    const BonePose one_drag = editor.pose;
    turn_bone(editor, head, mouse_bit_left | mouse_bit_right, 100, 90);  // Z only
    expect_same(editor.pose.bones[head].rotation,
                quaternion_multiply(one_drag.bones[head].rotation,
                                    quaternion_yaw_pitch_roll(0, 0, 10 * kRadiansPerDegree)));
    const BonePose two_drags = editor.pose;
    turn_bone(editor, head, mouse_bit_left, 90, 90);  // straight up or down: nothing
    turn_bone(editor, head, 0, 90, 50);               // no button: nothing
    EXPECT_EQ(std::memcmp(&editor.pose, &two_drags, sizeof(BonePose)), 0);
    release_buttons(editor);

    EXPECT_TRUE(undo_drag(editor));
    EXPECT_EQ(std::memcmp(&editor.pose, &one_drag, sizeof(BonePose)), 0);
    EXPECT_TRUE(undo_drag(editor));
    EXPECT_EQ(std::memcmp(&editor.pose, &before, sizeof(BonePose)), 0);
    EXPECT_TRUE(redo_drag(editor));
    EXPECT_EQ(std::memcmp(&editor.pose, &one_drag, sizeof(BonePose)), 0);
    EXPECT_TRUE(editor.unsaved);
}

TEST(PoseEditor, ASavedPoseLoadsBackAsTheSame280Bytes) {
    const TempFolder folder("torvi-pose-editor-");
    PoseEditor editor;
    init_pose_editor(editor);
    turn_bone(editor, bone_slot("left arm"), mouse_bit_right, 0, 37);
    const std::string path = folder.file("ABC.bones");
    ASSERT_TRUE(save_pose(editor.pose, path.c_str()));
    BonePose loaded;
    default_pose(loaded);
    load_pose(loaded, path.c_str());
    EXPECT_EQ(std::memcmp(&loaded, &editor.pose, sizeof(BonePose)), 0);
}

}  // namespace
