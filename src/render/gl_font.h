// Text drawn from a glyph atlas: the face name is matched to the nearest installed font
// with fontconfig, its glyphs rendered once with SDL_ttf. The atlas holds Latin-1, Latin
// Extended-A (U+0020..U+017F), Greek and Cyrillic (U+0370..U+04FF); any other code point,
// and one the font file lacks, draws as '?'.
#pragma once

#include <cstdint>
#include <string>

#include "render/gl_renderer.h"
#include "render/gl_sprite.h"
#include "render/gl_texture.h"

struct TextSize {
    int width, height;
};

// The code points of the atlas, in the order of its glyphs.
struct GlyphRange {
    uint32_t first, end;  // end is one past the last
};
inline constexpr GlyphRange kFontRanges[] = {{0x20, 0x180}, {0x370, 0x500}};
inline constexpr int kFontGlyphs = [] {
    uint32_t count = 0;
    for (const GlyphRange& range : kFontRanges) count += range.end - range.first;
    return static_cast<int>(count);
}();

// The font file fontconfig picks for face; empty when there is none.
std::string match_font_file(const char* face, bool bold);

class Font {
  public:
    // height in pixels. False, with one line on stderr, when no font can be opened; the
    // font then draws nothing.
    bool create(const Renderer& device, const char* face, int height, bool bold);

    // Text (UTF-8, '\n' starts a new line) with its top left at (x, y) in back-buffer
    // pixels, tinted by an ARGB colour, alpha blended over what is there.
    void draw_text(float x, float y, uint32_t argb, const char* text);
    // The box draw_text fills: widest line by number of lines times the line height.
    TextSize measure(const char* text) const;

    bool ready() const { return atlas_.name() != 0; }
    const std::string& file() const { return file_; }
    int line_height() const { return line_height_; }

  private:
    struct Glyph {
        SpriteRect rect;
        int advance;
    };
    const Glyph& glyph_of(uint32_t code) const;  // '?' for what the atlas lacks

    Glyph glyphs_[kFontGlyphs] = {};
    int line_height_ = 0;
    std::string file_;
    Texture atlas_;
    SpriteBatch batch_;
};

// The two faces the game writes in: the console's, which the status labels share, and the
// dialogs'.
struct Fonts {
    Font console;
    Font gui;
};

// The font when it was created, else null: callers then draw no text.
Font* ready_font(Font& font);
