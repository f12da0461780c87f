#include "skeleton/pose_figure_layout.h"

const int kPoseFigureOrder[kBoneCount] = {1, 0, 4, 5, 7, 6, 2, 3, 13, 12, 10, 11, 9, 8};

void pose_figure_layout(const BonePose& pose, BoneMarkers out[kBoneCount]) {
    const Matrix hips = translation(0.0f, kPoseFigureHipHeight, 0.0f);
    for (int step = 0; step < kBoneCount; ++step) {
        const int bone = kPoseFigureOrder[step];
        Matrix chain = identity();
        bone_matrix(chain, pose, bone);
        const Matrix tip = multiply(chain, hips);
        const float s = kBoneMarkerScale;
        out[step].bone = bone;
        out[step].shaft = multiply(scaling(s, pose.bones[bone].length, s), tip);
        out[step].knob = multiply(scaling(s, s, s), tip);
    }
}
