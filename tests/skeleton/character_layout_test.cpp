// Character placement, skins, the status label, the attack trail, the health ring, and the
// pose editor's bone figure.
#include "skeleton/character_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "skeleton/pose_figure_layout.h"
#include "support/expect_near.h"

namespace {

PlayerRecord record_at(Vec3 position, Vec3 velocity = {0, 0, 0}) {
    PlayerRecord r;
    std::memset(&r, 0, sizeof r);
    r.position = position;
    r.velocity = velocity;
    r.facing = identity();
    return r;
}

TEST(CharacterPlacement, PiecesHangFromTheBasePointAndTurnAboutIt) {
    BonePose pose;
    default_pose(pose);
    PlayerRecord r = record_at({5, 0, -7});
    expect_near(character_base_point(r), {5, 0.55f, -7});
    expect_near(origin_of(piece_world_matrix(pose, piece_head, r)), {5, 1.33f, -7});
    expect_near(origin_of(piece_world_matrix(pose, piece_body, r)), {5, 0.81f, -7});
    // Feet stand just above the ground; the left one on the +x side of an unturned body.
    expect_near(origin_of(piece_world_matrix(pose, piece_left_foot, r)), {5.2f, 0.01f, -7});
    // An unknown piece is placed at the base point, not left undefined.
    expect_near(origin_of(piece_world_matrix(pose, 4, r)), {5, 0.55f, -7});

    r = record_at({5, 2, -7}, {1, 0, 0});  // faces +x, in the air
    // Turning the front from -z to +x carries the model's +x side (the left hand) to +z.
    expect_near(origin_of(piece_world_matrix(pose, piece_left_hand, r)), {5, 2.55f, -6.7f});
    // The trail starts at the right hand and scales 30 model units down to one.
    const Matrix trail = attack_trail_world_matrix(pose, r);
    expect_near(origin_of(trail), origin_of(piece_world_matrix(pose, piece_right_hand, r)));
    EXPECT_NEAR(length(subtract(transform_coord({30, 0, 0}, trail), origin_of(trail))), 1.0f,
                1e-5f);
}

// The full label, cut at 255 characters; the name alone stops at the name's size even
// when a name from the network lacks its terminator.
TEST(StatusLabel, TextOfARecordCutAt255CharactersOrItsName) {
    PlayerRecord r = record_at({2.5f, 0, -3.25f}, {1, 0, -2});
    std::strcpy(r.name, "anna");
    r.health = 80;
    char text[kStatusLabelSize + 8];
    format_status_label(r, label_full, text);
    for (const char* part :
         {"pos [2.500000][0.000000][-3.250000]\n", "name [anna]\nhealth [80]\n"}) {
        EXPECT_NE(std::strstr(text, part), nullptr) << text;
    }

    r = record_at({1e30f, -1e30f, 1e30f}, {1e30f, 1e30f, 1e30f});
    std::memset(r.name, 'x', sizeof r.name);  // no terminator
    std::memset(text, '#', sizeof text);
    format_status_label(r, label_full, text);
    EXPECT_EQ(std::strlen(text), 255u);
    EXPECT_EQ(text[kStatusLabelSize], '#');
    format_status_label(r, label_name, text);
    EXPECT_EQ(std::strlen(text), kPlayerNameSize - 1u);
}

// Absurd projections give a pixel anyway: no undefined float-to-int conversion.
TEST(StatusLabel, PixelsTruncateTowardZeroAndSaturate) {
    EXPECT_EQ(truncate_to_pixel(-3.7f), -3);
    EXPECT_EQ(truncate_to_pixel(NAN), 0);
    EXPECT_EQ(truncate_to_pixel(1e20f), INT_MAX);
    EXPECT_EQ(truncate_to_pixel(-1e20f), INT_MIN);
}

TEST(HealthRing, SegmentsFollowTheHealthAndTurnAboutTheirCentre) {
    HudSprite s[kHealthRingMaxSprites];
    ASSERT_EQ(health_ring_layout(100, s), 9);  // eight segments, then the ring
    // Every segment turns about its centre (16, 100), placed at (100, 50): at 120 degrees
    // the source's top-left corner swings down and to the right of (116, 150).
    const Vec2 top_left = hud_sprite_point(s[0], {0, 0});
    EXPECT_NEAR(top_left.x, 116.0f + 8.0f + 86.60254f, 1e-3f);
    EXPECT_NEAR(top_left.y, 150.0f - 13.856406f + 50.0f, 1e-3f);

    EXPECT_EQ(health_ring_layout(1, s), 3);  // the two caps
    for (uint32_t health : {0u, 101u, 0xFFFFFFFFu}) EXPECT_EQ(health_ring_layout(health, s), 0);
}

const BoneMarkers& markers_of(const BoneMarkers all[kBoneCount], int bone) {
    for (int k = 0; k < kBoneCount; ++k) {
        if (all[k].bone == bone) return all[k];
    }
    ADD_FAILURE() << "bone " << bone << " not drawn";
    return all[0];
}

class PoseFigure : public ::testing::Test {
  protected:
    void SetUp() override {
        default_pose(pose);
        pose_figure_layout(pose, m);
    }
    Vec3 knob(int bone) const { return origin_of(markers_of(m, bone).knob); }

    BonePose pose;
    BoneMarkers m[kBoneCount];
};

TEST_F(PoseFigure, KnobsSitAtTheBoneTipsAndShaftsRunFromJointToTip) {
    expect_near(knob(8), {0.2f, 0.01f, 0});  // left foot
    // The shaft is modelled from y = -1 to 0: its -1 end meets the joint.
    const BoneMarkers& neck = markers_of(m, 1);
    expect_near(transform_coord({0, -1, 0}, neck.shaft), {0, 0.55f, 0});
    expect_near(transform_coord({0, 0, 0}, neck.shaft), {0, 1.07f, 0});
    // The left arm hangs down from the end of the left shoulder.
    expect_near(transform_coord({0, -1, 0}, markers_of(m, 4).shaft), {0.3f, 1.07f, 0});
}

TEST_F(PoseFigure, ZeroLengthBoneHasAFlatShaftAndAKnob) {
    pose.bones[6].length = 0.0f;
    pose_figure_layout(pose, m);
    const BoneMarkers& hand = markers_of(m, 6);
    EXPECT_EQ(length(transform_normal({0, 1, 0}, hand.shaft)), 0.0f);
    EXPECT_GT(length(transform_normal({0, 1, 0}, hand.knob)), 0.3f);
    expect_near(origin_of(hand.knob), {0.3f, 0.75f, 0});  // at the end of the arm
}

// Turning a bone moves its own knob and those of the bones hanging from it, nothing else.
TEST_F(PoseFigure, TurningABoneMovesItsDescendantsOnly) {
    const struct {
        int bone;
        unsigned moved;  // one bit per bone
    } cases[] = {{1, 0xFFu}, {2, 1u << 2 | 1u << 4 | 1u << 6}, {12, 1u << 8 | 1u << 10 | 1u << 12}};
    for (const auto& c : cases) {
        default_pose(pose);
        pose_figure_layout(pose, m);
        BoneMarkers before[kBoneCount];
        std::copy(m, m + kBoneCount, before);
        pose.bones[c.bone].rotation = quaternion_yaw_pitch_roll(0, 0, 0.3f);
        pose_figure_layout(pose, m);
        for (int bone = 0; bone < kBoneCount; ++bone) {
            const Vec3 a = origin_of(markers_of(before, bone).knob);
            EXPECT_EQ(length(subtract(a, knob(bone))) > 1e-4f, (c.moved >> bone & 1u) != 0)
                << "turning " << c.bone << " and looking at " << bone;
        }
    }
}

}  // namespace
