// An RGBA picture drawn with anti-aliased shapes, and its PNG encoding.
//
// Shapes are signed distance functions in pixel units (negative inside); a pixel takes
// the coverage of a half-pixel ramp around the edge, so every edge is smooth without
// supersampling, and an outline is the same shape grown by a width.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct Rgba {
    uint8_t r, g, b, a;
};

constexpr Rgba kTransparent = {0, 0, 0, 0};
constexpr Rgba kInk = {16, 12, 20, 255};
constexpr Rgba kWhite = {255, 255, 255, 255};

// A colour given as 0xRRGGBB, opaque.
constexpr Rgba rgb(uint32_t hex) {
    return {uint8_t(hex >> 16), uint8_t(hex >> 8), uint8_t(hex), 255};
}
Rgba with_alpha(Rgba c, uint8_t a);
Rgba mix(Rgba a, Rgba b, float t);

struct Pt {
    float x, y;
};

// Signed distance of a pixel-centre point from a shape's edge, negative inside.
using Shape = std::function<float(Pt)>;

// Colour of a shape at a point, for gradients and patterns.
using Paint = std::function<Rgba(Pt)>;

class Canvas {
  public:
    Canvas(int width, int height, Rgba background = kTransparent);

    int width() const { return width_; }
    int height() const { return height_; }
    Rgba at(int x, int y) const { return pixels_[size_t(y) * width_ + x]; }
    void set(int x, int y, Rgba c) { pixels_[size_t(y) * width_ + x] = c; }

    // Composites a shape over the picture; grow > 0 widens it (for outlines).
    void fill(const Shape& shape, Rgba colour, float grow = 0.0f);
    void fill(const Shape& shape, const Paint& paint, float grow = 0.0f);
    // The shape's colour with a dark rim of the given width around it.
    void fill_outlined(const Shape& shape, Rgba colour, float rim, Rgba rim_colour = kInk);
    // Replaces every pixel of the rectangle, alpha included.
    void clear_rect(int x0, int y0, int x1, int y1, Rgba c);
    // Draws another picture with its top-left corner at (x, y), replacing pixels.
    void paste(const Canvas& other, int x, int y);

    std::vector<uint8_t> png() const;

  private:
    int width_;
    int height_;
    std::vector<Rgba> pixels_;
};

// --- shapes --------------------------------------------------------------------------
Shape circle(Pt centre, float radius);
Shape ellipse(Pt centre, float rx, float ry);
Shape rect(float x0, float y0, float x1, float y1, float corner = 0.0f);
// A stroke of the given half-width from a to b with round ends.
Shape segment(Pt a, Pt b, float half_width);
// A closed polygon, either winding.
Shape polygon(std::vector<Pt> points);
// A star of n spikes between an inner and an outer radius, jittered by a fixed pattern.
Shape burst(Pt centre, float inner, float outer, int spikes, float turn = 0.0f);
// Part of a ring between two radii, from angle a0 to a1 (radians, 0 = up, clockwise).
Shape ring_sector(Pt centre, float r0, float r1, float a0, float a1);
Shape unite(Shape a, Shape b);
Shape subtract_shape(Shape a, Shape b);
Shape intersect_shape(Shape a, Shape b);
// The shape scaled about the origin by (sx, sy); distances stay roughly in pixels.
Shape stretched(Shape s, Pt centre, float sx, float sy);

// --- paints --------------------------------------------------------------------------
Paint solid(Rgba c);
Paint vertical_gradient(float y0, Rgba top, float y1, Rgba bottom);
