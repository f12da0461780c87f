// The bare bone figure of the pose editor: a stretched shaft and a knob per bone.
//
// Pure math: the drawing code draws bone_shaft and bone_knob in the "blue" skin with the
// matrices produced here, at the world origin, without outlines.
#pragma once

#include "math/math3d.h"
#include "skeleton/bone_pose.h"

constexpr const char* kBoneShaftFile = "Data/models/bone_start.x";
constexpr const char* kBoneKnobFile = "Data/models/bone_end.x";
constexpr const char* kPoseFigureSkin = "blue";

// The figure's hips stand this high above the origin.
constexpr float kPoseFigureHipHeight = 0.55f;
// The markers are drawn at a third of their modelled size (the float nearest 1/3).
constexpr float kBoneMarkerScale = 0.33333334f;

// Bones in drawing order.
extern const int kPoseFigureOrder[kBoneCount];

struct BoneMarkers {
    int bone;
    Matrix shaft;  // scaling(1/3, length, 1/3) then T
    Matrix knob;   // scaling(1/3, 1/3, 1/3) then T
};

// For every bone in drawing order, T = its chain matrix then translation(0, 0.55, 0), which
// carries the bone's tip into the world.
void pose_figure_layout(const BonePose& pose, BoneMarkers out[kBoneCount]);
