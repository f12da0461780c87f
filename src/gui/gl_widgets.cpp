#include "gui/gl_widgets.h"

#include <algorithm>

#include "render/gl_texture.h"

namespace {

constexpr float kCell = 16.0f;
constexpr float kPi = 3.14159265f;
constexpr float kFramePiece = 15.0f;  // the frame pieces are 15 texels wide
constexpr float kTitleTextRise = 16.0f;
constexpr float kShadowOffset = 2.0f;
constexpr float kListTextIndent = 4.0f;

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kIdle = 0x66FFFFFF;
constexpr uint32_t kShadow = 0x22000000;
constexpr uint32_t kListText = 0xFF555555;
constexpr uint32_t kFieldUnfocused = 0x33FFFFFF;
// A button in the warning colour: red, and stronger than kIdle when idle, so it is seen.
constexpr uint32_t kWarn = 0xFFFF4040;
constexpr uint32_t kWarnIdle = 0xBBFF4040;

constexpr SpriteRect kCornerTopLeft = {0, 48, 15, 63};
constexpr SpriteRect kCornerTopRight = {32, 48, 47, 63};
constexpr SpriteRect kCornerBottomLeft = {0, 80, 15, 95};
constexpr SpriteRect kCornerBottomRight = {32, 80, 47, 95};
constexpr SpriteRect kFrameFill = {16, 64, 31, 79};
constexpr SpriteRect kTitleStrip = {0, 95, 16, 96};
// By checked, then normal, pressed, hover.
constexpr SpriteRect kCheckBox[2][3] = {
    {{0, 32, 16, 48}, {16, 32, 32, 48}, {32, 32, 48, 48}},
    {{48, 32, 64, 48}, {64, 32, 80, 48}, {80, 32, 96, 48}},
};
constexpr SpriteRect kScrollArrow = {48, 48, 64, 64};
constexpr SpriteRect kCellPiece = {64, 48, 80, 64};
constexpr SpriteRect kScrollThumb = {80, 48, 96, 64};
constexpr SpriteRect kSelectionBar = {48, 64, 64, 80};

constexpr Vec2 kNoScale = {1, 1};
constexpr Vec2 kOrigin = {0, 0};

// What one dialog is drawn with.
struct Painter {
    WidgetDrawing& d;
    Font* font;
    const TextureRegistry& textures;
};

void piece(Painter& p, const Texture* texture, const SpriteRect& source, float x, float y,
           uint32_t argb = kWhite, Vec2 scaling = kNoScale) {
    p.d.batch.draw(texture, &source, scaling, kOrigin, 0.0f, {x, y}, argb);
}

void skin_piece(Painter& p, const SpriteRect& source, float x, float y, uint32_t argb = kWhite,
                Vec2 scaling = kNoScale) {
    piece(p, p.d.skin, source, x, y, argb, scaling);
}

// The font has its own batch: what is queued goes first, so the order on screen holds.
void text(Painter& p, float x, float y, uint32_t argb, const char* str) {
    Font* font = p.font;
    if (font == nullptr || str[0] == '\0') return;
    SpriteBatch& batch = p.d.batch;
    batch.end();
    font->draw_text(x, y, argb, str);
    batch.begin();
}

void draw_frame(Painter& p, const Dialog& d) {
    const float right = d.x + d.width;
    const float bottom = d.y + d.height;
    const float across = d.width / kFramePiece;
    const float down = d.height / kFramePiece;
    skin_piece(p, kCornerTopLeft, d.x - kFramePiece, d.y - kFramePiece);
    skin_piece(p, kCornerTopRight, right, d.y - kFramePiece);
    skin_piece(p, kCornerBottomLeft, d.x - kFramePiece, bottom);
    skin_piece(p, kCornerBottomRight, right, bottom);
    skin_piece(p, kFrameFill, d.x, d.y, kWhite, {across, down});
    skin_piece(p, kFrameFill, d.x, d.y - kFramePiece, kWhite, {across, 1});
    skin_piece(p, kFrameFill, d.x, bottom, kWhite, {across, 1});
    skin_piece(p, kFrameFill, d.x - kFramePiece, d.y, kWhite, {1, down});
    skin_piece(p, kFrameFill, right, d.y, kWhite, {1, down});
}

void draw_title(Painter& p, const Dialog& d) {
    text(p, d.x, d.y - kTitleTextRise, kWhite, d.title);
    skin_piece(p, kTitleStrip, d.x, d.y, kIdle, {d.width / kCell, 1});
}

// Idle, hovered or pressed (moved by one pixel), as buttons show it.
struct ButtonLook {
    float dx, dy;
    uint32_t argb;
};

ButtonLook button_look(const Button& b) {
    const bool lit = b.pressed || b.hover;
    const uint32_t argb = b.warn ? (lit ? kWarn : kWarnIdle) : (lit ? kWhite : kIdle);
    return b.pressed ? ButtonLook{1, 1, argb} : ButtonLook{0, 0, argb};
}

void draw_button(Painter& p, const Button& b, float bx, float by) {
    const ButtonLook look = button_look(b);
    if (b.style == style_text) {
        text(p, bx + look.dx, by + look.dy, look.argb, b.text);
        return;
    }
    const Texture* image = find_texture(p.textures, b.image);
    const SpriteRect source = {b.source.left, b.source.top, b.source.right, b.source.bottom};
    piece(p, image, source, bx + kShadowOffset, by + kShadowOffset, kShadow);
    piece(p, image, source, bx + look.dx, by + look.dy, look.argb);
}

void draw_check_box(Painter& p, const CheckBox& c, float bx, float by) {
    const int state = !c.pressed && !c.hover ? 0 : (c.pressed ? 1 : 2);
    skin_piece(p, kCheckBox[c.checked ? 1 : 0][state], bx, by);
}

// The arrow piece turned by pi about its top-left corner, which lands at (x, y).
void down_arrow(Painter& p, float x, float y, uint32_t argb) {
    p.d.batch.draw(p.d.skin, &kScrollArrow, kNoScale, kOrigin, kPi, {x, y}, argb);
}

void draw_scroll_arrows(Painter& p, const ScrollBar& s, float bx, float by) {
    skin_piece(p, kScrollArrow, bx + kShadowOffset, by + kShadowOffset, kShadow);
    const float up = s.up_pressed ? 1.0f : 0.0f;
    skin_piece(p, kScrollArrow, bx + up, by + up);
    const float tx = bx + kCell;
    const float ty = by + kCell * static_cast<float>(s.cells);
    down_arrow(p, tx + kShadowOffset, ty + kShadowOffset, kShadow);
    const float down = s.down_pressed ? 0.0f : 1.0f;
    down_arrow(p, tx - down, ty - down, kWhite);
}

void draw_scroll_bar(Painter& p, const ScrollBar& s, float bx, float by) {
    draw_scroll_arrows(p, s, bx, by);
    for (int k = 0; k <= s.cells - 3; ++k) skin_piece(p, kCellPiece, bx, by + kCell * (k + 1));
    const float t = static_cast<float>(s.thumb_offset());
    skin_piece(p, kScrollThumb, bx + kShadowOffset, by + kCell + kShadowOffset + t, kShadow);
    if (s.dragging) {
        skin_piece(p, kScrollThumb, bx, by + kCell + t);
    } else {
        skin_piece(p, kScrollThumb, bx - 1, by + kCell - 1 + t);
    }
}

void draw_list_box(Painter& p, const ListBox& l, float bx, float by) {
    for (int r = 0; r < l.rows; ++r) {
        for (int c = 0; c < l.columns; ++c)
            skin_piece(p, kCellPiece, bx + kCell * c, by + kCell * r);
    }
    const int first = std::max(l.first_visible, 1);
    for (int k = first, r = 0; k <= l.count() && r < l.rows; ++k, ++r) {
        const float row_y = by + kCell * r;
        if (k == l.selected) {
            skin_piece(p, kSelectionBar, bx, row_y, kWhite, {static_cast<float>(l.columns), 1});
        }
        text(p, bx + kListTextIndent, row_y, kListText, l.items[static_cast<size_t>(k - 1)].text);
    }
}

void draw_text_field(Painter& p, const TextField& f, float bx, float by) {
    const uint32_t argb = f.focused ? kWhite : kFieldUnfocused;
    for (int c = 0; c < f.cells; ++c) skin_piece(p, kCellPiece, bx + kCell * c, by, argb);
    text(p, bx + kListTextIndent, by, kListText, f.text_buffer);
}

void draw_widget(Painter& p, const Widget& w) {
    const float bx = static_cast<float>(widget_screen_x(w));
    const float by = static_cast<float>(widget_screen_y(w));
    switch (w.kind) {
        case widget_button:
            return draw_button(p, static_cast<const Button&>(w), bx, by);
        case widget_check_box:
            return draw_check_box(p, static_cast<const CheckBox&>(w), bx, by);
        case widget_label:
            return text(p, bx, by, kWhite, static_cast<const Label&>(w).text);
        case widget_scroll_bar:
            return draw_scroll_bar(p, static_cast<const ScrollBar&>(w), bx, by);
        case widget_list_box:
            return draw_list_box(p, static_cast<const ListBox&>(w), bx, by);
        case widget_text_field:
            return draw_text_field(p, static_cast<const TextField&>(w), bx, by);
    }
}

}  // namespace

void widgets_device_init(WidgetDrawing& d, Renderer& device) {
    d.skin = find_texture(device.textures(), "shell");
    d.ready = d.batch.init(device);
}

void draw_dialog(const Renderer& device, WidgetDrawing& d, Font* font, const Dialog& dialog) {
    if (!d.ready) return;
    Painter p{d, font, device.textures()};
    d.batch.begin();
    if (d.skin != nullptr) draw_frame(p, dialog);
    draw_title(p, dialog);
    for (int i = 0; i < dialog.widget_count(); ++i) {
        const Widget& w = dialog.widget_newest_first(i);
        if (w.visible) draw_widget(p, w);
    }
    d.batch.end();
}
