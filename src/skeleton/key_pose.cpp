#include "skeleton/key_pose.h"

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

const char* const kKeyFiles[key_count] = {
    "Data/bones/WALK1.bones",   "Data/bones/WALK2.bones",   "Data/bones/WALK3.bones",
    "Data/bones/ZOMBIE1.bones", "Data/bones/ATTACK1.bones", "Data/bones/ATTACK2.bones",
    "Data/bones/ATTACK3.bones",
};

// The walk ping-pongs over three keys in four steps.
constexpr KeyIndex kWalkKeys[] = {key_walk1, key_walk2, key_walk3, key_walk2};
constexpr int kIdlePhases = 3;
constexpr KeyIndex kAttackKeys[] = {key_attack1, key_attack2, key_attack3};

constexpr int kWalkPhases = sizeof kWalkKeys / sizeof kWalkKeys[0];
constexpr int kAttackPhases = sizeof kAttackKeys / sizeof kAttackKeys[0];

// The last load of each key file, so a bad file is reported once, not every frame.
PoseLoad g_last_load[key_count];

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

bool same_load(const PoseLoad& a, const PoseLoad& b) {
    return a.status == b.status && a.record_bytes == b.record_bytes && a.longer == b.longer &&
           a.replaced == b.replaced && a.error == b.error;
}

void note_load(KeyIndex key, const PoseLoad& result) {
    if (same_load(result, g_last_load[key])) return;
    g_last_load[key] = result;
    report_pose_load(kKeyFiles[key], result);
}

}  // namespace

const char* key_file(uint32_t action, int32_t action_phase) {
    const KeyIndex key = key_index(action, action_phase);
    return key == no_key ? nullptr : kKeyFiles[key];
}

void key_pose(BonePose& out, uint32_t action, int32_t action_phase) {
    default_pose(out);
    const KeyIndex key = key_index(action, action_phase);
    if (key == no_key) return;
    note_load(key, load_pose(out, kKeyFiles[key]));
}
