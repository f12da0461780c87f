// Poses are written as swings of bones about the figure's own axes (pitch about X swings
// a hanging limb toward -Z, yaw about Y turns, roll about Z lifts sideways); a swing
// carries the bone's children with it. They are turned into the parent-relative
// rotations of the .bones file here.
#include "key_poses.h"

#include <algorithm>
#include <cmath>

#include "skeleton/bone_pose.h"

namespace {

// Parent of each bone, -1 for the roots at the hips.
constexpr int kParent[kBoneCount] = {1, -1, 1, 1, 2, 3, 4, 5, 10, 11, 12, 13, -1, -1};

enum Bone {
    head = 0,
    neck = 1,
    left_shoulder = 2,
    right_shoulder = 3,
    left_arm = 4,
    right_arm = 5,
    left_hand = 6,
    right_hand = 7,
    left_foot = 8,
    right_foot = 9,
    left_leg = 10,
    right_leg = 11,
    left_up_leg = 12,
    right_up_leg = 13,
};

struct Swing {
    float yaw = 0, pitch = 0, roll = 0;
};

struct Swings {
    Swing bone[kBoneCount];
};

Quaternion conjugate(Quaternion q) {
    return {-q.x, -q.y, -q.z, q.w};
}

// A unit quaternion whose components the pose loader takes without clamping.
Quaternion tidy(Quaternion q) {
    const float n = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    auto unit = [n](float v) { return std::min(std::max(v / n, -1.0f), 1.0f); };
    return {unit(q.x), unit(q.y), unit(q.z), unit(q.w)};
}

Quaternion swing_of(const Swing& s) {
    return quaternion_yaw_pitch_roll(s.yaw, s.pitch, s.roll);
}

// Bones are listed so that every parent comes before its children.
constexpr int kParentsFirst[kBoneCount] = {1, 0, 2, 3, 4, 5, 6, 7, 12, 13, 10, 11, 8, 9};

BonePose pose_from(const Swings& swings) {
    BonePose defaults, pose;
    default_pose(defaults);
    pose = defaults;
    Quaternion rest[kBoneCount];     // figure-space turn of each bone in the default pose
    Quaternion carried[kBoneCount];  // the swings of a bone and its ancestors
    Quaternion posed[kBoneCount];    // figure-space turn of each bone in the new pose
    for (int b : kParentsFirst) {
        const int p = kParent[b];
        const Quaternion own = defaults.bones[b].rotation;
        rest[b] = p < 0 ? own : quaternion_multiply(own, rest[p]);
        const Quaternion swing = swing_of(swings.bone[b]);
        carried[b] = p < 0 ? swing : quaternion_multiply(swing, carried[p]);
        posed[b] = quaternion_multiply(rest[b], carried[b]);
        pose.bones[b].rotation =
            tidy(p < 0 ? posed[b] : quaternion_multiply(posed[b], conjugate(posed[p])));
    }
    return pose;
}

// One stride: the left leg forward by stride (radians) and the right one back, the
// arms the other way round.
Swings stride(float legs, float arms) {
    Swings s;
    s.bone[left_up_leg].pitch = legs;
    s.bone[right_up_leg].pitch = -legs;
    s.bone[left_shoulder].pitch = -arms;
    s.bone[right_shoulder].pitch = arms;
    // The back leg's foot tips up, the front one lands on its heel.
    s.bone[legs > 0 ? right_leg : left_leg].pitch = -0.25f;
    s.bone[neck].yaw = -0.12f * (legs > 0 ? 1 : -1);
    s.bone[neck].pitch = 0.06f;
    return s;
}

Swings passing() {
    Swings s;
    // Legs together, one knee lifting; the arms close to the sides, elbows soft.
    s.bone[right_leg].pitch = -0.6f;
    s.bone[right_up_leg].pitch = 0.35f;
    s.bone[left_hand].pitch = 0.3f;
    s.bone[right_hand].pitch = 0.3f;
    s.bone[neck].pitch = 0.04f;
    return s;
}

Swings zombie_stance() {
    Swings s;
    s.bone[left_shoulder].pitch = 1.45f;
    s.bone[right_shoulder].pitch = 1.5f;
    s.bone[left_shoulder].yaw = 0.12f;
    s.bone[right_shoulder].yaw = -0.12f;
    s.bone[left_hand].pitch = -0.25f;
    s.bone[right_hand].pitch = -0.2f;
    s.bone[head].roll = 0.22f;
    s.bone[head].pitch = 0.12f;
    s.bone[neck].pitch = 0.08f;
    s.bone[left_up_leg].pitch = 0.1f;
    s.bone[right_up_leg].pitch = -0.08f;
    return s;
}

Swings swing_attack(int step) {
    Swings s;
    switch (step) {
        case 0:  // wind-up: shoulders turned away, the fist raised high behind
            s.bone[neck].yaw = 0.45f;
            s.bone[right_shoulder].pitch = -2.4f;
            s.bone[right_hand].pitch = -0.5f;
            s.bone[left_shoulder].pitch = 0.6f;
            s.bone[left_up_leg].pitch = 0.3f;
            s.bone[right_up_leg].pitch = -0.25f;
            break;
        case 1:  // strike: the fist thrown forward at shoulder height
            s.bone[neck].yaw = -0.3f;
            s.bone[neck].pitch = 0.12f;
            s.bone[right_shoulder].pitch = 1.55f;
            s.bone[right_shoulder].yaw = -0.25f;
            s.bone[left_shoulder].pitch = -0.7f;
            s.bone[left_up_leg].pitch = 0.4f;
            s.bone[right_up_leg].pitch = -0.35f;
            break;
        default:  // follow-through: the arm swept down and across the body
            s.bone[neck].yaw = -0.55f;
            s.bone[neck].pitch = 0.15f;
            s.bone[right_shoulder].pitch = 0.8f;
            s.bone[right_shoulder].yaw = -0.7f;
            s.bone[right_hand].pitch = 0.4f;
            s.bone[left_shoulder].pitch = -0.4f;
            s.bone[left_up_leg].pitch = 0.35f;
            s.bone[right_up_leg].pitch = -0.3f;
            break;
    }
    return s;
}

constexpr float kStrideLegs = 0.5f;
constexpr float kStrideArms = 0.55f;

}  // namespace

std::vector<NamedPose> all_key_poses() {
    return {
        {"WALK1.bones", pose_from(stride(kStrideLegs, kStrideArms))},
        {"WALK2.bones", pose_from(passing())},
        {"WALK3.bones", pose_from(stride(-kStrideLegs, -kStrideArms))},
        {"ZOMBIE1.bones", pose_from(zombie_stance())},
        {"ATTACK1.bones", pose_from(swing_attack(0))},
        {"ATTACK2.bones", pose_from(swing_attack(1))},
        {"ATTACK3.bones", pose_from(swing_attack(2))},
    };
}
