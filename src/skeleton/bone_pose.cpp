#include "skeleton/bone_pose.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/atomic_file.h"

const char* const kBoneNames[kBoneCount] = {
    "head",      "neck",      "left shoulder", "right shoulder", "left arm",
    "right arm", "left hand", "right hand",    "left foot",      "right foot",
    "left leg",  "right leg", "left up leg",   "right up leg",
};

const BoneChain kBoneChains[kBoneCount] = {
    {2, {1, 0}},        // 0 head
    {1, {1}},           // 1 neck
    {2, {1, 2}},        // 2 left shoulder
    {2, {1, 3}},        // 3 right shoulder
    {3, {1, 2, 4}},     // 4 left arm
    {3, {1, 3, 5}},     // 5 right arm
    {4, {1, 2, 4, 6}},  // 6 left hand
    {4, {1, 3, 5, 7}},  // 7 right hand
    {3, {12, 10, 8}},   // 8 left foot
    {3, {13, 11, 9}},   // 9 right foot
    {2, {12, 10}},      // 10 left leg
    {2, {13, 11}},      // 11 right leg
    {1, {12}},          // 12 left up leg
    {1, {13}},          // 13 right up leg
};

namespace {

constexpr float kQuarterTurn = 1.5707964f;  // pi / 2

struct BoneDefault {
    float length;
    float roll;  // about Z: -pi/2 turns the bone's +Y to +X (the left side)
};

constexpr BoneDefault kBoneDefaults[kBoneCount] = {
    {0.26f, 0.0f},           // 0 head
    {0.52f, 0.0f},           // 1 neck
    {0.3f, -kQuarterTurn},   // 2 left shoulder
    {0.3f, kQuarterTurn},    // 3 right shoulder
    {0.32f, -kQuarterTurn},  // 4 left arm
    {0.32f, kQuarterTurn},   // 5 right arm
    {0.2f, 0.0f},            // 6 left hand
    {0.2f, 0.0f},            // 7 right hand
    {0.3f, 0.0f},            // 8 left foot
    {0.3f, 0.0f},            // 9 right foot
    {0.24f, -kQuarterTurn},  // 10 left leg
    {0.24f, kQuarterTurn},   // 11 right leg
    {0.2f, -kQuarterTurn},   // 12 left up leg
    {0.2f, kQuarterTurn},    // 13 right up leg
};

// Limits of a sane value read from a file.
constexpr float kMaxRotationComponent = 1.0f;
constexpr float kMaxBoneLength = 10.0f;

constexpr int kValuesPerBone = 5;  // rotation x, y, z, w, then length
constexpr int kLengthField = 4;
constexpr int kPoseValues = kBoneCount * kValuesPerBone;

constexpr unsigned char kCr = 0x0D;
constexpr unsigned char kLf = 0x0A;

float& value_at(BonePose& pose, int index) {
    BoneRecord& bone = pose.bones[index / kValuesPerBone];
    switch (index % kValuesPerBone) {
        case 0:
            return bone.rotation.x;
        case 1:
            return bone.rotation.y;
        case 2:
            return bone.rotation.z;
        case 3:
            return bone.rotation.w;
        default:
            return bone.length;
    }
}

float default_value(int index) {
    BonePose defaults;
    default_pose(defaults);
    return value_at(defaults, index);
}

float repaired_value(float value, int index) {
    if (!std::isfinite(value)) return default_value(index);
    if (index % kValuesPerBone == kLengthField) {
        return std::min(std::max(value, 0.0f), kMaxBoneLength);
    }
    return std::min(std::max(value, -kMaxRotationComponent), kMaxRotationComponent);
}

// Repairs every value the file supplied at least one byte of; returns how many changed.
int repair_values(BonePose& pose, size_t record_bytes) {
    const int supplied = static_cast<int>((record_bytes + sizeof(float) - 1) / sizeof(float));
    int changed = 0;
    for (int i = 0; i < supplied && i < kPoseValues; ++i) {
        float& value = value_at(pose, i);
        const float repaired = repaired_value(value, i);
        if (std::memcmp(&repaired, &value, sizeof value) != 0) {
            value = repaired;
            ++changed;
        }
    }
    return changed;
}

// A CR directly before an LF is the text stream's line ending, not a record byte.
bool is_line_end_cr(const unsigned char* data, size_t size, size_t i) {
    return data[i] == kCr && i + 1 < size && data[i + 1] == kLf;
}

PoseLoad failed_load(PoseLoadStatus status, int error) {
    PoseLoad result;
    result.status = status;
    result.error = error;
    return result;
}

}  // namespace

void default_pose(BonePose& out) {
    for (int b = 0; b < kBoneCount; ++b) {
        out.bones[b].rotation = quaternion_yaw_pitch_roll(0.0f, 0.0f, kBoneDefaults[b].roll);
        out.bones[b].length = kBoneDefaults[b].length;
    }
}

bool bone_chain_matrix(Matrix& out, const BoneRecord* bones, int n) {
    if (bones == nullptr || n < 0) return false;
    // Last bone first: each bone moves the point out along itself, then turns it about
    // its own joint, so a parent's turn carries all of its children.
    Matrix m = identity();
    for (int i = n - 1; i >= 0; --i) {
        m = multiply(m, translation(0.0f, bones[i].length, 0.0f));
        m = multiply(m, rotation_quaternion(bones[i].rotation));
    }
    out = m;
    return true;
}

bool bone_matrix(Matrix& out, const BonePose& pose, int bone) {
    if (bone < 0 || bone >= kBoneCount) return false;
    const BoneChain& chain = kBoneChains[bone];
    BoneRecord records[4];
    for (int i = 0; i < chain.count; ++i) records[i] = pose.bones[chain.bones[i]];
    return bone_chain_matrix(out, records, chain.count);
}

bool piece_matrix(Matrix& out, const BonePose& pose, int piece) {
    switch (piece) {
        case piece_body: {
            // The body mesh is centred halfway along the trunk.
            const BoneRecord& trunk = pose.bones[1];
            out = multiply(translation(0.0f, trunk.length / 2.0f, 0.0f),
                           rotation_quaternion(trunk.rotation));
            return true;
        }
        // Head, hands and feet hang from the tip of the bone of the same number.
        case piece_head:
        case piece_left_hand:
        case piece_right_hand:
        case piece_left_foot:
        case piece_right_foot:
            return bone_matrix(out, pose, piece);
        default:
            return false;
    }
}

bool pose_load_is_clean(const PoseLoad& result) {
    return result.status == pose_ok && !result.longer && result.replaced == 0;
}

PoseLoad apply_pose_file_bytes(BonePose& pose, const unsigned char* data, size_t size) {
    unsigned char* record = reinterpret_cast<unsigned char*>(&pose);
    size_t used = 0;
    size_t taken = 0;
    while (used < size && taken < kPoseBytes) {
        if (is_line_end_cr(data, size, used)) ++used;
        record[taken++] = data[used++];
    }
    PoseLoad result;
    result.status = taken == kPoseBytes ? pose_ok : pose_short_file;
    result.record_bytes = static_cast<int>(taken);
    result.longer = used < size;
    result.replaced = repair_values(pose, taken);
    return result;
}

PoseLoad load_pose(BonePose& pose, const char* path) {
    if (path == nullptr) return failed_load(pose_unreadable, EINVAL);
    // kMaxPoseFileBytes always reach 280 record bytes, so a CR at the end of a full buffer
    // is never needed: the decoder stops before it.
    unsigned char file[kMaxPoseFileBytes];
    const FileRead read = read_file_prefix(path, file, sizeof file);
    if (read.status == read_cannot_open) {
        const bool missing = read.error == ENOENT || read.error == ENOTDIR;
        return failed_load(missing ? pose_missing : pose_unreadable, read.error);
    }
    if (read.status != read_ok) return failed_load(pose_unreadable, read.error);
    PoseLoad result = apply_pose_file_bytes(pose, file, read.size);
    result.longer = result.longer || read.longer;
    return result;
}

void report_pose_load(const char* path, const PoseLoad& result) {
    if (pose_load_is_clean(result)) return;
    if (path == nullptr) path = "(no path)";
    if (result.status == pose_missing || result.status == pose_unreadable) {
        std::fprintf(stderr, "torvi: %s pose file %s (%s); the pose is unchanged\n",
                     result.status == pose_missing ? "no" : "cannot read", path,
                     file_error_text(result.error));
        return;
    }
    char shortage[96] = "";
    if (result.status == pose_short_file) {
        std::snprintf(shortage, sizeof shortage,
                      "; it ends after %d of %d bytes, the rest of the pose keeps its values",
                      result.record_bytes, static_cast<int>(kPoseBytes));
    }
    const char* extra =
        result.longer ? "; it holds more than one pose, the extra bytes are ignored" : "";
    char damage[80] = "";
    if (result.replaced > 0) {
        std::snprintf(damage, sizeof damage, "; %d damaged values were replaced or clamped",
                      result.replaced);
    }
    std::fprintf(stderr, "torvi: pose file %s%s%s%s\n", path, shortage, extra, damage);
}

size_t encode_pose_file(const BonePose& pose, unsigned char* out) {
    const unsigned char* record = reinterpret_cast<const unsigned char*>(&pose);
    size_t n = 0;
    for (size_t i = 0; i < kPoseBytes; ++i) {
        if (record[i] == kLf) out[n++] = kCr;
        out[n++] = record[i];
    }
    return n;
}

bool save_pose(const BonePose& pose, const char* path) {
    if (path == nullptr) {
        std::fprintf(stderr, "torvi: cannot save a pose without a file name\n");
        return false;
    }
    unsigned char file[kMaxPoseFileBytes];
    const size_t size = encode_pose_file(pose, file);
    return save_file_atomically(path, file, size);
}
