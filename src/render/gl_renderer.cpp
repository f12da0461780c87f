#include "render/gl_renderer.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/assertion.h"
#include "render/draw_stats.h"
#include "render/gl_shader.h"
#include "render/gl_sprite.h"
#include "render/projection.h"

namespace {

constexpr Vec4 kRegisterC0 = {0.0f, 0.5f, 1.0f, 2.0f};
constexpr int kMinimumGlVersion = 33;

constexpr const char* kSoftwareRasterisers[] = {"llvmpipe", "softpipe", "swrast"};

// Vertices per upload of coloured triangles: a multiple of 3 so no triangle is split.
constexpr int kColouredChunkVertices = 1536;

// The dark rim of outline hulls: near-black, so it reads as an ink line.
constexpr char kOutlineVertex[] = R"(#version 330 core
uniform mat4 world_view_projection;
layout(location = 0) in vec3 position;
void main() {
    gl_Position = world_view_projection * vec4(position, 1.0);
#ifdef TORVI_DEPTH_REMAP
    gl_Position.z = 2.0 * gl_Position.z - gl_Position.w;
#endif
}
)";
constexpr char kOutlineFragment[] = R"(#version 330 core
out vec4 colour;
void main() {
    colour = vec4(0.05, 0.05, 0.05, 1.0);
}
)";

constexpr char kColouredVertex[] = R"(#version 330 core
uniform mat4 world_view_projection;
layout(location = 0) in vec3 position;
layout(location = 1) in vec4 diffuse;
out vec4 vertex_colour;
void main() {
    gl_Position = world_view_projection * vec4(position, 1.0);
#ifdef TORVI_DEPTH_REMAP
    gl_Position.z = 2.0 * gl_Position.z - gl_Position.w;
#endif
    vertex_colour = diffuse;
}
)";
constexpr char kColouredFragment[] = R"(#version 330 core
in vec4 vertex_colour;
out vec4 colour;
void main() {
    colour = vertex_colour;
}
)";

bool contains_ignoring_case(const char* text, const char* word) {
    std::string lower(text);
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return lower.find(word) != std::string::npos;
}

bool clip_control_available() {
    return epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_ARB_clip_control");
}

// The row-major bytes of a row-vector matrix are exactly the column-major GLSL matrix
// that multiplies a column vector on its right: no transpose on upload.
void upload_matrix(GLint location, const Matrix& matrix) {
    glUniformMatrix4fv(location, 1, GL_FALSE, &matrix.m[0][0]);
}

}  // namespace

bool is_software_renderer(const char* renderer_string) {
    if (renderer_string == nullptr) return false;
    for (const char* name : kSoftwareRasterisers) {
        if (contains_ignoring_case(renderer_string, name)) return true;
    }
    return false;
}

bool Renderer::init(int width, int height, bool allow_clip_control) {
    if (epoxy_gl_version() < kMinimumGlVersion) {
        std::fprintf(stderr, "torvi: OpenGL 3.3 is needed, the context offers %d.%d\n",
                     epoxy_gl_version() / 10, epoxy_gl_version() % 10);
        return false;
    }
    width_ = width;
    height_ = height;
    native_depth_ = allow_clip_control && clip_control_available();
    world_ = identity();
    view_ = identity();
    projection_ = game_projection(width, height);
    set_constant(0, kRegisterC0);
    set_lasting_states();
    white_ = make_white_texture();
    return build_programs();
}

void Renderer::set_lasting_states() {
    // Said every time: the context may carry another depth convention from before.
    if (native_depth_) {
        glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
    } else if (clip_control_available()) {
        glClipControl(GL_LOWER_LEFT, GL_NEGATIVE_ONE_TO_ONE);
    }
    glViewport(0, 0, width_, height_);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glEnable(GL_DITHER);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
}

bool Renderer::build_programs() {
    outline_program_ = build_program(kOutlineVertex, kOutlineFragment, remap_depth(), "outline");
    coloured_program_ =
        build_program(kColouredVertex, kColouredFragment, remap_depth(), "coloured triangles");
    sprite_program_ = build_sprite_program();
    if (!outline_program_ || !coloured_program_ || !sprite_program_) return false;
    sprite_screen_ = glGetUniformLocation(sprite_program_.get(), "screen");
    outline_matrix_ = glGetUniformLocation(outline_program_.get(), "world_view_projection");
    coloured_matrix_ = glGetUniformLocation(coloured_program_.get(), "world_view_projection");

    coloured_vao_ = make_vertex_array();
    coloured_buffer_ = make_buffer();
    glBindVertexArray(coloured_vao_.get());
    glBindBuffer(GL_ARRAY_BUFFER, coloured_buffer_.get());
    glBufferData(GL_ARRAY_BUFFER, kColouredChunkVertices * sizeof(ColouredVertex), nullptr,
                 GL_STREAM_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(ColouredVertex), nullptr);
    glEnableVertexAttribArray(1);
    // GL_BGRA reads the bytes of a little-endian ARGB word (B, G, R, A) as r, g, b, a.
    glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(ColouredVertex),
                          reinterpret_cast<const void*>(offsetof(ColouredVertex, colour)));
    glBindVertexArray(0);
    return true;
}

const char* Renderer::renderer_name() const {
    const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return name != nullptr ? name : "";
}

bool Renderer::software_rasteriser() const {
    return is_software_renderer(renderer_name());
}

Viewport Renderer::viewport() const {
    return {0, 0, static_cast<uint32_t>(width_), static_cast<uint32_t>(height_), 0.0f, 1.0f};
}

void Renderer::clear(uint32_t argb) {
    const float scale = 1.0f / 255.0f;
    glClearColor(((argb >> 16) & 0xFF) * scale, ((argb >> 8) & 0xFF) * scale, (argb & 0xFF) * scale,
                 ((argb >> 24) & 0xFF) * scale);
    glClearDepth(1.0);
    glClearStencil(0);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void Renderer::clear_depth() {
    glClearDepth(1.0);
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
}

void Renderer::set_matrix_constants(int first_register, const Matrix& matrix) {
    TORVI_ASSERT(first_register >= 0 && first_register + 4 <= kConstantRegisters,
                 "a matrix takes four registers inside c0..c10");
    const Matrix t = transpose(matrix);
    for (int row = 0; row < 4; ++row) {
        std::memcpy(constants_[first_register + row], t.m[row], sizeof t.m[row]);
    }
}

void Renderer::set_constant(int reg, Vec4 value) {
    TORVI_ASSERT(reg >= 0 && reg < kConstantRegisters, "registers are c0..c10");
    constants_[reg][0] = value.x;
    constants_[reg][1] = value.y;
    constants_[reg][2] = value.z;
    constants_[reg][3] = value.w;
}

Vec4 Renderer::constant(int reg) const {
    TORVI_ASSERT(reg >= 0 && reg < kConstantRegisters, "registers are c0..c10");
    const float* c = constants_[reg];
    return {c[0], c[1], c[2], c[3]};
}

void Renderer::draw_coloured_triangles(const void* vertices, int count, const Matrix& world,
                                       Blend blend) {
    if (vertices == nullptr || count < 3 || !coloured_program_) return;
    glUseProgram(coloured_program_.get());
    upload_matrix(coloured_matrix_, multiply(multiply(world, view_), projection_));
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    if (blend == blend_additive) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
    } else {
        glDisable(GL_BLEND);
    }
    glBindVertexArray(coloured_vao_.get());
    glBindBuffer(GL_ARRAY_BUFFER, coloured_buffer_.get());
    const auto* bytes = static_cast<const ColouredVertex*>(vertices);
    for (int first = 0; first + 3 <= count; first += kColouredChunkVertices) {
        const int chunk = std::min(kColouredChunkVertices, (count - first) / 3 * 3);
        glBufferData(GL_ARRAY_BUFFER, kColouredChunkVertices * sizeof(ColouredVertex), nullptr,
                     GL_STREAM_DRAW);
        glBufferSubData(GL_ARRAY_BUFFER, 0, chunk * sizeof(ColouredVertex), bytes + first);
        count_draw_call();
        glDrawArrays(GL_TRIANGLES, 0, chunk);
    }
    glBindVertexArray(0);
    glDisable(GL_BLEND);
}

bool Renderer::use_toon_program() const {
    if (!toon_program_) return false;
    glUseProgram(toon_program_.get());
    glUniform4fv(toon_constants_, kConstantRegisters, &constants_[0][0]);
    return true;
}

void Renderer::use_outline_program() const {
    glUseProgram(outline_program_.get());
    upload_matrix(outline_matrix_, multiply(multiply(world_, view_), projection_));
}

void Renderer::use_sprite_program() const {
    glUseProgram(sprite_program_.get());
    glUniform2f(sprite_screen_, static_cast<float>(width_), static_cast<float>(height_));
}

void set_matrix_constants(Renderer& device, int first_register, const Matrix& matrix) {
    device.set_matrix_constants(first_register, matrix);
}

bool init_toon_vertex_shader(Renderer& device, const Settings& settings) {
    return device.init_toon_vertex_shader(settings);
}

bool init_toon_pixel_shader(Renderer& device, const Settings& settings) {
    return device.init_toon_pixel_shader(settings);
}
