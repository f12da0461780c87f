#include "skeleton/key_pose.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/temp_folder.h"
#include "world/player_action.h"

namespace {

namespace fs = std::filesystem;

BonePose the_default_pose() {
    BonePose pose;
    default_pose(pose);
    return pose;
}

bool same_pose(const BonePose& a, const BonePose& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

int lines_in(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST(KeyFile, MapsEachActionAndPhaseToItsKey) {
    const char* walk[] = {"Data/bones/WALK1.bones", "Data/bones/WALK2.bones",
                          "Data/bones/WALK3.bones", "Data/bones/WALK2.bones"};
    for (int phase = 0; phase < 4; ++phase) EXPECT_STREQ(key_file(action_walk, phase), walk[phase]);
    for (int phase = 0; phase < 3; ++phase)
        EXPECT_STREQ(key_file(action_idle, phase), "Data/bones/ZOMBIE1.bones");
    EXPECT_STREQ(key_file(action_attack, 0), "Data/bones/ATTACK1.bones");
    EXPECT_STREQ(key_file(action_attack, 1), "Data/bones/ATTACK2.bones");
    EXPECT_STREQ(key_file(action_attack, 2), "Data/bones/ATTACK3.bones");

    EXPECT_EQ(key_file(action_walk, 4), nullptr);
    EXPECT_EQ(key_file(action_walk, -1), nullptr);
    EXPECT_EQ(key_file(action_idle, 3), nullptr);
    EXPECT_EQ(key_file(action_attack, 3), nullptr);
    EXPECT_EQ(key_file(action_attack, INT32_MIN), nullptr);
    EXPECT_EQ(key_file(2, 0), nullptr);
    EXPECT_EQ(key_file(action_walk | 1, 0), nullptr);
}

// Each test runs in a fresh folder holding an empty Data/bones.
class KeyPose : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.ok());
        fs::create_directories(folder_.path() / "Data/bones");
        ASSERT_TRUE(inside_.ok());
    }

    // A key file told apart from the others by its head length.
    static void write_key(const std::string& name, float mark) {
        BonePose pose = the_default_pose();
        pose.bones[0].length = mark;
        ASSERT_TRUE(save_pose(pose, ("Data/bones/" + name + ".bones").c_str()));
    }
    static float shown(uint32_t action, int32_t phase) {
        BonePose pose;
        key_pose(pose, action, phase);
        return pose.bones[0].length;
    }

    TempFolder folder_{"torvi-keys-"};
    WorkingFolder inside_{folder_.path()};
};

TEST_F(KeyPose, WalkPingPongsOverThreeKeys) {
    write_key("WALK1", 1);
    write_key("WALK2", 2);
    write_key("WALK3", 3);
    const float expected[] = {1, 2, 3, 2, 1};
    const int phases[] = {0, 1, 2, 3, 0};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(shown(action_walk, phases[i]), expected[i]);
}

TEST_F(KeyPose, IdleShowsOneKeyAndAttackShowsThree) {
    write_key("ZOMBIE1", 4);
    write_key("ATTACK1", 5);
    write_key("ATTACK2", 6);
    write_key("ATTACK3", 7);
    for (int phase = 0; phase < 3; ++phase) EXPECT_EQ(shown(action_idle, phase), 4);
    EXPECT_EQ(shown(action_attack, 0), 5);
    EXPECT_EQ(shown(action_attack, 2), 7);

    BonePose pose;
    key_pose(pose, action_attack, 3);
    EXPECT_TRUE(same_pose(pose, the_default_pose()));
}

TEST_F(KeyPose, AnEmptyFolderGivesTheDefaultPoseEverywhere) {
    testing::internal::CaptureStderr();
    for (uint32_t action : {action_idle, action_attack, action_walk}) {
        for (int32_t phase = 0; phase < 4; ++phase) {
            BonePose pose = {};
            key_pose(pose, action, phase);
            EXPECT_TRUE(same_pose(pose, the_default_pose())) << action << " " << phase;
        }
    }
    testing::internal::GetCapturedStderr();
}

TEST_F(KeyPose, AFortyByteKeyChangesOnlyHeadAndTrunk) {
    BonePose source = the_default_pose();
    source.bones[0] = {{0.1f, 0.2f, 0.3f, 0.9f}, 0.4f};
    source.bones[1] = {{-0.1f, 0.25f, -0.3f, 0.8f}, 0.6f};
    const auto* bytes = reinterpret_cast<const char*>(&source);
    ASSERT_EQ(std::count(bytes, bytes + 40, '\n'), 0);  // so the file is the raw record
    std::ofstream("Data/bones/WALK1.bones", std::ios::binary).write(bytes, 40);

    testing::internal::CaptureStderr();
    BonePose pose;
    key_pose(pose, action_walk, 0);
    testing::internal::GetCapturedStderr();
    const BonePose defaults = the_default_pose();
    for (int b = 0; b < kBoneCount; ++b) {
        const BoneRecord& expected = b < 2 ? source.bones[b] : defaults.bones[b];
        EXPECT_EQ(std::memcmp(&pose.bones[b], &expected, sizeof expected), 0) << kBoneNames[b];
    }
}

TEST_F(KeyPose, ARewrittenKeyShowsAtTheNextCall) {
    write_key("WALK2", 2);
    EXPECT_EQ(shown(action_walk, 1), 2);
    write_key("WALK2", 9);
    EXPECT_EQ(shown(action_walk, 3), 9);
}

TEST_F(KeyPose, ABadKeyIsReportedOncePerChangeOfItsState) {
    write_key("ZOMBIE1", 4);
    testing::internal::CaptureStderr();
    shown(action_idle, 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    fs::remove("Data/bones/ZOMBIE1.bones");
    testing::internal::CaptureStderr();
    for (int frame = 0; frame < 100; ++frame) shown(action_idle, frame % 3);
    std::string output = testing::internal::GetCapturedStderr();
    EXPECT_EQ(lines_in(output), 1);
    EXPECT_NE(output.find("Data/bones/ZOMBIE1.bones"), std::string::npos);

    write_key("ZOMBIE1", 4);
    testing::internal::CaptureStderr();
    for (int frame = 0; frame < 10; ++frame) shown(action_idle, 0);
    std::ofstream("Data/bones/ZOMBIE1.bones", std::ios::binary).write("\x01\x02\x03", 3);
    for (int frame = 0; frame < 10; ++frame) shown(action_idle, 0);
    output = testing::internal::GetCapturedStderr();
    EXPECT_EQ(lines_in(output), 1);
    EXPECT_NE(output.find("3 of 280"), std::string::npos);
}

}  // namespace
