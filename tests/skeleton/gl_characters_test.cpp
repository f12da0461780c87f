#include "skeleton/gl_characters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "../render/gl_test_context.h"
#include "render/gl_font.h"
#include "render/gl_texture.h"
#include "skeleton/character_layout.h"
#include "skeleton/key_pose.h"
#include "world/player_action.h"

namespace {

constexpr int kTargetWidth = 320;
constexpr int kTargetHeight = 240;
constexpr uint32_t kClearGrey = 0xFF808080;
constexpr Vec3 kBodyCentre = {0.0f, 0.81f, 0.0f};

// A colour and depth target bigger than the test window, so the health ring (which hangs
// around screen point (116, 150)) and a row of characters fit.
struct RenderTarget {
    RenderTarget() {
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glGenRenderbuffers(2, buffers);
        const GLenum formats[2] = {GL_RGBA8, GL_DEPTH24_STENCIL8};
        const GLenum attachments[2] = {GL_COLOR_ATTACHMENT0, GL_DEPTH_STENCIL_ATTACHMENT};
        for (int k = 0; k < 2; ++k) {
            glBindRenderbuffer(GL_RENDERBUFFER, buffers[k]);
            glRenderbufferStorage(GL_RENDERBUFFER, formats[k], kTargetWidth, kTargetHeight);
            glFramebufferRenderbuffer(GL_FRAMEBUFFER, attachments[k], GL_RENDERBUFFER, buffers[k]);
        }
    }
    ~RenderTarget() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteRenderbuffers(2, buffers);
        glDeleteFramebuffers(1, &framebuffer);
    }
    GLuint framebuffer = 0, buffers[2] = {};
};

struct Rgb {
    int r, g, b;
    int brightness() const { return r + g + b; }
    bool clear() const { return r == 0x80 && g == 0x80 && b == 0x80; }
};

PlayerRecord make_record(int32_t element, Vec3 position) {
    PlayerRecord record = {};
    std::strcpy(record.name, "test");
    record.position = position;
    record.health = 100;
    record.element = element;
    record.action = action_idle;
    record.slot_state = slot_in_game;
    return record;
}

class CharacterDrawTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        work_in(TORVI_SOURCE_DIR);
        ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GL_FRAMEBUFFER_COMPLETE);
        ASSERT_TRUE(device_.init(kTargetWidth, kTargetHeight));
        load_toon_shaders();
        read_texture_config(device_.textures(), "Data/textures.cfg");
        load_character_assets(*assets_, device_);
        load_bone_markers(markers_, device_.textures());
        fonts_.console.create(device_, "Tahoma", 14, true);  // the shipped console font
        device_.clear(kClearGrey);
        default_pose(figure_);
    }

    Font* label_font() { return ready_font(fonts_.console); }

    std::unique_ptr<CharacterAssets> assets_ = std::make_unique<CharacterAssets>();
    StatusLabelMode labels_ = label_full;
    BoneMarkerAssets markers_;
    Fonts fonts_;
    BonePose figure_;  // the default pose

    void look_from(Vec3 eye, Vec3 target) {
        device_.set_view(look_at_lh(eye, target, {0.0f, 1.0f, 0.0f}));
    }
    // Straight in front of a character that faces -Z, at the height of its body.
    void look_at_body() { look_from({0.0f, 0.81f, -2.5f}, kBodyCentre); }
    void draw(PlayerRecord record) { draw(record, figure_); }
    void draw(PlayerRecord record, const BonePose& pose) {
        draw_character(device_, *assets_, label_font(), labels_, record, pose);
        read_back();
    }
    void read_back() { image_ = read_back_buffer(kTargetWidth, kTargetHeight); }

    ScreenPixel screen(Vec3 p) const {
        const Vec3 s = screen_of(device_, p);
        return {static_cast<int>(s.x), static_cast<int>(s.y)};
    }
    Rgb at(int x, int y) const {
        const uint8_t* p = &image_[(static_cast<size_t>(y) * kTargetWidth + x) * 4];
        return {p[0], p[1], p[2]};
    }
    Rgb at(ScreenPixel p) const { return at(p.x, p.y); }
    Rgb at(Vec3 world) const { return at(screen(world)); }

    int changed_pixels() const {
        int count = 0;
        for (int y = 0; y < kTargetHeight; ++y) {
            for (int x = 0; x < kTargetWidth; ++x) count += at(x, y).clear() ? 0 : 1;
        }
        return count;
    }

    // The last pixel of the figure walking from start by (dx, dy) until the clear colour.
    ScreenPixel last_before_clear(ScreenPixel p, int dx, int dy) const {
        for (;;) {
            const ScreenPixel next = {p.x + dx, p.y + dy};
            if (next.x < 0 || next.y < 0 || next.x >= kTargetWidth || next.y >= kTargetHeight ||
                at(next).clear()) {
                return p;
            }
            p = next;
        }
    }

    RenderTarget target_;
    std::vector<uint8_t> image_;
};

// Each element has its own colours; the outline round the body is darker than its inside.
TEST_F(CharacterDrawTest, ElementsDifferBadOnesLookLikeTheZombieAndTheOutlineIsDark) {
    look_at_body();
    const ScreenPixel centre = screen(kBodyCentre);
    Rgb colours[kElementCount + 1];
    const int32_t elements[kElementCount + 1] = {0, 1, 2, 3, 77};
    for (int k = 0; k <= kElementCount; ++k) {
        device_.clear(kClearGrey);
        draw(make_record(elements[k], {0, 0, 0}));
        colours[k] = at(centre);
        ASSERT_FALSE(colours[k].clear()) << "nothing drawn at the body's centre";
        for (const auto& step : {std::pair{1, 0}, {-1, 0}, {0, -1}, {0, 1}}) {
            const Rgb rim = at(last_before_clear(centre, step.first, step.second));
            EXPECT_LT(rim.brightness(), colours[k].brightness()) << k << ": " << step.first;
            EXPECT_LT(rim.brightness(), 3 * 0x40) << "the rim is not near black";
        }
    }
    auto difference = [](Rgb a, Rgb b) {
        return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
    };
    for (int a = 0; a < kElementCount; ++a) {
        for (int b = a + 1; b < kElementCount; ++b) {
            EXPECT_GT(difference(colours[a], colours[b]), 30) << "elements " << a << ", " << b;
        }
    }
    EXPECT_EQ(difference(colours[kElementCount], colours[0]), 0);
}

// The full label is lines of white text from the feet down; the name alone is one line.
TEST_F(CharacterDrawTest, StatusLabelIsWhiteTextAtTheFeetAndOneLineInNameMode) {
    Font* font = label_font();
    if (font == nullptr || !font->ready()) GTEST_SKIP() << "no console font on this machine";
    look_from({0.0f, 5.0f, 5.0f}, {0, 0, 0});
    PlayerRecord record = make_record(2, {0, 0, 0});
    std::strcpy(record.name, "a name of some length");
    const ScreenPixel at_feet = status_label_position(record, device_.projection(), device_.view(),
                                                      kTargetWidth, kTargetHeight);
    // Right of the small character, where only the text's lines reach.
    int white = 0, lit_rows = 0;
    auto look = [&](StatusLabelMode mode) {
        labels_ = mode;
        device_.clear(kClearGrey);
        draw(record);
        white = lit_rows = 0;
        for (int y = at_feet.y; y < at_feet.y + 7 * font->line_height(); ++y) {
            int in_row = 0;
            for (int x = at_feet.x + 40; x < at_feet.x + 160; ++x) {
                const Rgb c = at(x, y);
                in_row += c.r > 240 && c.g > 240 && c.b > 240 ? 1 : 0;
            }
            white += in_row;
            lit_rows += in_row > 0 ? 1 : 0;
        }
    };
    look(label_full);
    EXPECT_GT(white, 20);
    EXPECT_GT(lit_rows, 3 * font->line_height());
    look(label_name);
    EXPECT_GT(white, 20);
    EXPECT_LE(lit_rows, font->line_height());
}

TEST_F(CharacterDrawTest, HealthRingShowsItsSegmentsOnlyForLivingPlayers) {
    auto ring_pixels = [&](uint32_t health) {
        device_.clear(kClearGrey);
        PlayerRecord record = make_record(0, {0, 0, 0});
        record.health = health;
        draw_health_ring(*assets_, record);
        read_back();
        return changed_pixels();
    };
    const int low = ring_pixels(15);
    EXPECT_GT(low, 0);
    EXPECT_LT(low, ring_pixels(100)) << "health 15 shows as many segments as 100";
    EXPECT_EQ(ring_pixels(0), 0);
    EXPECT_EQ(ring_pixels(101), 0);
}

TEST_F(CharacterDrawTest, TrailBrightensNearTheRightHandOnlyWhileAttacking) {
    look_from({0.0f, 1.2f, -3.5f}, {0.0f, 0.9f, 0.0f});
    KeyPoses keys;
    load_key_poses(keys);  // the shipped ones
    BonePose pose;
    key_pose(keys, pose, action_attack, 1);
    PlayerRecord record = make_record(2, {0, 0, 0});
    draw(record, pose);
    const std::vector<uint8_t> idle = image_;
    device_.clear(kClearGrey);
    record.action = action_attack;
    draw(record, pose);
    // The trail's own geometry, in the world, tells where to look.
    const Matrix world = attack_trail_world_matrix(pose, record);
    int brighter = 0, darker = 0;
    for (const TrailVertex& v : kAttackTrail) {
        if (v.colour == 0) continue;
        const ScreenPixel p = screen(transform_coord({v.x, v.y, v.z}, world));
        if (p.x < 0 || p.y < 0 || p.x >= kTargetWidth || p.y >= kTargetHeight) continue;
        const size_t i = (static_cast<size_t>(p.y) * kTargetWidth + p.x) * 4;
        const int before = idle[i] + idle[i + 1] + idle[i + 2];
        const int after = image_[i] + image_[i + 1] + image_[i + 2];
        brighter += after > before ? 1 : 0;
        darker += after < before ? 1 : 0;
    }
    EXPECT_GT(brighter, 0);
    EXPECT_EQ(darker, 0);
}

TEST_F(CharacterDrawTest, PoseFigureIsBlueAtTheHeadKnob) {
    look_from({0.0f, 1.0f, -2.5f}, {0.0f, 0.8f, 0.0f});
    draw_pose_figure(device_, markers_, figure_);
    read_back();
    const Rgb head = at(Vec3{0.0f, 1.33f, 0.0f});
    EXPECT_GT(head.b, head.r + 40);
    EXPECT_GT(head.b, head.g + 40);
    // No outlines and nothing beside the figure.
    EXPECT_TRUE(at(Vec3{0.8f, 1.33f, 0.0f}).clear());
}

TEST_F(CharacterDrawTest, DrawsEveryPlayerInTheGameWhereItStandsAndNoOther) {
    look_from({0.0f, 5.0f, -5.0f}, {0, 0, 0});
    PlayerTable table;
    init_player_table(table);
    table.slots[2] = make_record(1, {-1.5f, 0, 0});
    table.slots[7] = make_record(3, {1.5f, 0, 0});
    table.slots[7].slot_state = slot_reserved;
    draw_characters(device_, *assets_, KeyPoses(), label_font(), label_full, table);
    read_back();
    EXPECT_FALSE(at(Vec3{-1.5f, 0.81f, 0}).clear());
    EXPECT_TRUE(at(Vec3{1.5f, 0.81f, 0}).clear());
}

// A knocked-out player lies on the ground: lower and longer than tall, where it stood.
TEST_F(CharacterDrawTest, AKnockedOutPlayerLiesOnTheGround) {
    look_from({5.0f, 1.0f, 0.0f}, {0, 0.5f, 0});  // from the side, near the ground
    auto extent = [&](uint32_t down_ticks) {
        device_.clear(kClearGrey);
        PlayerRecord record = make_record(1, {0, 0, 0});
        record.down_ticks = down_ticks;
        draw_character(device_, *assets_, nullptr, labels_, record, figure_);  // no label
        read_back();
        int top = kTargetHeight, bottom = -1, left = kTargetWidth, right = -1;
        for (int y = 0; y < kTargetHeight; ++y) {
            for (int x = 0; x < kTargetWidth; ++x) {
                if (at(x, y).clear()) continue;
                top = std::min(top, y), bottom = std::max(bottom, y);
                left = std::min(left, x), right = std::max(right, x);
            }
        }
        return std::pair{bottom - top, right - left};
    };
    const auto [standing_height, standing_width] = extent(0);
    const auto [lying_height, lying_width] = extent(100);
    EXPECT_GT(standing_height, standing_width);
    EXPECT_LT(lying_height, standing_height / 2);
    EXPECT_GT(lying_width, lying_height);
}

TEST_F(CharacterDrawTest, MissingModelsAreSaidOnceEachAndDrawNothing) {
    work_in(folder());
    testing::internal::CaptureStderr();
    load_character_assets(*assets_, device_);
    load_bone_markers(markers_, device_.textures());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), kCharacterMeshCount + 2) << said;

    look_at_body();
    PlayerRecord record = make_record(1, {0, 0, 0});
    record.action = action_attack;
    testing::internal::CaptureStderr();
    draw(record);
    draw_pose_figure(device_, markers_, figure_);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "drawing repeats the complaint";
    read_back();
    EXPECT_TRUE(at(kBodyCentre).clear());
    EXPECT_TRUE(at(Vec3{0.0f, 1.33f, 0.0f}).clear());
}

}  // namespace
