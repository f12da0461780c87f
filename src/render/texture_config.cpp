#include "render/texture_config.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "config/ini_text.h"

namespace {

constexpr char kMissingValue[] = "error";

std::string read_value(const std::string& text, const char* section, const char* key,
                       size_t max_length) {
    std::string value;
    if (!ini_find(text, section, key, &value)) return kMissingValue;
    if (value.size() > max_length) value.resize(max_length);
    return value;
}

int texture_count(const std::string& text) {
    std::string value;
    if (!ini_find(text, kTextureSectionMain, kKeyTexturecount, &value)) return 0;
    const int count = ini_int_value(value);
    if (count > kTextureCountLimit) {
        std::fprintf(stderr, "torvi: texturecount %d is too big; reading %d textures\n", count,
                     kTextureCountLimit);
        return kTextureCountLimit;
    }
    return count < 0 ? 0 : count;
}

}  // namespace

std::vector<TextureConfigEntry> parse_texture_config(const std::string& text) {
    std::vector<TextureConfigEntry> entries;
    const int count = texture_count(text);
    for (int i = 1; i <= count; ++i) {
        const std::string section = kTextureSectionPrefix + std::to_string(i);
        entries.push_back(
            {read_value(text, section.c_str(), kKeyTextureId, kTextureIdMaxLength),
             read_value(text, section.c_str(), kKeyTexturename, kTexturePathMaxLength)});
    }
    return entries;
}

std::vector<TextureConfigEntry> read_texture_config_entries(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "torvi: cannot read texture configuration \"%s\"\n", path);
        return {};
    }
    std::ostringstream all;
    all << in.rdbuf();
    return parse_texture_config(all.str());
}
