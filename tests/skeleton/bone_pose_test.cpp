// Bone poses: the bone matrices, the .bones file, and the key poses read from Data/bones.
#include "skeleton/bone_pose.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "platform/atomic_file.h"
#include "skeleton/key_pose.h"
#include "support/expect_near.h"
#include "support/temp_folder.h"
#include "world/player_action.h"

namespace {

using Bytes = std::string;  // a file's or a record's bytes

Bytes record_of(const BonePose& pose) {
    const auto* p = reinterpret_cast<const char*>(&pose);
    return Bytes(p, p + sizeof pose);
}

BonePose the_default_pose() {
    BonePose pose;
    default_pose(pose);
    return pose;
}

float float_of(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// A pose whose every byte differs from the default pose's, built so that a value mixed
// from the low bytes of a default value and the high bytes of this one stays sane.
BonePose unlike_default_pose() {
    Bytes record = record_of(the_default_pose());
    for (size_t at = 0; at < record.size(); at += 4) {
        uint32_t d;
        std::memcpy(&d, &record[at], 4);
        const bool is_length = at % 20 == 16;
        // Rotations: the opposite sign, magnitude 0.5..1. Lengths: 0.25..1.
        const uint32_t sign = is_length ? 0 : ~d & 0x80000000u;
        const uint32_t exponent = (is_length && (d >> 24) == 0x3F ? 125u : 126u) << 23;
        const uint32_t mantissa = ((((d >> 16) & 0x7F) ^ 0x55) << 16) |
                                  ((((d >> 8) & 0xFF) ^ 0xA5) << 8) | ((d & 0xFF) ^ 0x5A);
        const uint32_t value = sign | exponent | mantissa;
        std::memcpy(&record[at], &value, 4);
    }
    BonePose pose;
    std::memcpy(&pose, record.data(), sizeof pose);
    return pose;
}

TEST(BonePose, EachRotationTurnsAboutItsOwnJointAndBadIndicesGiveNothing) {
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

    // No list, no bone or no piece leaves the output untouched.
    const BonePose pose = the_default_pose();
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

TEST_F(PoseFile, EveryPrefixChangesExactlyTheRecordBytesItSupplies) {
    ASSERT_TRUE(save_pose(the_default_pose(), path.c_str()));
    const Bytes file = read_text(path);
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

        write_text(cut_path, Bytes(file.begin(), file.begin() + cut));
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
    // Value v of a bone: rotation x, y, z, w, then length. NaN as the result: the default.
    auto value = [](BonePose& pose, int bone, int v) -> float& {
        return reinterpret_cast<float*>(&pose.bones[bone])[v];
    };
    const struct {
        int bone, v;
        float damaged, repaired;
    } cases[] = {
        {0, 0, nan, nan},    {2, 2, -inf, nan},      {3, 3, float_of(0xFFC00001u), nan},
        {5, 4, inf, nan},    {6, 1, 1e30f, 1.0f},    {7, 0, -1.5f, -1.0f},
        {8, 4, -5.0f, 0.0f}, {13, 4, 100.0f, 10.0f}, {13, 3, 1.0f, 1.0f},  // at the limit: kept
    };
    BonePose defaults = the_default_pose(), damaged = defaults;
    for (const auto& c : cases) value(damaged, c.bone, c.v) = c.damaged;
    unsigned char file[kMaxPoseFileBytes];
    BonePose pose = {};
    PoseLoad result = apply_pose_file_bytes(pose, file, encode_pose_file(damaged, file));
    EXPECT_EQ(result.status, pose_ok);
    EXPECT_EQ(result.replaced, 8);
    for (const auto& c : cases) {
        const float want = std::isnan(c.repaired) ? value(defaults, c.bone, c.v) : c.repaired;
        EXPECT_EQ(value(pose, c.bone, c.v), want) << "bone " << c.bone << " value " << c.v;
    }

    pose.bones[13].length = 50.0f;  // the caller's business, not the file's
    result = apply_pose_file_bytes(
        pose, reinterpret_cast<const unsigned char*>(record_of(defaults).data()), 20);
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
    write_text(path, file);
    BonePose pose = {};
    PoseLoad result = load_pose(pose, path.c_str());
    EXPECT_EQ(result.status, pose_ok);
    EXPECT_FALSE(result.longer);
    EXPECT_EQ(record_of(pose), Bytes(280, 0x0A));

    file.push_back(0x41);  // one byte past the longest possible pose file
    write_text(path, file);
    EXPECT_TRUE(load_pose(pose, path.c_str()).longer);

    // The 280th record byte is a CR that is not part of a line end.
    file.resize(279 * 2);
    file.insert(file.end(), {0x0D, 0x0D, 0x0A});
    write_text(path, file);
    result = load_pose(pose, path.c_str());
    EXPECT_EQ(result.status, pose_ok);
    EXPECT_TRUE(result.longer);
    EXPECT_EQ(pose.bones[13].length, float_of(0x0D0A0A0Au));
}

// The fault cases of the atomic save are covered in the platform tests; here only that
// saving a pose goes through it, and that bad names fail cleanly.
TEST_F(PoseFile, AFailedSaveKeepsTheOldFileWhole) {
    ASSERT_TRUE(save_pose(the_default_pose(), path.c_str()));
    const Bytes old_file = read_text(path);
    set_save_fault_for_testing(fault_rename);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(save_pose(unlike_default_pose(), path.c_str()));
    set_save_fault_for_testing(fault_none);
    EXPECT_FALSE(save_pose(the_default_pose(), dir.file("no/such/folder.bones").c_str()));
    EXPECT_FALSE(save_pose(the_default_pose(), nullptr));
    EXPECT_NE(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(read_text(path), old_file);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

// Each test runs in a fresh folder holding an empty Data/bones.
class KeyPose : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.ok());
        std::filesystem::create_directories(folder_.path() / "Data/bones");
        ASSERT_TRUE(inside_.ok());
    }

    // A key file told apart from the others by its head length.
    static void write_key(const std::string& name, float mark) {
        BonePose pose = the_default_pose();
        pose.bones[0].length = mark;
        ASSERT_TRUE(save_pose(pose, ("Data/bones/" + name + ".bones").c_str()));
    }
    BonePose key(uint32_t action, int32_t phase) const {
        BonePose pose;
        key_pose(poses_, pose, action, phase);
        return pose;
    }
    float shown(uint32_t action, int32_t phase) const { return key(action, phase).bones[0].length; }

    TempFolder folder_{"torvi-keys-"};
    WorkingFolder inside_{folder_.path()};
    KeyPoses poses_;
};

// Once loaded, the keys are kept: files changed or deleted since show nothing new.
TEST_F(KeyPose, WalkPingPongsIdleShowsOneKeyAttackThreeAndTheKeysLoadedStay) {
    const char* names[] = {"WALK1", "WALK2", "WALK3", "ZOMBIE1", "ATTACK1", "ATTACK2", "ATTACK3"};
    for (int k = 0; k < 7; ++k) write_key(names[k], static_cast<float>(k + 1));
    load_key_poses(poses_);
    write_key("WALK2", 9);
    std::filesystem::remove("Data/bones/ZOMBIE1.bones");
    const float walk_keys[] = {1, 2, 3, 2, 1};  // phases 0, 1, 2, 3, then 0 again
    for (int i = 0; i < 5; ++i) EXPECT_EQ(shown(action_walk, i % 4), walk_keys[i]) << i;
    for (int phase = 0; phase < 3; ++phase) {
        EXPECT_EQ(shown(action_idle, phase), 4);
        EXPECT_EQ(shown(action_attack, phase), 5 + phase);
    }
    // Phases and actions without a key show the default pose.
    const Bytes defaults = record_of(the_default_pose());
    const int32_t keyless[][2] = {{action_attack, 3},
                                  {action_walk, 4},
                                  {action_walk, -1},
                                  {action_attack, INT32_MIN},
                                  {2, 0}};
    for (const auto& k : keyless) EXPECT_EQ(record_of(key(k[0], k[1])), defaults) << k[0];
}

// A key the player saved is played in place of the shipped one; the others stay shipped.
TEST_F(KeyPose, ThePlayersKeyWinsOverTheShippedOne) {
    for (const char* name : {"WALK1", "WALK2", "WALK3", "ZOMBIE1", "ATTACK1", "ATTACK2", "ATTACK3"})
        write_key(name, 1);
    std::filesystem::create_directories("mine");
    BonePose pose = the_default_pose();
    pose.bones[0].length = 7;
    ASSERT_TRUE(save_pose(pose, "mine/WALK2.bones"));
    load_key_poses(poses_, FilePlaces{"mine/", "Data/bones/"});
    EXPECT_EQ(shown(action_walk, 1), 7);
    EXPECT_EQ(shown(action_walk, 0), 1);
}

// A missing key shows the default pose, a short one the default pose where the file has no
// bytes; each is said once, at load, and never while the keys are shown.
TEST_F(KeyPose, ABadKeyIsReportedOnceAtLoadAndShowsTheDefaultPose) {
    for (const char* name : {"WALK1", "WALK2", "WALK3", "ATTACK1", "ATTACK2", "ATTACK3"})
        write_key(name, 4);
    write_text("Data/bones/WALK2.bones", {1, 2, 3});
    testing::internal::CaptureStderr();
    load_key_poses(poses_);
    for (int frame = 0; frame < 100; ++frame) key(frame % 2 ? action_idle : action_walk, 1);
    const std::string output = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 2) << output;
    EXPECT_NE(output.find("Data/bones/ZOMBIE1.bones"), std::string::npos);
    EXPECT_NE(output.find("3 of 280"), std::string::npos);

    EXPECT_EQ(record_of(key(action_idle, 0)), record_of(the_default_pose()));
    EXPECT_EQ(shown(action_walk, 1), the_default_pose().bones[0].length);
    EXPECT_EQ(shown(action_walk, 0), 4);
}

// The pose editor hands over what it saved; only a key's own name takes it.
TEST_F(KeyPose, ASavedKeyIsKeptUnderItsNameOnly) {
    BonePose saved = the_default_pose();
    saved.bones[0].length = 7;
    for (const char* name : {"WALK", "WALK1.bones", "walk1", "", "Data/bones/WALK1"}) {
        EXPECT_FALSE(keep_saved_key(poses_, name, saved)) << name;
    }
    EXPECT_EQ(record_of(key(action_walk, 0)), record_of(the_default_pose()));
    EXPECT_TRUE(keep_saved_key(poses_, "WALK1", saved));
    EXPECT_EQ(shown(action_walk, 0), 7);
    EXPECT_EQ(shown(action_walk, 1), the_default_pose().bones[0].length);
}

}  // namespace
