// Any bytes read as a .bones file must give a sane pose, and a sane pose must survive
// its own file encoding byte for byte.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "skeleton/bone_pose.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

void check_sane(const BonePose& pose) {
    for (const BoneRecord& bone : pose.bones) {
        for (float c : {bone.rotation.x, bone.rotation.y, bone.rotation.z, bone.rotation.w}) {
            check(std::isfinite(c) && c >= -1.0f && c <= 1.0f);
        }
        check(std::isfinite(bone.length) && bone.length >= 0.0f && bone.length <= 10.0f);
    }
}

void check_untouched_tail(const BonePose& pose, const BonePose& before, int record_bytes) {
    // Whole values the file did not reach keep their bytes.
    const size_t first_untouched = (static_cast<size_t>(record_bytes) + 3) / 4 * 4;
    const auto* now = reinterpret_cast<const unsigned char*>(&pose);
    const auto* then = reinterpret_cast<const unsigned char*>(&before);
    check(std::memcmp(now + first_untouched, then + first_untouched,
                      kPoseBytes - first_untouched) == 0);
}

void check_round_trip(const BonePose& pose) {
    unsigned char file[kMaxPoseFileBytes];
    const size_t size = encode_pose_file(pose, file);
    BonePose decoded = {};
    const PoseLoad result = apply_pose_file_bytes(decoded, file, size);
    check(result.status == pose_ok && !result.longer && result.replaced == 0);
    check(std::memcmp(&decoded, &pose, kPoseBytes) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BonePose before;
    default_pose(before);
    BonePose pose = before;
    const PoseLoad result = apply_pose_file_bytes(pose, data, size);

    check(result.record_bytes >= 0 && static_cast<size_t>(result.record_bytes) <= kPoseBytes);
    check(static_cast<size_t>(result.record_bytes) <= size);
    check((result.status == pose_ok) == (result.record_bytes == 280));
    check(result.replaced >= 0 && result.replaced <= 70);
    check_sane(pose);
    check_untouched_tail(pose, before, result.record_bytes);
    check_round_trip(pose);
    return 0;
}
