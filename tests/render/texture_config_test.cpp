#include "render/texture_config.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextureConfig, ReadsSectionsOneToTexturecountInOrder) {
    const auto entries = parse_texture_config(
        "[main]\ntexturecount=3\n"
        "[texture01]\nID=wrong\n"  // no leading zeros
        "[texture1]\nID=white\ntexturename=Data/textures/white.png\n"
        "[texture2]\nID=zombie_head\ntexturename=Data/textures/zombie_head.png\n"
        "[texture3]\nID=white\ntexturename=Data/textures/white2.png\n"
        "[texture4]\nID=ring\ntexturename=Data/textures/ring.png\n");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "white");
    EXPECT_EQ(entries[0].path, "Data/textures/white.png");
    EXPECT_EQ(entries[1].name, "zombie_head");
    EXPECT_EQ(entries[2].name, "white");
    EXPECT_EQ(entries[2].path, "Data/textures/white2.png");
}

TEST(TextureConfig, MissingOrBadCountsReadNothingAndHugeOnesAreCapped) {
    EXPECT_TRUE(parse_texture_config("").empty());
    EXPECT_TRUE(parse_texture_config("[texture1]\nID=a\ntexturename=b\n").empty());
    EXPECT_TRUE(parse_texture_config("[main]\ntexturecount=-2\n").empty());
    EXPECT_TRUE(read_texture_config_entries("/nonexistent/torvi/textures.cfg").empty());
    EXPECT_EQ(parse_texture_config("[main]\ntexturecount=2000000000\n").size(),
              static_cast<size_t>(kTextureCountLimit));
}

TEST(TextureConfig, MissingValuesReadAsErrorAndLongOnesAreCut) {
    auto entries = parse_texture_config("[main]\ntexturecount=2\n[texture1]\ntexturename=a.png\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "error");
    EXPECT_EQ(entries[0].path, "a.png");
    EXPECT_EQ(entries[1].name, "error");
    EXPECT_EQ(entries[1].path, "error");

    entries =
        parse_texture_config("[main]\ntexturecount=1\n[texture1]\nID=" + std::string(100, 'a') +
                             "\ntexturename=" + std::string(300, 'p') + "\n");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, std::string(kTextureIdMaxLength, 'a'));
    EXPECT_EQ(entries[0].path, std::string(kTexturePathMaxLength, 'p'));
}

}  // namespace
