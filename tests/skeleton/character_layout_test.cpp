// Character placement, skins, the status label, the attack trail and the health ring.
#include "skeleton/character_layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "world/movement.h"

namespace {

constexpr float kPi = 3.1415927f;

PlayerRecord record_at(Vec3 position, Vec3 velocity = {0, 0, 0}) {
    PlayerRecord r;
    std::memset(&r, 0, sizeof r);
    r.position = position;
    r.velocity = velocity;
    r.facing = identity();
    return r;
}

// The yaw angle a turn about Y stands for.
float yaw_of(const Matrix& m) {
    return std::atan2(-m.m[0][2], m.m[0][0]);
}

Vec3 origin_of(const Matrix& m) {
    return {m.m[3][0], m.m[3][1], m.m[3][2]};
}

void expect_near(Vec3 a, Vec3 b, float tolerance = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

TEST(CharacterYaw, FacesTheHorizontalDirectionOfMovement) {
    struct Case {
        Vec3 velocity;
        float yaw;
    };
    const Case cases[] = {
        {{3, 0, 0}, -kPi / 2}, {{-3, 0, 0}, kPi / 2},  {{0, 0, -3}, 0.0f},
        {{0, 0, 3}, kPi},      {{2, 7, -2}, -kPi / 4},
    };
    for (const Case& c : cases) {
        PlayerRecord r = record_at({0, 0, 0}, c.velocity);
        const Matrix m = character_yaw(r);
        EXPECT_NEAR(std::fabs(yaw_of(m)), std::fabs(c.yaw), 1e-6f);
        // The model's front (0, 0, -1) turns onto the horizontal direction of movement.
        const Vec3 front = transform_normal({0, 0, -1}, m);
        const Vec3 dir = normalize({c.velocity.x, 0, c.velocity.z});
        expect_near(front, dir);
    }
}

TEST(CharacterYaw, StandingOrJumpingStraightUpKeepsTheLastFacing) {
    PlayerRecord r = record_at({0, 0, 0}, {5, 0, 0});
    physics_step(r);  // the movement step keeps the facing
    const Matrix walking = character_yaw(r);
    r.velocity = {0, 0, 0};
    EXPECT_EQ(std::memcmp(&walking, &r.facing, sizeof walking), 0);
    const Matrix stopped = character_yaw(r);
    EXPECT_EQ(std::memcmp(&walking, &stopped, sizeof walking), 0);
    r.velocity = {0, 200, 0};
    const Matrix jumping = character_yaw(r);
    EXPECT_EQ(std::memcmp(&walking, &jumping, sizeof walking), 0);
}

TEST(CharacterYaw, DamagedOrUnsetFacingAndVelocityGiveAPlainTurn) {
    PlayerRecord r = record_at({0, 0, 0});
    std::memset(&r.facing, 0, sizeof r.facing);  // a slot never drawn
    const Matrix unset = character_yaw(r);
    EXPECT_EQ(unset.m[0][0], 1.0f);
    EXPECT_EQ(unset.m[1][1], 1.0f);

    r.velocity = {NAN, 0, 1};
    const Matrix nan_speed = character_yaw(r);
    EXPECT_EQ(nan_speed.m[0][0], 1.0f);
    EXPECT_FALSE(std::isnan(nan_speed.m[2][2]));
}

TEST(CharacterPlacement, DefaultPosePiecesHangFromTheBasePoint) {
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
}

TEST(CharacterPlacement, YawTurnsThePiecesAboutTheBasePoint) {
    BonePose pose;
    default_pose(pose);
    PlayerRecord r = record_at({5, 2, -7}, {1, 0, 0});  // faces +x, in the air
    // Turning the front from -z to +x carries the model's +x side (the left hand) to +z.
    const Vec3 hand = origin_of(piece_world_matrix(pose, piece_left_hand, r));
    expect_near(hand, {5, 2.55f, -6.7f});
    const Vec3 trail_origin = origin_of(attack_trail_world_matrix(pose, r));
    const Vec3 right_hand = origin_of(piece_world_matrix(pose, piece_right_hand, r));
    expect_near(trail_origin, right_hand);
}

TEST(CharacterPlacement, TrailMatrixScalesModelUnitsDown) {
    BonePose pose;
    default_pose(pose);
    PlayerRecord r = record_at({1, 0, -1});
    const Matrix m = attack_trail_world_matrix(pose, r);
    const Vec3 far_point = transform_coord({30, 0, 0}, m);
    const Vec3 origin = transform_coord({0, 0, 0}, m);
    EXPECT_NEAR(length(subtract(far_point, origin)), 1.0f, 1e-5f);
}

TEST(CharacterPieces, DrawingOrderAndSkins) {
    const BodyPiece order[] = {piece_head,       piece_body,       piece_left_hand,
                               piece_right_hand, piece_right_foot, piece_left_foot};
    for (int k = 0; k < kCharacterPieceCount; ++k) EXPECT_EQ(kCharacterPieces[k].piece, order[k]);
    const CharacterPiece& foot = kCharacterPieces[4];
    ASSERT_EQ(foot.toon_count, 2);
    EXPECT_EQ(foot.toon[1].skin, skin_foot_part2);

    EXPECT_STREQ(element_skin_name(2, skin_head), "black");
    EXPECT_STREQ(element_skin_name(2, skin_hands), "black");
    EXPECT_STREQ(element_skin_name(0, skin_foot_part2), "grey");
    EXPECT_STREQ(element_skin_name(1, skin_foot_part2), "red");
    EXPECT_STREQ(element_skin_name(3, skin_foot_part1), "grey");
    // Out of the table: the zombie's row; no column at all.
    EXPECT_STREQ(element_skin_name(4, skin_body), "zombie_body");
    EXPECT_STREQ(element_skin_name(-1, skin_head), "zombie_head");
    EXPECT_EQ(element_skin_name(0, 5), nullptr);
    EXPECT_EQ(element_skin_name(0, -1), nullptr);
}

TEST(StatusLabel, TextOfARecord) {
    PlayerRecord r = record_at({2.5f, 0, -3.25f}, {1, 0, -2});
    std::strcpy(r.name, "anna");
    r.health = 80;
    r.action = 0x100000;
    r.action_phase = 3;
    char text[kStatusLabelSize];
    format_status_label(r, text);
    EXPECT_STREQ(text,
                 "pos [2.500000][0.000000][-3.250000]\n"
                 "speed [1.000000][0.000000][-2.000000]\n"
                 "name [anna]\nhealth [80]\naction[0x00100000][0x00000003]\n"
                 "qar_pos[2.000000][3.000000]");
}

TEST(StatusLabel, LongTextIsCutAt255Characters) {
    PlayerRecord r = record_at({1e30f, -1e30f, 1e30f}, {1e30f, 1e30f, 1e30f});
    std::memset(r.name, 'x', sizeof r.name);  // no terminator
    char text[kStatusLabelSize + 8];
    std::memset(text, '#', sizeof text);
    format_status_label(r, text);
    EXPECT_EQ(std::strlen(text), 255u);
    EXPECT_EQ(text[kStatusLabelSize], '#');
}

TEST(StatusLabel, ScreenPositionTruncatesTowardZero) {
    const Matrix view = look_at_lh({5, 3, -2}, {5, 0, -7}, {0, 1, 0});
    const Matrix projection = perspective_fov_lh(kPi / 4, 4.0f / 3.0f, 1, 1500);
    PlayerRecord r = record_at({5, 0, -7});
    const ScreenPixel at_target = status_label_position(r, projection, view, 1024, 768);
    EXPECT_EQ(at_target.x, 512);
    EXPECT_EQ(at_target.y, 384);
    r.position = {5.3f, 0.4f, -7};
    const Vec3 exact =
        project(r.position, {0, 0, 1024, 768, 0, 1000}, projection, view, identity());
    const ScreenPixel p = status_label_position(r, projection, view, 1024, 768);
    EXPECT_EQ(p.x, static_cast<int>(exact.x));
    EXPECT_EQ(p.y, static_cast<int>(exact.y));

    EXPECT_EQ(truncate_to_pixel(-3.7f), -3);
    EXPECT_EQ(truncate_to_pixel(NAN), 0);
    EXPECT_EQ(truncate_to_pixel(1e20f), INT_MAX);
    EXPECT_EQ(truncate_to_pixel(-1e20f), INT_MIN);
}

TEST(HealthRing, FullHealthShowsEverySegment) {
    HudSprite s[kHealthRingMaxSprites];
    ASSERT_EQ(health_ring_layout(100, s), 9);
    const int degrees[8] = {120, 100, 80, 60, 40, 20, 0, -20};
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(s[k].texture, hud_balken);
        EXPECT_FLOAT_EQ(s[k].angle, degrees[k] * kDegToRad) << k;
        EXPECT_EQ(s[k].corner.x, 100.0f);
        EXPECT_EQ(s[k].corner.y, 50.0f);
        EXPECT_EQ(s[k].centre.x, 16.0f);
        EXPECT_EQ(s[k].centre.y, 100.0f);
    }
    EXPECT_EQ(s[0].source.left, 0);
    for (int k = 1; k < 7; ++k) EXPECT_EQ(s[k].source.left, 32);
    EXPECT_EQ(s[7].source.left, 128);
    EXPECT_EQ(s[7].source.right, 160);
    EXPECT_EQ(s[8].texture, hud_ring);
    EXPECT_TRUE(s[8].whole_texture);
    EXPECT_EQ(s[8].angle, 0.0f);
    EXPECT_EQ(s[8].corner.x, -10.0f);
    EXPECT_EQ(s[8].corner.y, 23.0f);
}

TEST(HealthRing, LowHealthShowsOnlyTheCaps) {
    HudSprite s[kHealthRingMaxSprites];
    for (uint32_t health : {1u, 14u, 15u, 28u}) {
        ASSERT_EQ(health_ring_layout(health, s), 3) << health;
        EXPECT_FLOAT_EQ(s[0].angle, 120 * kDegToRad);
        EXPECT_EQ(s[1].source.left, 128);
        EXPECT_FLOAT_EQ(s[1].angle, 100 * kDegToRad);
    }
    EXPECT_EQ(health_ring_layout(29, s), 4);
}

TEST(HealthRing, NoRingOutsideOneToHundred) {
    HudSprite s[kHealthRingMaxSprites];
    EXPECT_EQ(health_ring_layout(0, s), 0);
    EXPECT_EQ(health_ring_layout(101, s), 0);
    EXPECT_EQ(health_ring_layout(0xFFFFFFFFu, s), 0);
}

TEST(HealthRing, SpritesTurnAboutTheirCentre) {
    HudSprite s[kHealthRingMaxSprites];
    health_ring_layout(100, s);
    // The centre stays put; at 0 degrees the sprite is only moved to its corner.
    const Vec2 centre = hud_sprite_point(s[0], {16, 100});
    EXPECT_NEAR(centre.x, 116.0f, 1e-4f);
    EXPECT_NEAR(centre.y, 150.0f, 1e-4f);
    const Vec2 plain = hud_sprite_point(s[6], {3, 4});
    EXPECT_NEAR(plain.x, 103.0f, 1e-4f);
    EXPECT_NEAR(plain.y, 54.0f, 1e-4f);
    // At 120 degrees the source's top-left corner swings down and to the right.
    const Vec2 top_left = hud_sprite_point(s[0], {0, 0});
    EXPECT_NEAR(top_left.x, 116.0f + 8.0f + 86.60254f, 1e-3f);
    EXPECT_NEAR(top_left.y, 150.0f - 13.856406f + 50.0f, 1e-3f);
}

}  // namespace
