// The graphics device: lasting states, transforms, shader constants and the toon shading.
//
// Works on the GL context current when init() is called and keeps Direct3D's
// conventions: row-vector matrices (p' = p * M), depth 0..1 after projection, the world,
// view and projection transforms held here, and the toon shader's constant registers
// c0..c10 mirrored in "uniform vec4 c[11]".
#pragma once

#include <cstdint>

#include "config/settings.h"
#include "math/math3d.h"
#include "render/gl_handles.h"
#include "render/gl_texture.h"

inline constexpr int kConstantRegisters = 11;
inline constexpr int kShadeRampWidth = 256;
inline constexpr int kShadeRampHeight = 8;
// Texture stages of the toon program: the shading ramp, then the skin.
inline constexpr int kRampStage = 0;
inline constexpr int kSkinStage = 1;

// Direct3D's position + diffuse vertex (format 0x42): 16 bytes, colour ARGB.
struct ColouredVertex {
    float x, y, z;
    uint32_t colour;
};

enum Blend { blend_none, blend_additive };

// True when the GL_RENDERER string names a software rasteriser (llvmpipe, softpipe, swrast).
bool is_software_renderer(const char* renderer_string);

class Renderer {
  public:
    // Sets the lasting states for a back buffer of width x height on the current context
    // and builds the built-in programs. allow_clip_control false forces the shader remap
    // of depth (for testing that path). False when the context is unusable.
    bool init(int width, int height, bool allow_clip_control = true);

    // The GL_RENDERER string, and whether it is a software rasteriser.
    const char* renderer_name() const;
    bool software_rasteriser() const;
    // True when glClipControl gives depth 0..1; false when vertex programs remap z.
    bool native_depth_range() const { return native_depth_; }

    int width() const { return width_; }
    int height() const { return height_; }
    Viewport viewport() const;

    void set_world(const Matrix& world) { world_ = world; }
    void set_view(const Matrix& view) { view_ = view; }
    const Matrix& world() const { return world_; }
    const Matrix& view() const { return view_; }
    const Matrix& projection() const { return projection_; }

    // Clears colour (ARGB) and depth (to 1) and stencil (to 0).
    void clear(uint32_t argb);
    void clear_depth();

    // transpose(matrix) into registers first_register .. first_register + 3.
    void set_matrix_constants(int first_register, const Matrix& matrix);
    void set_constant(int reg, Vec4 value);
    Vec4 constant(int reg) const;

    // Triangle lists of ColouredVertex (count vertices) with world * view * projection,
    // lighting off, culling off, depth test on.
    void draw_coloured_triangles(const void* vertices, int count, const Matrix& world,
                                 Blend blend = blend_none);

    // The toon shading: the ramp, then the vertex program from the settings' file name,
    // then the pixel program, which links them. False, with a line on stderr, on failure;
    // toon-shaded meshes then draw nothing.
    bool init_toon_vertex_shader(const Settings& settings);
    bool init_toon_pixel_shader(const Settings& settings);
    bool load_toon_vertex_shader(const char* path);
    bool load_toon_pixel_shader(const char* path);
    bool toon_ready() const { return static_cast<bool>(toon_program_); }

    const Texture& shade_ramp() const { return shade_ramp_; }
    const Texture& white_texture() const { return white_; }
    bool remap_depth() const { return !native_depth_; }

    // The named textures drawing code looks up; filled from the texture configuration.
    TextureRegistry& textures() { return textures_; }
    const TextureRegistry& textures() const { return textures_; }

    // Binds the toon program with c0..c10 uploaded; false when there is none.
    bool use_toon_program() const;
    // Binds the position-only program with world * view * projection and the rim colour.
    void use_outline_program() const;
    // The one program of all sprite batches on this device; 0 when it failed to build.
    GLuint sprite_program() const { return sprite_program_.get(); }
    // Binds it with the back buffer's size.
    void use_sprite_program() const;

  private:
    void set_lasting_states();
    bool build_programs();
    void build_shade_ramp();

    int width_ = 0;
    int height_ = 0;
    bool native_depth_ = false;
    Matrix world_{};
    Matrix view_{};
    Matrix projection_{};
    float constants_[kConstantRegisters][4] = {};

    Texture shade_ramp_;
    Texture white_;
    GlShader toon_vertex_;
    GlProgram toon_program_;
    GLint toon_constants_ = -1;
    GlProgram outline_program_;
    GLint outline_matrix_ = -1;
    GlProgram coloured_program_;
    GLint coloured_matrix_ = -1;
    GlVertexArray coloured_vao_;
    GlBuffer coloured_buffer_;
    GlProgram sprite_program_;
    GLint sprite_screen_ = -1;
    TextureRegistry textures_;
};

// The design's free-function spellings over a renderer.
void set_matrix_constants(Renderer& device, int first_register, const Matrix& matrix);
bool init_toon_vertex_shader(Renderer& device, const Settings& settings);
bool init_toon_pixel_shader(Renderer& device, const Settings& settings);
