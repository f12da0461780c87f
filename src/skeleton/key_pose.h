// Key poses: the pose a character shows is picked from its action and action phase.
//
// There is no animation state. The seven key files are read once into a KeyPoses, so a
// frame touches no file; the pose editor hands a key it saves to keep_saved_key, so the
// saved key shows at the next frame.
#pragma once

#include <cstdint>

#include "platform/file_search.h"
#include "skeleton/bone_pose.h"

// WALK1..WALK3, ZOMBIE1, ATTACK1..ATTACK3.
constexpr int kKeyPoseCount = 7;
// Where the key files are, relative to the working directory.
constexpr const char* kKeyPoseFolder = "Data/bones/";

// Every key in the default pose until load_key_poses fills it.
struct KeyPoses {
    KeyPoses();
    BonePose keys[kKeyPoseCount];
};

// Each key is the default pose with its file, folder + NAME.bones, read over it. A key
// file that is missing or damaged is reported on stderr here, once, and its key keeps
// what the file could not supply from the default pose.
void load_key_poses(KeyPoses& poses, const char* folder = kKeyPoseFolder);
// The same, each key from the player's file when there is one, else the shipped one.
void load_key_poses(KeyPoses& poses, const FilePlaces& places);

// The key whose file name (without folder and suffix) is name takes pose, as the pose
// editor saved it. False, nothing changed, for a name that is no key's.
bool keep_saved_key(KeyPoses& poses, const char* name, const BonePose& pose);

// The key file of (action, phase) in kKeyPoseFolder, or null for a pair that has none
// (it shows the default pose).
const char* key_file(uint32_t action, int32_t action_phase);

// The kept key of (action, action_phase) into out; the default pose for a pair without
// one. Reads no file and never allocates.
void key_pose(const KeyPoses& poses, BonePose& out, uint32_t action, int32_t action_phase);
