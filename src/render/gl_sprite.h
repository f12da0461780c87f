// A 2D sprite batch in back-buffer pixels (origin top left, y down), like ID3DXSprite:
// each sprite is a texture's source rectangle scaled, turned about a centre and moved,
// tinted by an ARGB colour, alpha blended, with depth testing off while the batch runs.
#pragma once

#include <cstdint>
#include <vector>

#include "math/math3d.h"
#include "render/gl_handles.h"
#include "render/gl_renderer.h"
#include "render/gl_texture.h"

// Texel rectangle: left and top inclusive, right and bottom exclusive.
struct SpriteRect {
    int left, top, right, bottom;
};

inline constexpr int kSpriteBatchCapacity = 512;  // sprites per upload

struct SpriteVertex {
    float x, y, u, v;
    uint32_t colour;  // ARGB
};

// The program every sprite batch draws with; the renderer builds it once and shares it.
GlProgram build_sprite_program();

class SpriteBatch {
  public:
    // Builds the fixed-size buffers for drawing with the device's sprite program; false
    // when the device has none.
    bool init(const Renderer& device, int capacity = kSpriteBatchCapacity);

    void begin();
    // source null: the whole texture; texture null: white. The sprite's corner starts at
    // (0, 0); a point p goes to R(p * scaling - centre) + centre + translation, R turning
    // by rotation radians (clockwise on screen for positive angles, as y points down).
    void draw(const Texture* texture, const SpriteRect* source, Vec2 scaling, Vec2 centre,
              float rotation, Vec2 translation, uint32_t argb);
    // Draws what is queued; restores depth testing and turns blending off.
    void end();

  private:
    void flush();

    const Renderer* device_ = nullptr;
    int capacity_ = 0;
    // The GL buffer is a stream with room for several batches: each flush writes past the
    // last one, and only a flush that would run past the end orphans the buffer and starts
    // again. Re-specifying it at every flush made some drivers keep every old copy.
    int stream_vertices_ = 0;
    int stream_at_ = 0;                   // vertices written since the last orphaning
    std::vector<SpriteVertex> vertices_;  // sized once at init
    int queued_ = 0;                      // sprites
    const Texture* texture_ = nullptr;
    bool ready_ = false;
    GlVertexArray vertex_array_;
    GlBuffer buffer_;
};
