#include "render/gl_font.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/parallel.h"
#include "platform/sdl_image_file.h"
#include "render/glyph_packing.h"

namespace {

constexpr uint32_t kUnknownGlyph = '?';
constexpr int kAtlasWidth = 1024;
constexpr int kAtlasMaxHeight = 4096;  // 16 MB of texels at most
// Taller text than a screen can show a few lines of only costs memory.
constexpr int kMaxFontHeight = 128;
constexpr int kGlyphPadding = 1;  // keeps filtering from bleeding between glyphs
constexpr int kBytesPerTexel = 4;

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

struct FontDeleter {
    void operator()(TTF_Font* font) const { TTF_CloseFont(font); }
};
using FontPtr = std::unique_ptr<TTF_Font, FontDeleter>;

// SDL_ttf counts its users; this is one for as long as it lives.
class TtfUser {
  public:
    TtfUser() : ok_(TTF_Init() == 0) {}
    ~TtfUser() {
        if (ok_) TTF_Quit();
    }
    TtfUser(const TtfUser&) = delete;
    TtfUser& operator=(const TtfUser&) = delete;
    bool ok() const { return ok_; }

  private:
    bool ok_;
};

// A glyph as SDL_ttf renders it: 32-bit ARGB, its coverage in the alpha bits.
struct RenderedGlyph {
    SurfacePtr surface;
    bool provided = false;  // a space is, with no image
    int advance = 0;
    GlyphBox box;  // its place in the atlas
};

struct FileDeleter {
    void operator()(void* data) const { SDL_free(data); }
};
using FilePtr = std::unique_ptr<void, FileDeleter>;

// The whole font file in memory: read from a file, FreeType seeks and reads a few bytes
// at a time for every glyph, and those calls took most of the atlas's start-up.
struct FontFile {
    FilePtr data;
    size_t size = 0;
};

FontFile read_font_file(const char* path) {
    FontFile file;
    file.data.reset(SDL_LoadFile(path, &file.size));
    return file;
}

// A face on the file's bytes, which must outlive it. Each handle reads them on its own.
FontPtr open_font(const FontFile& file, int height, bool bold) {
    if (!file.data || file.size > INT_MAX) return nullptr;  // no font is that big
    FontPtr font(TTF_OpenFontRW(SDL_RWFromConstMem(file.data.get(), static_cast<int>(file.size)), 1,
                                height));
    if (font && bold && TTF_FontFaceStyleName(font.get()) != nullptr &&
        std::string(TTF_FontFaceStyleName(font.get())).find("Bold") == std::string::npos) {
        TTF_SetFontStyle(font.get(), TTF_STYLE_BOLD);  // no bold face installed: embolden
    }
    return font;
}

// The atlas's glyph for code, or -1 when it has none. A walk over two ranges: no table to
// build, nothing to allocate while text is drawn.
int atlas_index(uint32_t code) {
    int index = 0;
    for (const GlyphRange& range : kFontRanges) {
        if (code >= range.first && code < range.end)
            return index + static_cast<int>(code - range.first);
        index += static_cast<int>(range.end - range.first);
    }
    return -1;
}

uint32_t code_of(int index) {
    for (const GlyphRange& range : kFontRanges) {
        const auto count = static_cast<int>(range.end - range.first);
        if (index < count) return range.first + static_cast<uint32_t>(index);
        index -= count;
    }
    return kUnknownGlyph;
}

RenderedGlyph render_glyph(TTF_Font* font, uint32_t code) {
    RenderedGlyph glyph;
    if (!TTF_GlyphIsProvided32(font, code)) return glyph;
    glyph.provided = true;
    int minx, maxx, miny, maxy;
    TTF_GlyphMetrics32(font, code, &minx, &maxx, &miny, &maxy, &glyph.advance);
    const SDL_Color white = {255, 255, 255, 255};
    glyph.surface.reset(TTF_RenderGlyph32_Blended(font, code, white));
    return glyph;
}

// Places the glyphs; those that do not fit are left out with one line. Returns the atlas
// height needed.
int pack(std::vector<RenderedGlyph>& glyphs, const char* face, int height) {
    std::vector<GlyphBox> boxes(glyphs.size());
    for (size_t i = 0; i < glyphs.size(); ++i) {
        if (glyphs[i].surface) boxes[i] = {glyphs[i].surface->w, glyphs[i].surface->h};
    }
    const int used = shelf_pack(boxes.data(), static_cast<int>(boxes.size()), kAtlasWidth,
                                kAtlasMaxHeight, kGlyphPadding);
    int refused = 0;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        glyphs[i].box = boxes[i];
        if (glyphs[i].surface && !boxes[i].placed) {
            glyphs[i].surface.reset();
            glyphs[i].provided = false;  // drawn as '?', which comes early enough to fit
            ++refused;
        }
    }
    if (refused > 0) {
        std::fprintf(stderr, "torvi: %d glyphs of \"%s\" at height %d do not fit the font atlas\n",
                     refused, face, height);
    }
    return used;
}

// White texels whose alpha is the glyph's coverage.
void copy_glyph(const RenderedGlyph& glyph, std::vector<uint8_t>& atlas) {
    SDL_Surface* surface = glyph.surface.get();
    const SDL_PixelFormat& format = *surface->format;
    SDL_LockSurface(surface);
    for (int row = 0; row < surface->h; ++row) {
        const auto* source = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(surface->pixels) + row * surface->pitch);
        const size_t texel = static_cast<size_t>(glyph.box.y + row) * kAtlasWidth + glyph.box.x;
        uint8_t* target = &atlas[texel * kBytesPerTexel];
        for (int column = 0; column < surface->w; ++column) {
            target[column * kBytesPerTexel + 3] =
                static_cast<uint8_t>((source[column] & format.Amask) >> format.Ashift);
        }
    }
    SDL_UnlockSurface(surface);
}

// The next code point of UTF-8 text; a byte that starts no valid sequence stands for
// itself (Latin-1), so texts in either encoding show.
uint32_t next_code_point(const char*& text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    if (bytes[0] >= 0xC2 && bytes[0] <= 0xDF && (bytes[1] & 0xC0) == 0x80) {
        text += 2;
        return ((bytes[0] & 0x1Fu) << 6) | (bytes[1] & 0x3Fu);
    }
    if (bytes[0] >= 0xE0 && bytes[0] <= 0xF4) {
        int length = 1;
        while (length < 4 && (bytes[length] & 0xC0) == 0x80) ++length;
        if (length >= (bytes[0] >= 0xF0 ? 4 : 3)) {
            text += length;
            return kUnknownGlyph;
        }
    }
    ++text;
    return bytes[0];
}

}  // namespace

std::string match_font_file(const char* face, bool bold) {
    if (!FcInit()) return {};
    PatternPtr pattern(FcPatternCreate());
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(face));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    PatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
    FcChar8* file = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) return {};
    return reinterpret_cast<const char*>(file);
}

bool Font::create(const Renderer& device, const char* face, int height, bool bold) {
    file_ = match_font_file(face, bold);
    if (height > kMaxFontHeight) {
        std::fprintf(stderr, "torvi: font height %d is more than a screen can show; using %d\n",
                     height, kMaxFontHeight);
        height = kMaxFontHeight;
    }
    TtfUser ttf;
    FontFile bytes;
    FontPtr font;
    if (ttf.ok() && !file_.empty() && height > 0) {
        bytes = read_font_file(file_.c_str());
        font = open_font(bytes, height, bold);
    }
    if (!font) {
        std::fprintf(stderr, "torvi: no font for \"%s\" at height %d\n", face, height);
        return false;
    }
    line_height_ = TTF_FontLineSkip(font.get());

    // A second handle on the file renders every other glyph on another core: one face must
    // not be used by two threads at once. The glyphs are used as SDL_ttf makes them and are
    // freed here after the join (see for_each_in_parallel).
    FontPtr second = open_font(bytes, height, bold);
    TTF_Font* const renderers[] = {font.get(), second ? second.get() : font.get()};
    const int step = second ? 2 : 1;
    std::vector<RenderedGlyph> rendered(kFontGlyphs);
    for_each_in_parallel(step, [&](int r) {
        for (int i = r; i < kFontGlyphs; i += step)
            rendered[i] = render_glyph(renderers[r], code_of(i));
    });
    const int atlas_height = std::max(1, pack(rendered, face, height));
    std::vector<uint8_t> texels(static_cast<size_t>(kAtlasWidth) * atlas_height * kBytesPerTexel,
                                255);
    for (size_t i = 3; i < texels.size(); i += kBytesPerTexel) texels[i] = 0;
    for (int i = 0; i < kFontGlyphs; ++i) {
        const RenderedGlyph& glyph = rendered[i];
        glyphs_[i].advance = glyph.advance;
        if (!glyph.surface) continue;
        copy_glyph(glyph, texels);
        const GlyphBox& box = glyph.box;
        glyphs_[i].rect = {box.x, box.y, box.x + box.width, box.y + box.height};
    }
    // What the font file lacks shows as '?', so a name in another script is seen to be one.
    const Glyph unknown = glyphs_[atlas_index(kUnknownGlyph)];
    for (int i = 0; i < kFontGlyphs; ++i) {
        if (!rendered[i].provided) glyphs_[i] = unknown;
    }
    // Glyphs are drawn texel for pixel, never shrunk: a mip chain would go unused.
    atlas_ = make_rgba_texture(kAtlasWidth, atlas_height, texels.data(), wrap_clamp, mip_none);
    return batch_.init(device);
}

void Font::draw_text(float x, float y, uint32_t argb, const char* text) {
    if (!ready() || text == nullptr) return;
    batch_.begin();
    float pen_x = x, pen_y = y;
    while (*text != '\0') {
        const uint32_t code = next_code_point(text);
        if (code == '\n') {
            pen_x = x;
            pen_y += static_cast<float>(line_height_);
            continue;
        }
        const Glyph& glyph = glyph_of(code);
        if (glyph.rect.right > glyph.rect.left) {
            batch_.draw(&atlas_, &glyph.rect, {1, 1}, {0, 0}, 0, {pen_x, pen_y}, argb);
        }
        pen_x += static_cast<float>(glyph.advance);
    }
    batch_.end();
}

TextSize Font::measure(const char* text) const {
    if (!ready() || text == nullptr) return {0, 0};
    int widest = 0, line = 0, lines = 1;
    while (*text != '\0') {
        const uint32_t code = next_code_point(text);
        if (code == '\n') {
            ++lines;
            line = 0;
            continue;
        }
        line += glyph_of(code).advance;
        widest = std::max(widest, line);
    }
    return {widest, lines * line_height_};
}

const Font::Glyph& Font::glyph_of(uint32_t code) const {
    const int index = atlas_index(code);
    return glyphs_[index >= 0 ? index : atlas_index(kUnknownGlyph)];
}

Font* ready_font(Font& font) {
    return font.ready() ? &font : nullptr;
}
