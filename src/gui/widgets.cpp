#include "gui/widgets.h"

#include <algorithm>
#include <cstring>

#include "platform/assertion.h"

namespace {

constexpr int kCell = 16;         // skin pieces, list rows and field cells
constexpr int kTitleHeight = 11;  // the drag handle above the body
constexpr float kTitleGrip = 48;  // the title bar width always left on screen
constexpr int kTextButtonCharWidth = 8;
constexpr int kTextButtonHeight = 12;
constexpr int kCheckBoxSize = 16;
constexpr int32_t kScrollDefaultMaximum = 8;

// Copies text into a size-byte buffer, cut so the zero always fits.
void copy_cut(char* out, int size, const char* text) {
    if (size <= 0) return;
    const size_t room = static_cast<size_t>(size) - 1;
    const size_t length = text == nullptr ? 0 : strnlen(text, room);
    if (length > 0) memcpy(out, text, length);
    out[length] = '\0';
}

template <size_t N>
void copy_cut(char (&out)[N], const char* text) {
    copy_cut(out, static_cast<int>(N), text);
}

IntRect square_at(int x, int y) {
    return {x, y, x + kCell, y + kCell};
}

bool is_press(uint32_t id) {
    return id == msg_lbutton_down || id == msg_lbutton_dblclk;
}

bool reachable(const Widget& w) {
    return w.enabled && w.visible;
}

IntRect button_rect(const Button& b) {
    const int bx = widget_screen_x(b);
    const int by = widget_screen_y(b);
    if (b.style == style_text) {
        const int width = kTextButtonCharWidth * static_cast<int>(strlen(b.text));
        return {bx, by, bx + width, by + kTextButtonHeight};
    }
    return {bx, by, bx + static_cast<int>(b.width), by + static_cast<int>(b.height)};
}

IntRect box_rect(const Widget& w) {
    const int bx = widget_screen_x(w);
    const int by = widget_screen_y(w);
    return {bx, by, bx + static_cast<int>(w.width), by + static_cast<int>(w.height)};
}

// The press logic buttons and check boxes share. on_click runs on a release inside,
// before the command goes out.
template <typename W, typename OnClick>
bool handle_pressable(W& w, const IntRect& rect, const Message& msg, int cx, int cy,
                      OnClick on_click) {
    w.hit_rect = rect;
    const bool inside = rect_contains(rect, cx, cy);
    switch (msg.id) {
        case msg_mouse_move:
            w.hover = inside;
            return inside;
        case msg_lbutton_down:
        case msg_lbutton_dblclk:
            if (!inside) return false;
            w.pressed = true;
            return true;
        case msg_lbutton_up:
            if (!w.pressed) return false;
            w.pressed = false;
            if (inside) {
                on_click(w);
                send_command(w, w.id);
            }
            return true;
        default:
            return false;
    }
}

bool handle_button(Button& b, const Message& msg, int cx, int cy) {
    return handle_pressable(b, button_rect(b), msg, cx, cy, [](Button&) {});
}

bool handle_check_box(CheckBox& c, const Message& msg, int cx, int cy) {
    return handle_pressable(c, box_rect(c), msg, cx, cy,
                            [](CheckBox& box) { box.checked = !box.checked; });
}

int32_t track_length(const ScrollBar& s) {
    return kCell * std::max(s.cells - 3, 0);
}

bool scroll_drag(ScrollBar& s, int cy) {
    const int32_t length = track_length(s);
    if (length > 0) {
        const int32_t track_top = widget_screen_y(s) + kCell;
        const int32_t p = ((cy - s.grab_y) - track_top) * (s.maximum - s.minimum) / length;
        s.pos = std::clamp(p, s.minimum, s.maximum);
    }
    return true;
}

bool scroll_press(ScrollBar& s, int cx, int cy) {
    const int bx = widget_screen_x(s);
    const int by = widget_screen_y(s);
    s.hit_rect = square_at(bx, by + kCell + s.thumb_offset());
    if (rect_contains(s.hit_rect, cx, cy)) {
        s.dragging = true;
        s.grab_x = cx - s.hit_rect.left;
        s.grab_y = cy - s.hit_rect.top;
        return true;
    }
    s.hit_rect = square_at(bx, by);
    if (rect_contains(s.hit_rect, cx, cy)) return s.up_pressed = true;
    s.hit_rect = square_at(bx, by + kCell * (s.cells - 1));
    if (rect_contains(s.hit_rect, cx, cy)) return s.down_pressed = true;
    return false;
}

// Arrows step on release, wherever the cursor is.
bool scroll_release(ScrollBar& s) {
    if (s.dragging) {
        s.dragging = false;
        return true;
    }
    if (!s.up_pressed && !s.down_pressed) return false;
    if (s.up_pressed && s.pos > s.minimum) --s.pos;
    if (s.down_pressed && s.pos < s.maximum) ++s.pos;
    s.up_pressed = s.down_pressed = false;
    return true;
}

bool handle_scroll_bar(ScrollBar& s, const Message& msg, int cx, int cy) {
    if (s.minimum == s.maximum) {
        s.pos = 0;
        return false;
    }
    if (msg.id == msg_mouse_move) return s.dragging && scroll_drag(s, cy);
    if (is_press(msg.id)) return scroll_press(s, cx, cy);
    if (msg.id == msg_lbutton_up) return scroll_release(s);
    return false;
}

bool handle_list_box(ListBox& l, const Message& msg, int cx, int cy) {
    if (!is_press(msg.id) || l.items.empty()) return false;
    const int bx = widget_screen_x(l);
    const int by = widget_screen_y(l);
    for (int32_t r = 0; r < l.rows && l.first_visible + r <= l.count(); ++r) {
        const int top = by + kCell * r;
        l.hit_rect = {bx, top, bx + kCell * l.columns, top + kCell};
        if (rect_contains(l.hit_rect, cx, cy)) {
            l.selected = l.first_visible + r;
            return true;
        }
    }
    return false;
}

// What a saved file's name may hold: safe in a path on any system.
bool is_field_character(uint32_t vk) {
    return (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z') || vk == vk_minus ||
           vk == vk_underscore;
}

bool field_key(TextField& f, uint32_t vk) {
    if (vk == vk_backspace) {
        if (f.length > 0) f.text_buffer[--f.length] = '\0';
        return true;
    }
    if (!is_field_character(vk)) return false;
    if (f.length < kTextFieldMaxLength) {
        f.text_buffer[f.length++] = static_cast<char>(vk);
        f.text_buffer[f.length] = '\0';
    }
    return true;
}

bool handle_text_field(TextField& f, const Message& msg, int cx, int cy) {
    const int bx = widget_screen_x(f);
    const int by = widget_screen_y(f);
    f.hit_rect = {bx, by, bx + kCell * f.cells, by + kCell};
    if (is_press(msg.id)) {
        if (!rect_contains(f.hit_rect, cx, cy)) return false;
        f.focused = !f.focused;
        return true;
    }
    if (msg.id == msg_key_down && f.focused) return field_key(f, msg.wparam);
    return false;
}

bool handle_widget(Widget& w, const Message& msg, int cx, int cy) {
    if (!reachable(w)) return false;
    switch (w.kind) {
        case widget_button:
            return handle_button(static_cast<Button&>(w), msg, cx, cy);
        case widget_check_box:
            return handle_check_box(static_cast<CheckBox&>(w), msg, cx, cy);
        case widget_scroll_bar:
            return handle_scroll_bar(static_cast<ScrollBar&>(w), msg, cx, cy);
        case widget_list_box:
            return handle_list_box(static_cast<ListBox&>(w), msg, cx, cy);
        case widget_text_field:
            return handle_text_field(static_cast<TextField&>(w), msg, cx, cy);
        case widget_label:
            return false;
    }
    return false;
}

}  // namespace

bool rect_contains(const IntRect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

void Label::set_text(const char* new_text) {
    copy_cut(text, new_text);
}

void ScrollBar::set_range(int32_t new_minimum, int32_t new_maximum) {
    minimum = new_minimum;
    maximum = new_maximum;
}

int32_t ScrollBar::thumb_offset() const {
    if (maximum == minimum) return 0;
    return track_length(*this) * pos / (maximum - minimum);
}

void ListBox::add_item(const char* text, const void* data) {
    ListItem item;
    copy_cut(item.text, text);
    item.data = data;
    items.insert(items.begin(), item);
}

void ListBox::clear() {
    items.clear();
}

const ListItem* ListBox::selected_item() const {
    if (selected < 1 || selected > count()) return nullptr;
    return &items[static_cast<size_t>(selected - 1)];
}

void TextField::text(char* out, int out_size) const {
    copy_cut(out, out_size, text_buffer);
}

void Dialog::init(float new_x, float new_y, const char* new_title, float new_width,
                  float new_height) {
    copy_cut(title, new_title);
    width = new_width;
    height = new_height;
    set_position(new_x, new_y);
}

void Dialog::set_position(float new_x, float new_y) {
    x = new_x;
    y = new_y;
    title_rect = {static_cast<int32_t>(x), static_cast<int32_t>(y - kTitleHeight),
                  static_cast<int32_t>(x + width), static_cast<int32_t>(y)};
}

void Dialog::set_position_on_screen(float wanted_x, float wanted_y, int screen_width,
                                    int screen_height) {
    const float grip = std::min(kTitleGrip, width);
    const float left = grip - width;
    const float right = std::max(left, static_cast<float>(screen_width) - grip);
    const float top = kTitleHeight;
    const float bottom = std::max(top, static_cast<float>(screen_height));
    set_position(std::clamp(wanted_x, left, right), std::clamp(wanted_y, top, bottom));
}

template <typename W>
W* Dialog::add(uint32_t id, float wx, float wy) {
    auto widget = std::make_unique<W>();
    W* raw = widget.get();
    raw->kind = W::widget_kind;
    raw->id = id;
    raw->owner = this;
    raw->x = wx;
    raw->y = wy;
    nodes_.push_back(std::move(widget));
    return raw;
}

Button* Dialog::add_button(uint32_t id, const char* text, const char* texture_name,
                           const IntRect* source, float bx, float by, ButtonStyle style) {
    if (style == style_image && source == nullptr) return nullptr;
    Button* b = add<Button>(id, bx, by);
    b->style = style;
    copy_cut(b->text, text);
    if (style == style_image) {
        b->source = *source;
        b->width = static_cast<float>(source->right - source->left);
        b->height = static_cast<float>(source->bottom - source->top);
        copy_cut(b->image, texture_name);
    }
    return b;
}

CheckBox* Dialog::add_check_box(uint32_t id, float cx, float cy) {
    CheckBox* c = add<CheckBox>(id, cx, cy);
    c->width = c->height = kCheckBoxSize;
    return c;
}

Label* Dialog::add_label(uint32_t id, const char* text, float lx, float ly) {
    Label* l = add<Label>(id, lx, ly);
    l->set_text(text);
    return l;
}

ScrollBar* Dialog::add_scroll_bar(uint32_t id, float sx, float sy, int32_t cells) {
    ScrollBar* s = add<ScrollBar>(id, sx, sy);
    s->cells = cells;
    s->set_range(0, kScrollDefaultMaximum);
    s->pos = 0;
    return s;
}

ListBox* Dialog::add_list_box(uint32_t id, float lx, float ly, int32_t rows, int32_t columns) {
    ListBox* l = add<ListBox>(id, lx, ly);
    l->rows = rows;
    l->columns = columns;
    return l;
}

TextField* Dialog::add_text_field(uint32_t id, float fx, float fy, int32_t cells) {
    TextField* f = add<TextField>(id, fx, fy);
    f->cells = cells;
    return f;
}

Widget* Dialog::find(uint32_t id) const {
    for (int i = 0; i < widget_count(); ++i) {
        if (widget_newest_first(i).id == id) return &widget_newest_first(i);
    }
    return nullptr;
}

bool Dialog::handle_message(const Message& msg, int cx, int cy) {
    if (msg.id == msg_mouse_move && dragging) {
        set_position(static_cast<float>(drag_dx + cx), static_cast<float>(drag_dy + cy));
        return true;
    }
    if (msg.id == msg_lbutton_down && rect_contains(title_rect, cx, cy)) {
        dragging = true;
        drag_dx = static_cast<int32_t>(x - static_cast<float>(cx));
        drag_dy = static_cast<int32_t>(y - static_cast<float>(cy));
        return true;
    }
    if (msg.id == msg_lbutton_up && dragging) {
        dragging = false;
        drag_dx = drag_dy = 0;
        return true;
    }
    // Only the widget under the cursor stays lit: the move that lights one stops there.
    if (msg.id == msg_mouse_move) {
        for (const auto& node : nodes_) node->hover = false;
    }
    for (int i = 0; i < widget_count(); ++i) {
        if (handle_widget(widget_newest_first(i), msg, cx, cy)) return true;
    }
    return false;
}

Widget& Dialog::widget_newest_first(int i) const {
    TORVI_ASSERT(i >= 0 && i < widget_count(), "a widget index runs 0..widget_count() - 1");
    return *nodes_[nodes_.size() - 1 - static_cast<size_t>(i)];
}

void set_visible(Widget* widget, bool visible) {
    if (widget != nullptr) widget->visible = visible;
}

void show_widget(const Dialog& dialog, uint32_t id, bool visible) {
    set_visible(dialog.find(id), visible);
}

namespace {

template <typename W>
W* find_kind(const Dialog& dialog, uint32_t id) {
    Widget* widget = dialog.find(id);
    return widget && widget->kind == W::widget_kind ? static_cast<W*>(widget) : nullptr;
}

}  // namespace

Button* button_at(const Dialog& dialog, int cx, int cy) {
    for (int i = 0; i < dialog.widget_count(); ++i) {
        Widget& w = dialog.widget_newest_first(i);
        if (w.kind != widget_button || !reachable(w)) continue;
        auto& button = static_cast<Button&>(w);
        if (rect_contains(button_rect(button), cx, cy)) return &button;
    }
    return nullptr;
}

ListBox* find_list_box(const Dialog& dialog, uint32_t id) {
    return find_kind<ListBox>(dialog, id);
}
ScrollBar* find_scroll_bar(const Dialog& dialog, uint32_t id) {
    return find_kind<ScrollBar>(dialog, id);
}
TextField* find_text_field(const Dialog& dialog, uint32_t id) {
    return find_kind<TextField>(dialog, id);
}
Label* find_label(const Dialog& dialog, uint32_t id) {
    return find_kind<Label>(dialog, id);
}

void pair_scroll_bar(const Dialog& dialog, uint32_t bar_id, uint32_t list_id) {
    ScrollBar* bar = find_scroll_bar(dialog, bar_id);
    ListBox* list = find_list_box(dialog, list_id);
    if (!bar || !list) return;
    bar->set_range(0, list->count());
    list->set_first_visible(bar->position() + 1);
}

int widget_screen_x(const Widget& w) {
    const float dialog_x = w.owner != nullptr ? w.owner->x : 0.0f;
    return static_cast<int>(dialog_x + w.x);
}

int widget_screen_y(const Widget& w) {
    const float dialog_y = w.owner != nullptr ? w.owner->y : 0.0f;
    return static_cast<int>(dialog_y + w.y);
}

void send_command(const Widget& w, uint32_t command_id) {
    if (w.owner != nullptr && w.owner->sink != nullptr) w.owner->sink->send_command(command_id);
}
