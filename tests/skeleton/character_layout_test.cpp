// Character placement, skins, the status label, the attack trail and the health ring.
#include "skeleton/character_layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "support/expect_near.h"

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

TEST(CharacterPieces, SkinsOutsideTheTableFallBackToTheZombieRowOrNothing) {
    EXPECT_STREQ(element_skin_name(2, skin_hands), "black");
    EXPECT_STREQ(element_skin_name(1, skin_foot_part2), "red");
    EXPECT_STREQ(element_skin_name(4, skin_body), "zombie_body");
    EXPECT_STREQ(element_skin_name(-1, skin_head), "zombie_head");
    EXPECT_EQ(element_skin_name(0, 5), nullptr);
    EXPECT_EQ(element_skin_name(0, -1), nullptr);
}

TEST(StatusLabel, TextOfARecordCutAt255Characters) {
    PlayerRecord r = record_at({2.5f, 0, -3.25f}, {1, 0, -2});
    std::strcpy(r.name, "anna");
    r.health = 80;
    r.action = 0x100000;
    r.action_phase = 3;
    char text[kStatusLabelSize + 8];
    format_status_label(r, text);
    EXPECT_STREQ(text,
                 "pos [2.500000][0.000000][-3.250000]\n"
                 "speed [1.000000][0.000000][-2.000000]\n"
                 "name [anna]\nhealth [80]\naction[0x00100000][0x00000003]\n"
                 "qar_pos[2.000000][3.000000]");

    r = record_at({1e30f, -1e30f, 1e30f}, {1e30f, 1e30f, 1e30f});
    std::memset(r.name, 'x', sizeof r.name);  // no terminator
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

TEST(HealthRing, SegmentsFollowTheHealthAndTurnAboutTheirCentre) {
    HudSprite s[kHealthRingMaxSprites];
    ASSERT_EQ(health_ring_layout(100, s), 9);  // eight segments, then the ring
    for (int k = 0; k < 8; ++k) EXPECT_FLOAT_EQ(s[k].angle, (120 - 20 * k) * kDegToRad) << k;
    EXPECT_EQ(s[8].texture, hud_ring);
    // Every segment turns about its centre (16, 100), placed at (100, 50).
    const Vec2 centre = hud_sprite_point(s[0], {16, 100});
    EXPECT_NEAR(centre.x, 116.0f, 1e-4f);
    EXPECT_NEAR(centre.y, 150.0f, 1e-4f);
    const Vec2 plain = hud_sprite_point(s[6], {3, 4});  // at 0 degrees: only moved
    EXPECT_NEAR(plain.x, 103.0f, 1e-4f);
    EXPECT_NEAR(plain.y, 54.0f, 1e-4f);
    // At 120 degrees the source's top-left corner swings down and to the right.
    const Vec2 top_left = hud_sprite_point(s[0], {0, 0});
    EXPECT_NEAR(top_left.x, 116.0f + 8.0f + 86.60254f, 1e-3f);
    EXPECT_NEAR(top_left.y, 150.0f - 13.856406f + 50.0f, 1e-3f);

    for (uint32_t health : {1u, 14u, 15u, 28u}) {  // only the two caps
        ASSERT_EQ(health_ring_layout(health, s), 3) << health;
        EXPECT_EQ(s[1].source.left, 128);
        EXPECT_FLOAT_EQ(s[1].angle, 100 * kDegToRad);
    }
    EXPECT_EQ(health_ring_layout(29, s), 4);
    for (uint32_t health : {0u, 101u, 0xFFFFFFFFu}) EXPECT_EQ(health_ring_layout(health, s), 0);
}

}  // namespace
