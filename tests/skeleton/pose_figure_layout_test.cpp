// The pose editor's bone figure: order, knob positions and shaft stretching.
#include "skeleton/pose_figure_layout.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/expect_near.h"

namespace {

const BoneMarkers& markers_of(const BoneMarkers all[kBoneCount], int bone) {
    for (int k = 0; k < kBoneCount; ++k) {
        if (all[k].bone == bone) return all[k];
    }
    ADD_FAILURE() << "bone " << bone << " not drawn";
    return all[0];
}

class PoseFigure : public ::testing::Test {
  protected:
    void SetUp() override {
        default_pose(pose);
        pose_figure_layout(pose, m);
    }
    Vec3 knob(int bone) const { return origin_of(markers_of(m, bone).knob); }

    BonePose pose;
    BoneMarkers m[kBoneCount];
};

TEST_F(PoseFigure, KnobsSitAtTheBoneTipsAndShaftsRunFromJointToTip) {
    expect_near(knob(0), {0, 1.33f, 0});
    expect_near(knob(6), {0.3f, 0.55f, 0});   // left hand
    expect_near(knob(7), {-0.3f, 0.55f, 0});  // right hand
    expect_near(knob(8), {0.2f, 0.01f, 0});   // left foot
    expect_near(knob(9), {-0.2f, 0.01f, 0});  // right foot
    // The knob is a third of its modelled size.
    EXPECT_NEAR(length(transform_normal({1, 0, 0}, markers_of(m, 0).knob)), 0.33333334f, 1e-6f);
    // The shaft is modelled from y = -1 to 0: its -1 end meets the joint.
    const BoneMarkers& neck = markers_of(m, 1);
    expect_near(transform_coord({0, -1, 0}, neck.shaft), {0, 0.55f, 0});
    expect_near(transform_coord({0, 0, 0}, neck.shaft), {0, 1.07f, 0});
    // The left arm hangs down from the end of the left shoulder.
    expect_near(transform_coord({0, -1, 0}, markers_of(m, 4).shaft), {0.3f, 1.07f, 0});
}

TEST_F(PoseFigure, ZeroLengthBoneHasAFlatShaftAndAKnob) {
    pose.bones[6].length = 0.0f;
    pose_figure_layout(pose, m);
    const BoneMarkers& hand = markers_of(m, 6);
    EXPECT_EQ(length(transform_normal({0, 1, 0}, hand.shaft)), 0.0f);
    EXPECT_GT(length(transform_normal({0, 1, 0}, hand.knob)), 0.3f);
    expect_near(origin_of(hand.knob), {0.3f, 0.75f, 0});  // at the end of the arm
}

TEST_F(PoseFigure, TurningABoneMovesItsDescendantsOnly) {
    BoneMarkers before[kBoneCount];
    std::copy(m, m + kBoneCount, before);
    pose.bones[2].rotation = quaternion_yaw_pitch_roll(0, 0, 0.3f);  // left shoulder
    pose_figure_layout(pose, m);
    for (int bone = 0; bone < kBoneCount; ++bone) {
        const bool moves = bone == 2 || bone == 4 || bone == 6;
        const Vec3 a = origin_of(markers_of(before, bone).knob);
        EXPECT_EQ(length(subtract(a, knob(bone))) > 1e-4f, moves) << bone;
    }
}

}  // namespace
