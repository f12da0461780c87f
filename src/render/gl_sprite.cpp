#include "render/gl_sprite.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#include "render/draw_stats.h"
#include "render/gl_shader.h"

namespace {

constexpr int kVerticesPerSprite = 6;
constexpr int kStreamBatches = 8;  // batches of room in the stream before it is orphaned

constexpr char kSpriteVertex[] = R"(#version 330 core
uniform vec2 screen;
layout(location = 0) in vec2 position;
layout(location = 1) in vec2 uv;
layout(location = 2) in vec4 tint;
out vec2 texture_coordinate;
out vec4 vertex_colour;
void main() {
    gl_Position = vec4(position.x / screen.x * 2.0 - 1.0, 1.0 - position.y / screen.y * 2.0,
                       0.0, 1.0);
    texture_coordinate = uv;
    vertex_colour = tint;
}
)";
constexpr char kSpriteFragment[] = R"(#version 330 core
uniform sampler2D picture;
in vec2 texture_coordinate;
in vec4 vertex_colour;
out vec4 colour;
void main() {
    colour = texture(picture, texture_coordinate) * vertex_colour;
}
)";

}  // namespace

GlProgram build_sprite_program() {
    GlProgram program = build_program(kSpriteVertex, kSpriteFragment, false, "sprite batch");
    if (program) {
        glUseProgram(program.get());
        glUniform1i(glGetUniformLocation(program.get(), "picture"), 0);
    }
    return program;
}

bool SpriteBatch::init(const Renderer& device, int capacity) {
    device_ = &device;
    capacity_ = capacity;
    vertices_.assign(static_cast<size_t>(capacity) * kVerticesPerSprite, SpriteVertex{});
    ready_ = device.sprite_program() != 0;
    if (!ready_) return false;

    vertex_array_ = make_vertex_array();
    buffer_ = make_buffer();
    glBindVertexArray(vertex_array_.get());
    glBindBuffer(GL_ARRAY_BUFFER, buffer_.get());
    stream_vertices_ = kStreamBatches * static_cast<int>(vertices_.size());
    stream_at_ = 0;
    glBufferData(GL_ARRAY_BUFFER, stream_vertices_ * sizeof(SpriteVertex), nullptr, GL_STREAM_DRAW);
    const GLsizei stride = sizeof(SpriteVertex);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, stride, nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(SpriteVertex, u)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          reinterpret_cast<const void*>(offsetof(SpriteVertex, colour)));
    glBindVertexArray(0);
    return true;
}

void SpriteBatch::begin() {
    queued_ = 0;
    texture_ = nullptr;
}

void SpriteBatch::draw(const Texture* texture, const SpriteRect* source, Vec2 scaling, Vec2 centre,
                       float rotation, Vec2 translation, uint32_t argb) {
    if (!ready_) return;
    if (texture == nullptr) texture = &device_->white_texture();
    if (texture != texture_ || queued_ == capacity_) flush();
    texture_ = texture;
    const SpriteRect whole = {0, 0, texture->width(), texture->height()};
    const SpriteRect& rect = source != nullptr ? *source : whole;
    const float tw = static_cast<float>(texture->width());
    const float th = static_cast<float>(texture->height());
    const float w = static_cast<float>(rect.right - rect.left);
    const float h = static_cast<float>(rect.bottom - rect.top);
    const float c = std::cos(rotation);
    const float s = std::sin(rotation);
    auto corner = [&](float x, float y, float u, float v) {
        const float px = x * scaling.x - centre.x;
        const float py = y * scaling.y - centre.y;
        return SpriteVertex{px * c - py * s + centre.x + translation.x,
                            px * s + py * c + centre.y + translation.y, u / tw, v / th, argb};
    };
    const SpriteVertex top_left = corner(0, 0, rect.left, rect.top);
    const SpriteVertex top_right = corner(w, 0, rect.right, rect.top);
    const SpriteVertex bottom_left = corner(0, h, rect.left, rect.bottom);
    const SpriteVertex bottom_right = corner(w, h, rect.right, rect.bottom);
    SpriteVertex* out = &vertices_[static_cast<size_t>(queued_) * kVerticesPerSprite];
    out[0] = top_left;
    out[1] = top_right;
    out[2] = bottom_left;
    out[3] = top_right;
    out[4] = bottom_right;
    out[5] = bottom_left;
    ++queued_;
}

void SpriteBatch::flush() {
    if (queued_ == 0 || !ready_) return;
    device_->use_sprite_program();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    bind_texture(0, texture_);
    glBindVertexArray(vertex_array_.get());
    glBindBuffer(GL_ARRAY_BUFFER, buffer_.get());
    const GLsizei count = queued_ * kVerticesPerSprite;
    if (stream_at_ + count > stream_vertices_) {
        glBufferData(GL_ARRAY_BUFFER, stream_vertices_ * sizeof(SpriteVertex), nullptr,
                     GL_STREAM_DRAW);
        stream_at_ = 0;
    }
    // Unsynchronised: the draws still queued read only parts written before this one.
    void* room = glMapBufferRange(
        GL_ARRAY_BUFFER, stream_at_ * sizeof(SpriteVertex), count * sizeof(SpriteVertex),
        GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_RANGE_BIT | GL_MAP_UNSYNCHRONIZED_BIT);
    if (room != nullptr) {
        std::memcpy(room, vertices_.data(), count * sizeof(SpriteVertex));
        glUnmapBuffer(GL_ARRAY_BUFFER);
        count_draw_call();
        glDrawArrays(GL_TRIANGLES, stream_at_, count);
        stream_at_ += count;
    }
    glBindVertexArray(0);
    queued_ = 0;
}

void SpriteBatch::end() {
    flush();
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}
