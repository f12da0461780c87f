// The console drawn for real.
#include "console/gl_console.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "../render/gl_test_context.h"
#include "console/console.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kRed = 0xFFFF0000;
constexpr int kLineHeight = 14;

class ConsoleDrawTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        inside_.emplace(folder());
        ASSERT_TRUE(inside_->ok());
        write_file("config.cfg", "[console]\nposx=0\nposy=0\nsize=14\nfont=Tahoma\ntextlines=2\n");
        console_device_init(console_, fonts_, device_);
    }
    void TearDown() override {
        inside_.reset();
        GlTest::TearDown();
    }

    // Red pixels (red above 8, green and blue none) in rows first..last.
    struct Reds {
        int count, leftmost, brightest;
    };
    Reds reds_in_rows(int first, int last) {
        const std::vector<uint8_t> image = pixels();
        Reds reds{0, kWidth, 0};
        for (int y = first; y <= last; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const uint32_t c = rgba_at(image, x, y);
                const int r = c >> 24, g = (c >> 16) & 0xFF, b = (c >> 8) & 0xFF;
                if (r <= 8 || g > 8 || b > 8) continue;
                ++reds.count;
                reds.leftmost = std::min(reds.leftmost, x);
                reds.brightest = std::max(reds.brightest, r);
            }
        }
        return reds;
    }
    void draw() {
        device_.clear(0xFF000000);
        console_draw(console_, ready_font(fonts_.console));
    }

    std::optional<WorkingFolder> inside_;
    Console console_;
    Fonts fonts_;
};

TEST_F(ConsoleDrawTest, FontsComeFromTheSettings) {
    ASSERT_NE(ready_font(fonts_.console), nullptr);
    ASSERT_NE(ready_font(fonts_.gui), nullptr);
    EXPECT_EQ(console_line_count(console_), 2);
    EXPECT_GE(ready_font(fonts_.console)->line_height(), kLineHeight);
}

TEST_F(ConsoleDrawTest, TheNewestLineIsDrawnInItsColourOnTheBottomLine) {
    draw();
    EXPECT_EQ(reds_in_rows(0, kHeight - 1).count, 0);  // empty lines draw nothing

    console_print(console_, kRed, "MMMM");
    draw();
    // Line 1 starts at y = 0 + 1 * (14 + 4) and x = 0 + 4; line 0 is still empty.
    const Reds top = reds_in_rows(0, kLineHeight + 3);
    const Reds bottom = reds_in_rows(kLineHeight + 4, kHeight - 1);
    EXPECT_EQ(top.count, 0);
    EXPECT_GT(bottom.count, 30);
    EXPECT_GE(bottom.leftmost, 4);
    EXPECT_LT(bottom.leftmost, 8);
    EXPECT_GE(bottom.brightest, 250);

    console_print(console_, kRed, "MMMM");  // pushes the first one up to line 0
    draw();
    EXPECT_GT(reds_in_rows(0, kLineHeight + 3).count, 30);
}

TEST_F(ConsoleDrawTest, LinesFadeOutAndVanish) {
    console_print(console_, kRed, "MMMM");
    for (int tick = 0; tick < 200; ++tick) console_fade(console_);
    draw();
    const Reds faded = reds_in_rows(0, kHeight - 1);
    EXPECT_GT(faded.count, 0);
    EXPECT_LE(faded.brightest, 256 - 200);  // alpha 55 over black
    for (int tick = 0; tick < 56; ++tick) console_fade(console_);
    draw();
    EXPECT_EQ(reds_in_rows(0, kHeight - 1).count, 0);
}

TEST_F(ConsoleDrawTest, NoConsoleSectionDrawsNothingAndSaysSo) {
    write_file("config.cfg", "[shell]\n");
    testing::internal::CaptureStderr();
    console_device_init(console_, fonts_, device_);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("error"), std::string::npos);
    EXPECT_EQ(ready_font(fonts_.console), nullptr);
    EXPECT_NE(ready_font(fonts_.gui), nullptr);
    console_print(console_, kRed, "MMMM");
    draw();
    EXPECT_EQ(reds_in_rows(0, kHeight - 1).count, 0);
}

}  // namespace
