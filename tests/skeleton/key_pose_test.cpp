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

TEST(KeyFile, ActionsAndPhasesWithoutAKeyHaveNoFile) {
    EXPECT_STREQ(key_file(action_walk, 3), "Data/bones/WALK2.bones");
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

TEST_F(KeyPose, WalkPingPongsIdleShowsOneKeyAttackThreeAndRewritesShowAtOnce) {
    const char* names[] = {"WALK1", "WALK2", "WALK3", "ZOMBIE1", "ATTACK1", "ATTACK2", "ATTACK3"};
    for (int k = 0; k < 7; ++k) write_key(names[k], static_cast<float>(k + 1));
    const int walk_phases[] = {0, 1, 2, 3, 0};
    const float walk_keys[] = {1, 2, 3, 2, 1};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(shown(action_walk, walk_phases[i]), walk_keys[i]);
    for (int phase = 0; phase < 3; ++phase) {
        EXPECT_EQ(shown(action_idle, phase), 4);
        EXPECT_EQ(shown(action_attack, phase), 5 + phase);
    }
    BonePose pose;
    key_pose(pose, action_attack, 3);
    EXPECT_TRUE(same_pose(pose, the_default_pose()));

    write_key("WALK2", 9);
    EXPECT_EQ(shown(action_walk, 3), 9);
}

TEST_F(KeyPose, MissingKeysGiveTheDefaultPoseAndAShortKeyChangesOnlyItsBytes) {
    testing::internal::CaptureStderr();
    for (uint32_t action : {action_idle, action_attack, action_walk}) {
        for (int32_t phase = 0; phase < 4; ++phase) {
            BonePose pose = {};
            key_pose(pose, action, phase);
            EXPECT_TRUE(same_pose(pose, the_default_pose())) << action << " " << phase;
        }
    }
    BonePose source = the_default_pose();
    source.bones[0] = {{0.1f, 0.2f, 0.3f, 0.9f}, 0.4f};
    source.bones[1] = {{-0.1f, 0.25f, -0.3f, 0.8f}, 0.6f};
    const auto* bytes = reinterpret_cast<const char*>(&source);
    ASSERT_EQ(std::count(bytes, bytes + 40, '\n'), 0);  // so the file is the raw record
    std::ofstream("Data/bones/WALK1.bones", std::ios::binary).write(bytes, 40);
    BonePose pose;
    key_pose(pose, action_walk, 0);
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(same_pose(pose, source));
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
