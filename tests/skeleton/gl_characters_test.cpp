#include "skeleton/gl_characters.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "../render/gl_test_context.h"
#include "console/gl_console.h"
#include "render/gl_screenshot.h"
#include "render/gl_texture.h"
#include "skeleton/character_layout.h"
#include "skeleton/key_pose.h"
#include "world/movement.h"
#include "world/player_action.h"

namespace {

constexpr int kTargetWidth = 320;
constexpr int kTargetHeight = 240;
constexpr uint32_t kClearGrey = 0xFF808080;
constexpr uint8_t kGrey = 0x80;
constexpr Vec3 kBodyCentre = {0.0f, 0.81f, 0.0f};
constexpr Vec3 kUp = {0.0f, 1.0f, 0.0f};

// A colour and depth target bigger than the test window, so the health ring (which hangs
// around screen point (116, 150)) and a row of characters fit.
class RenderTarget {
  public:
    RenderTarget(int width, int height) {
        glGenFramebuffers(1, &framebuffer_);
        glGenRenderbuffers(2, buffers_);
        glBindRenderbuffer(GL_RENDERBUFFER, buffers_[0]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glBindRenderbuffer(GL_RENDERBUFFER, buffers_[1]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  buffers_[0]);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                  buffers_[1]);
    }
    ~RenderTarget() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteRenderbuffers(2, buffers_);
        glDeleteFramebuffers(1, &framebuffer_);
    }
    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;

    bool complete() const {
        return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    }

  private:
    GLuint framebuffer_ = 0;
    GLuint buffers_[2] = {};
};

struct Rgb {
    int r, g, b;
};

int brightness(Rgb c) {
    return c.r + c.g + c.b;
}

int difference(Rgb a, Rgb b) {
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

bool is_clear(Rgb c) {
    return c.r == kGrey && c.g == kGrey && c.b == kGrey;
}

PlayerRecord make_record(int32_t element, Vec3 position, Vec3 velocity) {
    PlayerRecord record = {};
    std::strcpy(record.name, "test");
    record.position = position;
    record.velocity = velocity;
    record.health = 100;
    record.element = element;
    record.action = action_idle;
    record.slot_state = SlotState::InGame;
    return record;
}

BonePose pose_of_default() {
    BonePose pose;
    default_pose(pose);
    return pose;
}

class CharacterDrawTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_NE(getcwd(old_directory_, sizeof old_directory_), nullptr);
        ASSERT_EQ(chdir(TORVI_SOURCE_DIR), 0);
        target_ = std::make_unique<RenderTarget>(kTargetWidth, kTargetHeight);
        ASSERT_TRUE(target_->complete());
        ASSERT_TRUE(device_.init(kTargetWidth, kTargetHeight));
        ASSERT_TRUE(device_.load_toon_vertex_shader("Data/shaders/toon_surface.glsl"));
        ASSERT_TRUE(device_.load_toon_pixel_shader("Data/shaders/toon_pixel.glsl"));
        read_texture_config(device_.textures(), "Data/textures.cfg");
        load_character_assets(*assets_, device_);
        load_bone_markers(markers_, device_.textures());
        console_device_init(console_, fonts_, device_);  // the labels' font draws here
        device_.clear(kClearGrey);
    }

    void TearDown() override {
        target_.reset();
        if (old_directory_[0] != '\0') {
            EXPECT_EQ(chdir(old_directory_), 0);
        }
        GlTest::TearDown();
    }

    Font* label_font() { return ready_font(fonts_.console); }

    std::unique_ptr<CharacterAssets> assets_ = std::make_unique<CharacterAssets>();
    BoneMarkerAssets markers_;
    Console console_;
    Fonts fonts_;

    void look_from(Vec3 eye, Vec3 target) { device_.set_view(look_at_lh(eye, target, kUp)); }
    // Straight in front of a character that faces -Z, at the height of its body.
    void look_at_body() { look_from({0.0f, 0.81f, -2.5f}, kBodyCentre); }

    ScreenPixel screen(Vec3 p) const {
        const Vec3 s =
            project(p, device_.viewport(), device_.projection(), device_.view(), identity());
        return {static_cast<int>(s.x), static_cast<int>(s.y)};
    }

    void grab() { image_ = read_back_buffer(kTargetWidth, kTargetHeight); }

    Rgb at(int x, int y) const {
        const uint8_t* p = &image_[(static_cast<size_t>(y) * kTargetWidth + x) * 4];
        return {p[0], p[1], p[2]};
    }
    Rgb at(ScreenPixel p) const { return at(p.x, p.y); }

    int changed_pixels() const {
        int count = 0;
        for (int y = 0; y < kTargetHeight; ++y) {
            for (int x = 0; x < kTargetWidth; ++x) count += is_clear(at(x, y)) ? 0 : 1;
        }
        return count;
    }

    // The last pixel of the figure walking from start by (dx, dy) until the clear colour.
    ScreenPixel last_before_clear(ScreenPixel start, int dx, int dy) const {
        ScreenPixel p = start;
        for (;;) {
            const ScreenPixel next = {p.x + dx, p.y + dy};
            if (next.x < 0 || next.y < 0 || next.x >= kTargetWidth || next.y >= kTargetHeight)
                return p;
            if (is_clear(at(next))) return p;
            p = next;
        }
    }

    void save(const char* name) {
        const char* folder = std::getenv("TORVI_PICTURE_DIR");
        if (folder == nullptr) return;
        Screenshot shot;
        EXPECT_TRUE(
            shot.save((std::string(folder) + "/" + name).c_str(), kTargetWidth, kTargetHeight));
    }

    std::unique_ptr<RenderTarget> target_;
    std::vector<uint8_t> image_;
    char old_directory_[PATH_MAX] = {};
};

TEST_F(CharacterDrawTest, OutlineIsDarkerThanTheInside) {
    look_at_body();
    PlayerRecord record = make_record(3, {0, 0, 0}, {0, 0, 0});
    draw_character(device_, *assets_, label_font(), record, pose_of_default());
    grab();
    const ScreenPixel centre = screen(kBodyCentre);
    const Rgb inside = at(centre);
    ASSERT_FALSE(is_clear(inside)) << "nothing drawn at the body's centre";
    const int steps[4][2] = {{1, 0}, {-1, 0}, {0, -1}, {0, 1}};
    for (const auto& step : steps) {
        const Rgb rim = at(last_before_clear(centre, step[0], step[1]));
        EXPECT_LT(brightness(rim), brightness(inside)) << "direction " << step[0] << "," << step[1];
        EXPECT_LT(brightness(rim), 3 * 0x40) << "the rim is not near black";
    }
}

TEST_F(CharacterDrawTest, ElementsDifferAtTheBodyCentreAndBadOnesLookLikeTheZombie) {
    look_at_body();
    const ScreenPixel centre = screen(kBodyCentre);
    Rgb colours[kElementCount + 1];
    const int32_t elements[kElementCount + 1] = {0, 1, 2, 3, 77};
    for (int k = 0; k <= kElementCount; ++k) {
        device_.clear(kClearGrey);
        PlayerRecord record = make_record(elements[k], {0, 0, 0}, {0, 0, 0});
        draw_character(device_, *assets_, label_font(), record, pose_of_default());
        grab();
        colours[k] = at(centre);
    }
    for (int a = 0; a < kElementCount; ++a) {
        for (int b = a + 1; b < kElementCount; ++b) {
            EXPECT_GT(difference(colours[a], colours[b]), 30) << "elements " << a << ", " << b;
        }
    }
    EXPECT_EQ(difference(colours[kElementCount], colours[0]), 0);
}

TEST_F(CharacterDrawTest, CharacterTurnsToItsMotionAndStandsWhereItIs) {
    look_from({0.0f, 5.0f, -5.0f}, {0, 0, 0});
    PlayerRecord record = make_record(1, {1.5f, 0, 0}, {-40.0f, 0, 0});
    draw_character(device_, *assets_, label_font(), record, pose_of_default());
    grab();
    EXPECT_FALSE(is_clear(at(screen({1.5f, 0.81f, 0}))));
    EXPECT_TRUE(is_clear(at(screen({-1.5f, 0.81f, 0}))));
    // Walking toward -x, the model's front (0, 0, -1) is turned to -x.
    const Vec3 front = transform_normal({0, 0, -1}, character_yaw(record));
    EXPECT_NEAR(front.x, -1.0f, 1e-6f);
    EXPECT_NEAR(front.z, 0.0f, 1e-6f);
}

TEST_F(CharacterDrawTest, StatusLabelIsWhiteTextAtTheFeet) {
    Font* font = label_font();
    if (font == nullptr || !font->ready()) GTEST_SKIP() << "no console font on this machine";
    look_from({0.0f, 5.0f, 5.0f}, {0, 0, 0});
    PlayerRecord record = make_record(2, {0, 0, 0}, {0, 0, 0});
    draw_character(device_, *assets_, label_font(), record, pose_of_default());
    grab();
    const ScreenPixel at_feet = status_label_position(record, device_.projection(), device_.view(),
                                                      kTargetWidth, kTargetHeight);
    // Right of the small character, where only the text's lines reach.
    int white = 0;
    for (int y = at_feet.y; y < at_feet.y + 4 * font->line_height(); ++y) {
        for (int x = at_feet.x + 40; x < at_feet.x + 120; ++x) {
            const Rgb c = at(x, y);
            white += c.r > 240 && c.g > 240 && c.b > 240 ? 1 : 0;
        }
    }
    EXPECT_GT(white, 20);
}

TEST_F(CharacterDrawTest, HealthRingShowsItsSegmentsOnlyForLivingPlayers) {
    int drawn[3];
    const uint32_t healths[3] = {100, 15, 0};
    for (int k = 0; k < 3; ++k) {
        device_.clear(kClearGrey);
        PlayerRecord record = make_record(0, {0, 0, 0}, {0, 0, 0});
        record.health = healths[k];
        draw_health_ring(*assets_, record);
        grab();
        if (k == 0) save("health_ring.png");
        drawn[k] = changed_pixels();
    }
    EXPECT_GT(drawn[0], 0);
    EXPECT_GT(drawn[1], 0);
    EXPECT_LT(drawn[1], drawn[0]) << "health 15 shows as many segments as 100";
    EXPECT_EQ(drawn[2], 0);

    device_.clear(kClearGrey);
    PlayerRecord overfull = make_record(0, {0, 0, 0}, {0, 0, 0});
    overfull.health = 101;
    draw_health_ring(*assets_, overfull);
    grab();
    EXPECT_EQ(changed_pixels(), 0);
}

TEST_F(CharacterDrawTest, TrailBrightensNearTheRightHandOnlyWhileAttacking) {
    look_from({0.0f, 1.2f, -3.5f}, {0.0f, 0.9f, 0.0f});
    BonePose pose;
    key_pose(pose, action_attack, 1);
    const uint32_t actions[2] = {action_idle, action_attack};
    std::vector<uint8_t> images[2];
    for (int k = 0; k < 2; ++k) {
        device_.clear(kClearGrey);
        PlayerRecord record = make_record(2, {0, 0, 0}, {0, 0, 0});
        record.action = actions[k];
        draw_character(device_, *assets_, label_font(), record, pose);
        grab();
        images[k] = image_;
        if (k == 1) save("character_attack.png");
    }
    // The trail's own geometry, in the world, tells where to look.
    PlayerRecord record = make_record(2, {0, 0, 0}, {0, 0, 0});
    const Matrix world = attack_trail_world_matrix(pose, record);
    int brighter = 0, darker = 0;
    for (const TrailVertex& v : kAttackTrail) {
        if (v.colour == 0) continue;
        const ScreenPixel p = screen(transform_coord({v.x, v.y, v.z}, world));
        if (p.x < 0 || p.y < 0 || p.x >= kTargetWidth || p.y >= kTargetHeight) continue;
        const size_t i = (static_cast<size_t>(p.y) * kTargetWidth + p.x) * 4;
        const int before = images[0][i] + images[0][i + 1] + images[0][i + 2];
        const int after = images[1][i] + images[1][i + 1] + images[1][i + 2];
        brighter += after > before ? 1 : 0;
        darker += after < before ? 1 : 0;
    }
    EXPECT_GT(brighter, 0);
    EXPECT_EQ(darker, 0);
}

TEST_F(CharacterDrawTest, PoseFigureIsBlueAtTheHeadKnob) {
    look_from({0.0f, 1.0f, -2.5f}, {0.0f, 0.8f, 0.0f});
    draw_pose_figure(device_, markers_, pose_of_default());
    grab();
    save("pose_figure.png");
    const Rgb head = at(screen({0.0f, 1.33f, 0.0f}));
    EXPECT_GT(head.b, head.r + 40);
    EXPECT_GT(head.b, head.g + 40);
    // No outlines and nothing beside the figure.
    EXPECT_TRUE(is_clear(at(screen({0.8f, 1.33f, 0.0f}))));
}

TEST_F(CharacterDrawTest, DrawsEveryPlayerInTheGameAndNoOther) {
    look_from({0.0f, 5.0f, -5.0f}, {0, 0, 0});
    PlayerTable table;
    init_player_table(table);
    table.slots[2] = make_record(1, {-1.5f, 0, 0}, {0, 0, 0});
    table.slots[7] = make_record(3, {1.5f, 0, 0}, {0, 0, 0});
    table.slots[7].slot_state = SlotState::Reserved;
    draw_characters(device_, *assets_, label_font(), table);
    grab();
    EXPECT_FALSE(is_clear(at(screen({-1.5f, 0.81f, 0}))));
    EXPECT_TRUE(is_clear(at(screen({1.5f, 0.81f, 0}))));
}

TEST_F(CharacterDrawTest, MissingModelsAreSaidOnceEachAndDrawNothing) {
    ASSERT_EQ(chdir(folder().c_str()), 0);
    testing::internal::CaptureStderr();
    load_character_assets(*assets_, device_);
    load_bone_markers(markers_, device_.textures());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), kCharacterMeshCount + 2) << said;

    look_at_body();
    PlayerRecord record = make_record(1, {0, 0, 0}, {0, 0, 0});
    record.action = action_attack;
    testing::internal::CaptureStderr();
    draw_character(device_, *assets_, label_font(), record, pose_of_default());
    draw_pose_figure(device_, markers_, pose_of_default());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "drawing repeats the complaint";
    grab();
    EXPECT_TRUE(is_clear(at(screen(kBodyCentre))));
    EXPECT_TRUE(is_clear(at(screen({0.0f, 1.33f, 0.0f}))));
}

// Four elements in a row walking toward the play camera (offset (0, 5, 5)), seen from
// there and from closer. TORVI_PICTURE_DIR keeps the pictures for a look.
TEST_F(CharacterDrawTest, FourElementsInARow) {
    const Vec3 views[3][2] = {{{0.0f, 5.0f, 5.0f}, {0, 0, 0}},
                              {{0.0f, 1.6f, 3.2f}, {0.0f, 0.6f, 0.0f}},
                              {{3.6f, 0.8f, 0.6f}, {1.8f, 0.55f, 0.0f}}};
    const char* names[3] = {"characters_play.png", "characters_close.png", "characters_side.png"};
    for (int v = 0; v < 3; ++v) {
        device_.clear(kClearGrey);
        look_from(views[v][0], views[v][1]);
        for (int e = 0; e < kElementCount; ++e) {
            PlayerRecord record = make_record(e, {-1.8f + 1.2f * e, 0, 0}, {0, 0, 40.0f});
            BonePose pose;
            key_pose(pose, action_walk, 1);
            draw_character(device_, *assets_, label_font(), record, pose);
            EXPECT_NEAR(character_yaw(record).m[0][0], -1.0f, 1e-6f) << "not turned toward +z";
        }
        grab();
        save(names[v]);
        for (int e = 0; e < kElementCount; ++e) {
            EXPECT_FALSE(is_clear(at(screen({-1.8f + 1.2f * e, 0.81f, 0}))));
        }
    }
}

}  // namespace
