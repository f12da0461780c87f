// Key poses: the pose a character shows is picked from its action and action phase.
//
// There is no animation state: each call reads the key file from disk, so a key saved by
// the pose editor shows at the next frame.
#pragma once

#include <cstdint>

#include "skeleton/bone_pose.h"

// The key file of (action, phase), relative to the working directory, or null for a pair
// that has none (it shows the default pose).
const char* key_file(uint32_t action, int32_t action_phase);

// The default pose with the key file of (action, action_phase) read over it. A key file
// that is missing or damaged is reported on stderr once, and again only when its state
// changes. Never allocates.
void key_pose(BonePose& out, uint32_t action, int32_t action_phase);
