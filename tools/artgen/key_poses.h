// The seven key poses of the walk, the idle stance and the attack.
#pragma once

#include <string>
#include <vector>

#include "skeleton/bone_pose.h"

struct NamedPose {
    std::string file;  // under Data/bones/
    BonePose pose;
};

std::vector<NamedPose> all_key_poses();
