#include "skeleton/bone_pose.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "platform/atomic_file.h"
#include "support/expect_near.h"
#include "support/temp_folder.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes record_of(const BonePose& pose) {
    const auto* p = reinterpret_cast<const unsigned char*>(&pose);
    return Bytes(p, p + sizeof pose);
}

BonePose pose_of(const Bytes& record) {
    BonePose pose;
    std::memcpy(&pose, record.data(), sizeof pose);
    return pose;
}

BonePose the_default_pose() {
    BonePose pose;
    default_pose(pose);
    return pose;
}

void write_file(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

Bytes read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

float float_of(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

Vec3 piece_origin(const BonePose& pose, int piece) {
    Matrix m;
    EXPECT_TRUE(piece_matrix(m, pose, piece));
    return origin_of(m);
}

// A pose whose every byte differs from the default pose's, built so that a value mixed
// from the low bytes of a default value and the high bytes of this one stays sane.
BonePose unlike_default_pose() {
    const Bytes defaults = record_of(the_default_pose());
    Bytes record(defaults.size());
    for (size_t at = 0; at < record.size(); at += 4) {
        uint32_t d;
        std::memcpy(&d, &defaults[at], 4);
        const bool is_length = at % 20 == 16;
        // Rotations: the opposite sign, magnitude 0.5..1. Lengths: 0.25..1.
        const uint32_t sign = is_length ? 0 : ~d & 0x80000000u;
        const uint32_t exponent = (is_length && (d >> 24) == 0x3F ? 125u : 126u) << 23;
        const uint32_t mantissa = ((((d >> 16) & 0x7F) ^ 0x55) << 16) |
                                  ((((d >> 8) & 0xFF) ^ 0xA5) << 8) | ((d & 0xFF) ^ 0x5A);
        const uint32_t value = sign | exponent | mantissa;
        std::memcpy(&record[at], &value, 4);
    }
    return pose_of(record);
}

TEST(BonePose, DefaultPiecesSitWhereTheSkeletonPutsThemAndTheTrunkCarriesTheUpperBody) {
    const BonePose pose = the_default_pose();
    // Head and body are only moved up.
    for (auto [piece, height] : {std::pair{piece_head, 0.78f}, std::pair{piece_body, 0.26f}}) {
        Matrix m;
        ASSERT_TRUE(piece_matrix(m, pose, piece));
        const Matrix expected = translation(0, height, 0);
        for (int k = 0; k < 16; ++k)
            EXPECT_NEAR(m.m[k / 4][k % 4], expected.m[k / 4][k % 4], 1e-6f);
    }
    expect_near(piece_origin(pose, piece_left_hand), {0.3f, 0, 0}, 1e-6f);
    expect_near(piece_origin(pose, piece_right_hand), {-0.3f, 0, 0}, 1e-6f);
    expect_near(piece_origin(pose, piece_left_foot), {0.2f, -0.54f, 0}, 1e-6f);
    expect_near(piece_origin(pose, piece_right_foot), {-0.2f, -0.54f, 0}, 1e-6f);

    BonePose turned = pose;
    turned.bones[1].rotation = quaternion_yaw_pitch_roll(0, 0, 0.5f);
    for (int piece : {piece_head, piece_left_hand, piece_right_hand}) {
        EXPECT_GT(length(subtract(piece_origin(pose, piece), piece_origin(turned, piece))), 0.05f)
            << "piece " << piece;
    }
    for (int bone = 8; bone < kBoneCount; ++bone) {  // the legs
        Matrix a, b;
        ASSERT_TRUE(bone_matrix(a, pose, bone));
        ASSERT_TRUE(bone_matrix(b, turned, bone));
        EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << kBoneNames[bone];
    }
}

TEST(BonePose, EachRotationTurnsAboutItsOwnJoint) {
    const Quaternion to_plus_x = quaternion_yaw_pitch_roll(0, 0, -1.5707964f);
    const Quaternion none = {0, 0, 0, 1};
    Matrix m;
    // Turning the root carries the child with it: both lie along +X.
    const BoneRecord root_turned[2] = {{to_plus_x, 1.0f}, {none, 2.0f}};
    ASSERT_TRUE(bone_chain_matrix(m, root_turned, 2));
    expect_near(origin_of(m), {3, 0, 0}, 1e-6f);
    // Turning the child turns only the child, about the root's tip.
    const BoneRecord child_turned[2] = {{none, 1.0f}, {to_plus_x, 2.0f}};
    ASSERT_TRUE(bone_chain_matrix(m, child_turned, 2));
    expect_near(origin_of(m), {2, 1, 0}, 1e-6f);
    ASSERT_TRUE(bone_chain_matrix(m, child_turned, 0));
    expect_near(origin_of(m), {0, 0, 0}, 0.0f);
}

TEST(BonePose, NoListOrNoPieceLeavesTheOutputUntouched) {
    const BonePose pose = the_default_pose();
    Matrix m;
    std::memset(&m, 0x5A, sizeof m);
    const Matrix before = m;
    EXPECT_FALSE(bone_chain_matrix(m, nullptr, 3));
    EXPECT_FALSE(bone_chain_matrix(m, pose.bones, -1));
    for (int piece : {-1, 2, 3, 4, 5, 10, 14, 1 << 30}) EXPECT_FALSE(piece_matrix(m, pose, piece));
    EXPECT_FALSE(bone_matrix(m, pose, kBoneCount));
    EXPECT_FALSE(bone_matrix(m, pose, -1));
    EXPECT_EQ(std::memcmp(&m, &before, sizeof m), 0);
}

class PoseFile : public ::testing::Test {
  protected:
    void TearDown() override { set_save_fault_for_testing(fault_none); }
    TempFolder dir{"torvi-pose-"};
    const std::string path = dir.file("key.bones");
};

// Line-end and end-of-text bytes in the values survive saving and loading; the exact
// layout of the file is checked cut by cut below.
TEST_F(PoseFile, OddBytesRoundTripExactly) {
    Bytes odd = record_of(the_default_pose());
    const Bytes first_value = {0x0D, 0x0A, 0x1A, 0x3E};  // about 0.15
    std::copy(first_value.begin(), first_value.end(), odd.begin());
    odd[20 * 7 + 16] = 0x1A;
    ASSERT_TRUE(save_pose(pose_of(odd), path.c_str()));
    const Bytes file = read_file(path);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 5), (Bytes{0x0D, 0x0D, 0x0A, 0x1A, 0x3E}));
    BonePose loaded = {};
    const PoseLoad result = load_pose(loaded, path.c_str());
    EXPECT_EQ(result.status, pose_ok);
    EXPECT_FALSE(result.longer);
    EXPECT_EQ(result.replaced, 0);
    EXPECT_EQ(record_of(loaded), odd);
}

TEST_F(PoseFile, EveryPrefixChangesExactlyTheRecordBytesItSupplies) {
    ASSERT_TRUE(save_pose(the_default_pose(), path.c_str()));
    const Bytes file = read_file(path);
    ASSERT_EQ(file.size(), 282u);
    const Bytes defaults = record_of(the_default_pose());
    const Bytes known = record_of(unlike_default_pose());
    for (size_t i = 0; i < defaults.size(); ++i) ASSERT_NE(known[i], defaults[i]) << i;

    const std::string cut_path = dir.file("cut.bones");
    const size_t pair_cr[2] = {96, 117};  // file offsets of the two CR LF pairs
    for (size_t cut = 0; cut <= file.size(); ++cut) {
        size_t record_bytes = cut;
        bool ends_on_cr = false;
        for (size_t cr : pair_cr) {
            if (cut >= cr + 2) --record_bytes;
            if (cut == cr + 1) ends_on_cr = true;  // the file ends before the LF
        }
        Bytes expected = known;
        std::copy(defaults.begin(), defaults.begin() + record_bytes, expected.begin());
        if (ends_on_cr) expected[record_bytes - 1] = 0x0D;

        write_file(cut_path, Bytes(file.begin(), file.begin() + cut));
        BonePose pose = unlike_default_pose();
        const PoseLoad result = load_pose(pose, cut_path.c_str());
        ASSERT_EQ(result.record_bytes, static_cast<int>(record_bytes)) << "cut " << cut;
        ASSERT_EQ(result.status, cut == file.size() ? pose_ok : pose_short_file);
        ASSERT_EQ(result.replaced, 0) << "cut " << cut;
        ASSERT_EQ(record_of(pose), expected) << "cut " << cut;
    }
}

TEST_F(PoseFile, DamagedValuesAreReplacedOrClampedAndValuesBeyondTheFileLeftAlone) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const BonePose defaults = the_default_pose();
    BonePose damaged = defaults;
    damaged.bones[0].rotation.x = nan;
    damaged.bones[2].rotation.z = -inf;
    damaged.bones[3].rotation.w = float_of(0xFFC00001u);  // a negative NaN with a payload
    damaged.bones[5].length = inf;
    damaged.bones[6].rotation.y = 1e30f;
    damaged.bones[7].rotation.x = -1.5f;
    damaged.bones[8].length = -5.0f;
    damaged.bones[13].length = 100.0f;
    damaged.bones[13].rotation.w = 1.0f;  // at the limit: kept

    unsigned char file[kMaxPoseFileBytes];
    const size_t size = encode_pose_file(damaged, file);
    BonePose pose = {};
    PoseLoad result = apply_pose_file_bytes(pose, file, size);
    EXPECT_EQ(result.status, pose_ok);
    EXPECT_EQ(result.replaced, 8);
    EXPECT_EQ(pose.bones[0].rotation.x, defaults.bones[0].rotation.x);
    EXPECT_EQ(pose.bones[2].rotation.z, defaults.bones[2].rotation.z);
    EXPECT_EQ(pose.bones[3].rotation.w, defaults.bones[3].rotation.w);
    EXPECT_EQ(pose.bones[5].length, defaults.bones[5].length);
    EXPECT_EQ(pose.bones[6].rotation.y, 1.0f);
    EXPECT_EQ(pose.bones[7].rotation.x, -1.0f);
    EXPECT_EQ(pose.bones[8].length, 0.0f);
    EXPECT_EQ(pose.bones[13].length, 10.0f);
    EXPECT_EQ(pose.bones[13].rotation.w, 1.0f);

    pose.bones[13].length = 50.0f;  // the caller's business, not the file's
    result = apply_pose_file_bytes(pose, record_of(defaults).data(), 20);
    EXPECT_EQ(result.replaced, 0);
    EXPECT_EQ(pose.bones[13].length, 50.0f);
}

TEST_F(PoseFile, MissingOrUnreadableFileChangesNothing) {
    const BonePose before = unlike_default_pose();
    BonePose pose = before;
    EXPECT_EQ(load_pose(pose, dir.file("absent.bones").c_str()).status, pose_missing);
    EXPECT_EQ(load_pose(pose, dir.path().c_str()).status, pose_unreadable);
    EXPECT_EQ(load_pose(pose, nullptr).status, pose_unreadable);
    EXPECT_EQ(record_of(pose), record_of(before));
}

TEST_F(PoseFile, AFileOfOnlyLineEndsFillsTheWholeRecord) {
    Bytes file;
    for (int i = 0; i < 280; ++i) file.insert(file.end(), {0x0D, 0x0A});
    write_file(path, file);
    BonePose pose = {};
    PoseLoad result = load_pose(pose, path.c_str());
    EXPECT_EQ(result.status, pose_ok);
    EXPECT_FALSE(result.longer);
    EXPECT_EQ(record_of(pose), Bytes(280, 0x0A));

    file.push_back(0x41);  // one byte past the longest possible pose file
    write_file(path, file);
    EXPECT_TRUE(load_pose(pose, path.c_str()).longer);

    // The 280th record byte is a CR that is not part of a line end.
    file.resize(279 * 2);
    file.insert(file.end(), {0x0D, 0x0D, 0x0A});
    write_file(path, file);
    result = load_pose(pose, path.c_str());
    EXPECT_EQ(result.status, pose_ok);
    EXPECT_TRUE(result.longer);
    EXPECT_EQ(pose.bones[13].length, float_of(0x0D0A0A0Au));
}

// The fault cases of the atomic save are covered in the platform tests; here only that
// saving a pose goes through it, and that bad names fail cleanly.
TEST_F(PoseFile, AFailedSaveKeepsTheOldFileWhole) {
    ASSERT_TRUE(save_pose(the_default_pose(), path.c_str()));
    const Bytes old_file = read_file(path);
    set_save_fault_for_testing(fault_rename);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(save_pose(unlike_default_pose(), path.c_str()));
    set_save_fault_for_testing(fault_none);
    EXPECT_FALSE(save_pose(the_default_pose(), dir.file("no/such/folder.bones").c_str()));
    EXPECT_FALSE(save_pose(the_default_pose(), nullptr));
    EXPECT_NE(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(read_file(path), old_file);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

}  // namespace
