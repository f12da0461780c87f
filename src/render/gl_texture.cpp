#include "render/gl_texture.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "render/texture_config.h"

namespace {

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

constexpr uint8_t kFallbackTexels[] = {255, 0, 255, 255, 0,   0, 0,   255,
                                       0,   0, 0,   255, 255, 0, 255, 255};
constexpr uint8_t kWhiteTexel[] = {255, 255, 255, 255};

GLint wrap_mode(TextureWrap wrap) {
    return wrap == wrap_repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
}

void set_sampling(GLint min_filter, GLint mag_filter, TextureWrap wrap) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, min_filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, mag_filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap_mode(wrap));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap_mode(wrap));
}

// Uploads rows top first with the given row length in texels; leaves the texture bound.
GlTexture upload(int width, int height, int row_length, GLenum internal, GLenum format,
                 const uint8_t* texels, TextureWrap wrap) {
    GlTexture name = make_texture_name();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, name.get());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, row_length);
    glTexImage2D(GL_TEXTURE_2D, 0, internal, width, height, 0, format, GL_UNSIGNED_BYTE, texels);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glGenerateMipmap(GL_TEXTURE_2D);
    set_sampling(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, wrap);
    return name;
}

}  // namespace

Texture make_rgba_texture(int width, int height, const uint8_t* rgba, TextureWrap wrap) {
    return Texture(upload(width, height, width, GL_RGBA8, GL_RGBA, rgba, wrap), width, height,
                   false);
}

Texture make_luminance_texture(int width, int height, const uint8_t* texels, TextureWrap wrap) {
    GlTexture name = upload(width, height, width, GL_R8, GL_RED, texels, wrap);
    // Like Direct3D's L8: the one channel reads as grey, alpha as 1.
    const GLint grey[] = {GL_RED, GL_RED, GL_RED, GL_ONE};
    glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, grey);
    return Texture(std::move(name), width, height, false);
}

Texture make_fallback_texture() {
    GlTexture name = upload(2, 2, 2, GL_RGBA8, GL_RGBA, kFallbackTexels, wrap_repeat);
    set_sampling(GL_NEAREST, GL_NEAREST, wrap_repeat);
    return Texture(std::move(name), 2, 2, true);
}

Texture make_white_texture() {
    return make_rgba_texture(1, 1, kWhiteTexel, wrap_repeat);
}

Texture load_texture(const char* path) {
    SurfacePtr image(IMG_Load(path));
    if (!image) {
        std::fprintf(stderr, "torvi: cannot load image \"%s\": %s\n", path, IMG_GetError());
        return make_fallback_texture();
    }
    // RGBA32 is the byte order R, G, B, A in memory, whatever the machine's endianness.
    SurfacePtr rgba(SDL_ConvertSurfaceFormat(image.get(), SDL_PIXELFORMAT_RGBA32, 0));
    if (!rgba || SDL_LockSurface(rgba.get()) != 0) {
        std::fprintf(stderr, "torvi: cannot convert image \"%s\": %s\n", path, SDL_GetError());
        return make_fallback_texture();
    }
    const auto* texels = static_cast<const uint8_t*>(rgba->pixels);
    GlTexture name =
        upload(rgba->w, rgba->h, rgba->pitch / 4, GL_RGBA8, GL_RGBA, texels, wrap_repeat);
    SDL_UnlockSurface(rgba.get());
    return Texture(std::move(name), rgba->w, rgba->h, false);
}

void bind_texture(int stage, const Texture* texture) {
    glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + stage));
    glBindTexture(GL_TEXTURE_2D, texture != nullptr ? texture->name() : 0);
}

void read_texture_config(TextureRegistry& registry, const char* path) {
    for (const TextureConfigEntry& entry : read_texture_config_entries(path)) {
        add_texture(registry, entry.name.c_str(), entry.path.c_str());
    }
}

void add_texture(TextureRegistry& registry, const char* name, const char* path) {
    TextureEntry& entry = registry.entries.emplace_front();
    std::snprintf(entry.name, sizeof entry.name, "%s", name);
    entry.texture = load_texture(path);
}

const Texture* find_texture(const TextureRegistry& registry, const char* name) {
    if (name == nullptr) return nullptr;
    for (const TextureEntry& entry : registry.entries) {
        if (std::strcmp(entry.name, name) == 0) return &entry.texture;
    }
    return nullptr;
}
