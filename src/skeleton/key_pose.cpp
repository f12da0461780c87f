#include "skeleton/key_pose.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "world/player_action.h"

namespace {

enum KeyIndex {
    key_walk1,
    key_walk2,
    key_walk3,
    key_zombie1,
    key_attack1,
    key_attack2,
    key_attack3,
    key_count,
    no_key = -1,
};
static_assert(key_count == kKeyPoseCount, "one kept pose per key");

constexpr const char* kKeySuffix = ".bones";
constexpr size_t kPathSize = 4096;

constexpr const char* kKeyFiles[key_count] = {
    "Data/bones/WALK1.bones",   "Data/bones/WALK2.bones",   "Data/bones/WALK3.bones",
    "Data/bones/ZOMBIE1.bones", "Data/bones/ATTACK1.bones", "Data/bones/ATTACK2.bones",
    "Data/bones/ATTACK3.bones",
};

constexpr bool starts_with(const char* text, const char* prefix) {
    while (*prefix != '\0') {
        if (*text++ != *prefix++) return false;
    }
    return true;
}

constexpr bool all_in_key_folder() {
    for (const char* file : kKeyFiles) {
        if (!starts_with(file, kKeyPoseFolder)) return false;
    }
    return true;
}
static_assert(all_in_key_folder(), "a key's file name is its path past the folder");

// The walk ping-pongs over three keys in four steps.
constexpr KeyIndex kWalkKeys[] = {key_walk1, key_walk2, key_walk3, key_walk2};
constexpr int kIdlePhases = 3;
constexpr KeyIndex kAttackKeys[] = {key_attack1, key_attack2, key_attack3};

constexpr int kWalkPhases = sizeof kWalkKeys / sizeof kWalkKeys[0];
constexpr int kAttackPhases = sizeof kAttackKeys / sizeof kAttackKeys[0];

KeyIndex key_index(uint32_t action, int32_t phase) {
    switch (action) {
        case action_walk:
            return phase >= 0 && phase < kWalkPhases ? kWalkKeys[phase] : no_key;
        case action_idle:
            return phase >= 0 && phase < kIdlePhases ? key_zombie1 : no_key;
        case action_attack:
            return phase >= 0 && phase < kAttackPhases ? kAttackKeys[phase] : no_key;
        default:
            return no_key;
    }
}

// "WALK1.bones" for key_walk1.
const char* file_name(int key) {
    return kKeyFiles[key] + std::strlen(kKeyPoseFolder);
}

void load_key(BonePose& out, const FilePlaces& places, int key) {
    default_pose(out);
    char path[kPathSize];
    if (!named_file_path(path, sizeof path, places, file_name(key), "")) {
        PoseLoad too_long;
        too_long.status = pose_unreadable;
        too_long.error = ENAMETOOLONG;
        report_pose_load(places.shipped.c_str(), too_long);
        return;
    }
    report_pose_load(path, load_pose(out, path));
}

}  // namespace

KeyPoses::KeyPoses() {
    for (BonePose& key : keys) default_pose(key);
}

void load_key_poses(KeyPoses& poses, const char* folder) {
    if (folder == nullptr) folder = kKeyPoseFolder;
    load_key_poses(poses, FilePlaces{folder, folder});
}

void load_key_poses(KeyPoses& poses, const FilePlaces& places) {
    for (int key = 0; key < key_count; ++key) load_key(poses.keys[key], places, key);
}

bool keep_saved_key(KeyPoses& poses, const char* name, const BonePose& pose) {
    if (name == nullptr) return false;
    const size_t length = std::strlen(name);
    for (int key = 0; key < key_count; ++key) {
        const char* file = file_name(key);
        if (std::strncmp(file, name, length) == 0 && std::strcmp(file + length, kKeySuffix) == 0) {
            poses.keys[key] = pose;
            return true;
        }
    }
    return false;
}

const char* key_file(uint32_t action, int32_t action_phase) {
    const KeyIndex key = key_index(action, action_phase);
    return key == no_key ? nullptr : kKeyFiles[key];
}

void key_pose(const KeyPoses& poses, BonePose& out, uint32_t action, int32_t action_phase) {
    const KeyIndex key = key_index(action, action_phase);
    if (key == no_key) {
        default_pose(out);
        return;
    }
    out = poses.keys[key];
}
