// The pose editor's bone figure: order, knob positions and shaft stretching.
#include "skeleton/pose_figure_layout.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Vec3 origin_of(const Matrix& m) {
    return {m.m[3][0], m.m[3][1], m.m[3][2]};
}

void expect_near(Vec3 a, Vec3 b) {
    EXPECT_NEAR(a.x, b.x, 1e-5f);
    EXPECT_NEAR(a.y, b.y, 1e-5f);
    EXPECT_NEAR(a.z, b.z, 1e-5f);
}

const BoneMarkers& markers_of(const BoneMarkers all[kBoneCount], int bone) {
    for (int k = 0; k < kBoneCount; ++k) {
        if (all[k].bone == bone) return all[k];
    }
    ADD_FAILURE() << "bone " << bone << " not drawn";
    return all[0];
}

TEST(PoseFigure, DefaultPoseKnobsSitAtTheBoneTips) {
    BonePose pose;
    default_pose(pose);
    BoneMarkers m[kBoneCount];
    pose_figure_layout(pose, m);
    expect_near(origin_of(markers_of(m, 0).knob), {0, 1.33f, 0});
    expect_near(origin_of(markers_of(m, 6).knob), {0.3f, 0.55f, 0});   // left hand
    expect_near(origin_of(markers_of(m, 7).knob), {-0.3f, 0.55f, 0});  // right hand
    expect_near(origin_of(markers_of(m, 8).knob), {0.2f, 0.01f, 0});   // left foot
    expect_near(origin_of(markers_of(m, 9).knob), {-0.2f, 0.01f, 0});  // right foot
    // The knob is a third of its modelled size.
    const Vec3 unit = transform_normal({1, 0, 0}, markers_of(m, 0).knob);
    EXPECT_NEAR(length(unit), 0.33333334f, 1e-6f);
}

TEST(PoseFigure, ShaftRunsFromJointToTip) {
    BonePose pose;
    default_pose(pose);
    BoneMarkers m[kBoneCount];
    pose_figure_layout(pose, m);
    // The shaft is modelled from y = -1 to 0: its -1 end meets the joint.
    const BoneMarkers& neck = markers_of(m, 1);
    expect_near(transform_coord({0, -1, 0}, neck.shaft), {0, 0.55f, 0});
    expect_near(transform_coord({0, 0, 0}, neck.shaft), {0, 1.07f, 0});
    // The left arm hangs down from the end of the left shoulder.
    expect_near(transform_coord({0, -1, 0}, markers_of(m, 4).shaft), {0.3f, 1.07f, 0});
}

TEST(PoseFigure, ZeroLengthBoneHasAFlatShaftAndAKnob) {
    BonePose pose;
    default_pose(pose);
    pose.bones[6].length = 0.0f;
    BoneMarkers m[kBoneCount];
    pose_figure_layout(pose, m);
    const BoneMarkers& hand = markers_of(m, 6);
    const Vec3 along = transform_normal({0, 1, 0}, hand.shaft);
    EXPECT_EQ(length(along), 0.0f);
    EXPECT_GT(length(transform_normal({0, 1, 0}, hand.knob)), 0.3f);
    expect_near(origin_of(hand.knob), {0.3f, 0.75f, 0});  // at the end of the arm
}

TEST(PoseFigure, TurningABoneMovesItsDescendantsOnly) {
    BonePose pose;
    default_pose(pose);
    BoneMarkers before[kBoneCount], after[kBoneCount];
    pose_figure_layout(pose, before);
    pose.bones[2].rotation = quaternion_yaw_pitch_roll(0, 0, 0.3f);  // left shoulder
    pose_figure_layout(pose, after);
    for (int bone = 0; bone < kBoneCount; ++bone) {
        const bool moves = bone == 2 || bone == 4 || bone == 6;
        const Vec3 a = origin_of(markers_of(before, bone).knob);
        const Vec3 b = origin_of(markers_of(after, bone).knob);
        EXPECT_EQ(length(subtract(a, b)) > 1e-4f, moves) << bone;
    }
}

}  // namespace
