// Textures from image files, and the registry that names them.
//
// Images are uploaded top row first, so a texture coordinate v = 0 samples the image's
// top row, as the game's data expects. An image that cannot be loaded becomes the
// fallback texture: a 2 x 2 magenta and black check, drawn without filtering.
#pragma once

#include <cstdint>
#include <forward_list>

#include "render/gl_handles.h"

class Texture {
  public:
    Texture() = default;
    Texture(GlTexture name, int width, int height, bool fallback)
        : name_(std::move(name)), width_(width), height_(height), fallback_(fallback) {}

    GLuint name() const { return name_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    // True when the image could not be loaded and this is the magenta check.
    bool fallback() const { return fallback_; }

  private:
    GlTexture name_;
    int width_ = 0;
    int height_ = 0;
    bool fallback_ = false;
};

enum TextureWrap { wrap_repeat, wrap_clamp };
// mip_none: one level, filtered linearly; for pictures only ever drawn texel for pixel.
enum MipChain { mip_full, mip_none };

// width x height RGBA8 texels, top row first, with a full mip chain and trilinear filtering.
Texture make_rgba_texture(int width, int height, const uint8_t* rgba, TextureWrap wrap,
                          MipChain mips = mip_full);
// width x height single-channel texels (read back as luminance in .r), with a mip chain.
Texture make_luminance_texture(int width, int height, const uint8_t* texels, TextureWrap wrap);
Texture make_fallback_texture();
Texture make_white_texture();

// Loads a BMP, PNG, JPEG (anything SDL_image reads); the fallback texture, with one line
// on stderr, when it cannot.
Texture load_texture(const char* path);

// Binds texture to stage (texture unit); null unbinds.
void bind_texture(int stage, const Texture* texture);

// --- the texture registry ---------------------------------------------------------

inline constexpr int kTextureNameSize = 80;  // with its terminating zero

struct TextureEntry {
    char name[kTextureNameSize];
    Texture texture;
};

// Newest first; entries never move, so references to their textures stay valid.
struct TextureRegistry {
    std::forward_list<TextureEntry> entries;
};

// Registers every texture the configuration file lists, in file order. A missing file
// registers nothing.
void read_texture_config(TextureRegistry& registry, const char* path);
// Loads the image and puts it at the head of the registry under name (cut to 79 bytes).
void add_texture(TextureRegistry& registry, const char* name, const char* path);
// The newest texture registered under exactly name; null when none, or name is null.
const Texture* find_texture(const TextureRegistry& registry, const char* name);
