// The toon shading resources of the renderer: the shading ramp and the two programs.
#include <cstdio>
#include <string>

#include "config/settings.h"
#include "render/gl_renderer.h"
#include "render/gl_shader.h"

namespace {

// Columns below the middle get the shadow band, the rest full light.
constexpr int kShadowColumns = 128;
constexpr uint8_t kShadowLevel = 128;
constexpr uint8_t kLightLevel = 255;

std::string setting_path(const Settings& settings, const char* key) {
    char path[kShaderNameBufferSize];
    read_setting_string(settings, kSectionShaders, key, path, sizeof path);
    return path;
}

}  // namespace

void Renderer::build_shade_ramp() {
    uint8_t texels[kShadeRampWidth * kShadeRampHeight];
    for (int row = 0; row < kShadeRampHeight; ++row) {
        for (int column = 0; column < kShadeRampWidth; ++column) {
            texels[row * kShadeRampWidth + column] =
                column < kShadowColumns ? kShadowLevel : kLightLevel;
        }
    }
    // Clamped, so a fully lit normal (u = 1) does not wrap into the shadow band.
    shade_ramp_ = make_luminance_texture(kShadeRampWidth, kShadeRampHeight, texels, wrap_clamp);
    // Stage 0 filters linearly without mip blending.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}

bool Renderer::init_toon_vertex_shader(const Settings& settings) {
    return load_toon_vertex_shader(setting_path(settings, kKeyToonSurfaceShader).c_str());
}

bool Renderer::init_toon_pixel_shader(const Settings& settings) {
    return load_toon_pixel_shader(setting_path(settings, kKeyToonPixelShader).c_str());
}

bool Renderer::load_toon_vertex_shader(const char* path) {
    if (!shade_ramp_.name()) build_shade_ramp();
    toon_program_.reset();
    std::string text;
    if (!read_shader_file(path, &text)) return false;
    toon_vertex_ = compile_shader(GL_VERTEX_SHADER, shader_source_for(text, remap_depth()), path);
    return static_cast<bool>(toon_vertex_);
}

bool Renderer::load_toon_pixel_shader(const char* path) {
    toon_program_.reset();
    std::string text;
    if (!read_shader_file(path, &text)) return false;
    const GlShader pixel =
        compile_shader(GL_FRAGMENT_SHADER, shader_source_for(text, remap_depth()), path);
    if (!toon_vertex_) {
        if (pixel)
            std::fprintf(stderr, "torvi: no toon vertex program to link \"%s\" with\n", path);
        return false;
    }
    toon_program_ = link_program(toon_vertex_.get(), pixel.get(), path);
    if (!toon_program_) return false;
    glUseProgram(toon_program_.get());
    toon_constants_ = glGetUniformLocation(toon_program_.get(), "c");
    glUniform1i(glGetUniformLocation(toon_program_.get(), "shade_ramp"), kRampStage);
    glUniform1i(glGetUniformLocation(toon_program_.get(), "skin"), kSkinStage);
    return true;
}
