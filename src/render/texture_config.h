// The texture configuration file: texture names mapped to image files.
//
// "[main]" texturecount=N, then sections "texture1" .. "textureN", each with ID (the
// name) and texturename (the image path). Plain text work; loading is the renderer's.
#pragma once

#include <string>
#include <vector>

inline constexpr char kTextureSectionMain[] = "main";
inline constexpr char kKeyTexturecount[] = "texturecount";
inline constexpr char kTextureSectionPrefix[] = "texture";
inline constexpr char kKeyTextureId[] = "ID";
inline constexpr char kKeyTexturename[] = "texturename";

inline constexpr size_t kTextureIdMaxLength = 79;
inline constexpr size_t kTexturePathMaxLength = 255;
// Far beyond any real configuration; a bigger count is damage, not a texture list.
inline constexpr int kTextureCountLimit = 4096;

struct TextureConfigEntry {
    std::string name;
    std::string path;
};

// The entries of sections texture1 .. texturecount in that order. A missing ID or
// texturename reads as "error"; sections past texturecount are not read.
std::vector<TextureConfigEntry> parse_texture_config(const std::string& text);

// parse_texture_config of the file at path; nothing when the file cannot be read.
std::vector<TextureConfigEntry> read_texture_config_entries(const char* path);
