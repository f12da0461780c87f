#include "render/gl_texture.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/parallel.h"
#include "platform/sdl_image_file.h"
#include "render/texture_config.h"

namespace {

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

bool power_of_two(int size) {
    return size > 0 && (size & (size - 1)) == 0;
}

// llvmpipe builds a mip chain by JIT-compiling a blit shader for each kind of texture it
// meets, a tenth of a second apiece at start-up. For power-of-two sizes the chain from
// halve() is texel for texel what that blit gives, so there it is built here instead.
bool builds_own_mips(int width, int height) {
    if (!power_of_two(width) || !power_of_two(height)) return false;
    if (epoxy_gl_version() < 42 && !epoxy_has_gl_extension("GL_ARB_texture_storage")) return false;
    const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return name != nullptr && std::strstr(name, "llvmpipe") != nullptr;
}

// Levels down to 1 x 1.
int mip_levels(int width, int height) {
    int levels = 1;
    while ((width >> levels) > 0 || (height >> levels) > 0) ++levels;
    return levels;
}

// The mean of each byte pair, rounded up: (a + b + 1) >> 1 in each of the four bytes.
uint32_t byte_means(uint32_t a, uint32_t b) {
    return (a | b) - (((a ^ b) & 0xFEFEFEFEu) >> 1);
}

uint32_t texel_at(const uint8_t* bytes) {
    uint32_t texel;
    std::memcpy(&texel, bytes, sizeof texel);
    return texel;
}

// The next level down: each side above 1 halved, each texel the mean of its two row
// pairs' means, every mean rounded up, as the blit's bilinear filter rounds.
void halve(const uint8_t* texels, int width, int height, size_t row_bytes, int channels,
           uint8_t* out) {
    const int next_width = std::max(1, width / 2);
    const int next_height = std::max(1, height / 2);
    const int dx = width > 1 ? channels : 0;
    const size_t dy = height > 1 ? row_bytes : 0;
    for (int y = 0; y < next_height; ++y) {
        const uint8_t* upper = texels + (height > 1 ? 2 * y : y) * row_bytes;
        const uint8_t* lower = upper + dy;
        if (channels == 4) {
            for (int x = 0; x < next_width; ++x, upper += 2 * dx, lower += 2 * dx, out += 4) {
                const uint32_t top = byte_means(texel_at(upper), texel_at(upper + dx));
                const uint32_t bottom = byte_means(texel_at(lower), texel_at(lower + dx));
                const uint32_t mean = byte_means(top, bottom);
                std::memcpy(out, &mean, sizeof mean);
            }
            continue;
        }
        for (int x = 0; x < next_width; ++x, upper += 2 * dx, lower += 2 * dx, ++out) {
            const int top = (upper[0] + upper[dx] + 1) >> 1;
            const int bottom = (lower[0] + lower[dx] + 1) >> 1;
            *out = static_cast<uint8_t>((top + bottom + 1) >> 1);
        }
    }
}

// Levels 1 and down into the texture's storage, from level 0 of width x height texels
// with row_bytes per row.
void upload_mip_chain(int width, int height, size_t row_bytes, int channels, GLenum format,
                      const uint8_t* texels) {
    std::vector<uint8_t> level, next;
    for (int index = 1; width > 1 || height > 1; ++index) {
        const int next_width = std::max(1, width / 2);
        const int next_height = std::max(1, height / 2);
        next.resize(static_cast<size_t>(next_width) * next_height * channels);
        halve(texels, width, height, row_bytes, channels, next.data());
        glTexSubImage2D(GL_TEXTURE_2D, index, 0, 0, next_width, next_height, format,
                        GL_UNSIGNED_BYTE, next.data());
        level.swap(next);
        texels = level.data();
        width = next_width;
        height = next_height;
        row_bytes = static_cast<size_t>(width) * channels;
    }
}

// Uploads rows top first with the given row length in texels; leaves the texture bound.
// An empty name when the device refused the picture (too large, or out of memory).
GlTexture upload(int width, int height, int row_length, GLenum internal, GLenum format,
                 const uint8_t* texels, TextureWrap wrap, MipChain mips = mip_full) {
    GlTexture name = make_texture_name();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, name.get());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    while (glGetError() != GL_NO_ERROR) {
    }  // only this upload's errors count below
    const bool own_mips = mips == mip_full && builds_own_mips(width, height);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, row_length);
    if (own_mips) {
        // Storage for every level at once: llvmpipe draws slower from a chain it was given
        // level by level.
        glTexStorage2D(GL_TEXTURE_2D, mip_levels(width, height), internal, width, height);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, format, GL_UNSIGNED_BYTE, texels);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, internal, width, height, 0, format, GL_UNSIGNED_BYTE,
                     texels);
    }
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    if (glGetError() != GL_NO_ERROR) return GlTexture();
    if (mips == mip_none) {
        set_sampling(GL_LINEAR, GL_LINEAR, wrap);
        return name;
    }
    if (own_mips) {
        const int channels = format == GL_RED ? 1 : 4;
        upload_mip_chain(width, height, static_cast<size_t>(row_length) * channels, channels,
                         format, texels);
    } else {
        glGenerateMipmap(GL_TEXTURE_2D);
    }
    set_sampling(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, wrap);
    return name;
}

}  // namespace

Texture make_rgba_texture(int width, int height, const uint8_t* rgba, TextureWrap wrap,
                          MipChain mips) {
    return Texture(upload(width, height, width, GL_RGBA8, GL_RGBA, rgba, wrap, mips), width, height,
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

namespace {

// An image file as RGBA32 texels, or the line that says why it is not.
struct DecodedImage {
    SurfacePtr rgba;
    SurfacePtr source;  // the file's own pixels when they were converted
    std::string error;
    std::string path;
};

struct FormatDeleter {
    void operator()(SDL_PixelFormat* format) const { SDL_FreeFormat(format); }
};
// SDL's one description of a pixel format, held for as long as this lives.
using FormatPtr = std::unique_ptr<SDL_PixelFormat, FormatDeleter>;

// The longest side an image may have here: the game's bound, or the device's if lower.
int max_image_side() {
    GLint device_limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &device_limit);
    return device_limit > 0 ? std::min<int>(device_limit, kImageSideLimit) : kImageSideLimit;
}

// Only SDL_image and SDL's surfaces, no GL: any thread can decode. rgba32 is SDL's
// description of RGBA32, held by the caller.
DecodedImage decode_image(const char* path, int max_side, const SDL_PixelFormat* rgba32) {
    DecodedImage decoded;
    decoded.path = path;
    std::string why;
    SurfacePtr image = load_image_file(path, max_side, why);
    if (!image) {
        decoded.error = std::string("torvi: cannot load image \"") + path + "\": " + why + "\n";
        return decoded;
    }
    // RGBA32 is the byte order R, G, B, A in memory, whatever the machine's endianness. An
    // image decoded in it points at the one description and, with no colour key to turn
    // into alpha, is used as it is; any other is converted, and its own pixels are freed
    // with the rest after the loader threads are joined.
    if (image->format == rgba32 && !SDL_HasColorKey(image.get())) {
        decoded.rgba = std::move(image);
    } else {
        decoded.rgba.reset(SDL_ConvertSurfaceFormat(image.get(), SDL_PIXELFORMAT_RGBA32, 0));
        decoded.source = std::move(image);
    }
    if (!decoded.rgba || SDL_LockSurface(decoded.rgba.get()) != 0) {
        decoded.rgba.reset();
        decoded.error =
            std::string("torvi: cannot convert image \"") + path + "\": " + SDL_GetError() + "\n";
    }
    return decoded;
}

Texture upload_image(const DecodedImage& decoded) {
    if (!decoded.rgba) {
        std::fputs(decoded.error.c_str(), stderr);
        return make_fallback_texture();
    }
    SDL_Surface* rgba = decoded.rgba.get();
    const auto* texels = static_cast<const uint8_t*>(rgba->pixels);
    GlTexture name =
        upload(rgba->w, rgba->h, rgba->pitch / 4, GL_RGBA8, GL_RGBA, texels, wrap_repeat);
    SDL_UnlockSurface(rgba);
    if (!name) {
        std::fprintf(stderr, "torvi: the graphics device refused image \"%s\" (%d x %d)\n",
                     decoded.path.c_str(), rgba->w, rgba->h);
        return make_fallback_texture();
    }
    return Texture(std::move(name), rgba->w, rgba->h, false);
}

void add_texture(TextureRegistry& registry, const char* name, Texture texture) {
    TextureEntry& entry = registry.entries.emplace_front();
    std::snprintf(entry.name, sizeof entry.name, "%s", name);
    entry.texture = std::move(texture);
}

}  // namespace

Texture load_texture(const char* path) {
    const FormatPtr rgba32(SDL_AllocFormat(SDL_PIXELFORMAT_RGBA32));
    return upload_image(decode_image(path, max_image_side(), rgba32.get()));
}

void bind_texture(int stage, const Texture* texture) {
    glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + stage));
    glBindTexture(GL_TEXTURE_2D, texture != nullptr ? texture->name() : 0);
}

void read_texture_config(TextureRegistry& registry, const char* path) {
    // Decoded on every core, uploaded in file order on this thread, which holds the context.
    // SDL_image sets its decoders up on first use: that happens here, not on two threads.
    IMG_Init(IMG_INIT_PNG | IMG_INIT_JPG);
    const std::vector<TextureConfigEntry> entries = read_texture_config_entries(path);
    std::vector<DecodedImage> images(entries.size());
    const int max_side = max_image_side();
    // Made here, so the loader threads only ever find it (see for_each_in_parallel).
    const FormatPtr rgba32(SDL_AllocFormat(SDL_PIXELFORMAT_RGBA32));
    for_each_in_parallel(static_cast<int>(entries.size()), [&](int i) {
        images[i] = decode_image(entries[i].path.c_str(), max_side, rgba32.get());
    });
    for (size_t i = 0; i < entries.size(); ++i) {
        add_texture(registry, entries[i].name.c_str(), upload_image(images[i]));
    }
}

void add_texture(TextureRegistry& registry, const char* name, const char* path) {
    add_texture(registry, name, load_texture(path));
}

const Texture* find_texture(const TextureRegistry& registry, const char* name) {
    if (name == nullptr) return nullptr;
    for (const TextureEntry& entry : registry.entries) {
        if (std::strcmp(entry.name, name) == 0) return &entry.texture;
    }
    return nullptr;
}
