// The game's own widget set: movable dialogs with a skinned frame holding buttons, check
// boxes, labels, scroll bars, list boxes and one-line text fields. Plain logic: state,
// hit rectangles and message handling. Drawing is gl_widgets.h.
//
// Screen pixels, origin top left, y down. A widget's x, y are relative to its dialog's
// body corner. Hit rectangles are left/top inclusive, right/bottom exclusive.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/message.h"

constexpr int kWidgetTextSize = 80;    // titles, button, label and field texts, with the zero
constexpr int kListItemTextSize = 92;  // list item texts, with the zero
constexpr int kTextFieldMaxLength = kWidgetTextSize - 1;

struct IntRect {
    int32_t left, top, right, bottom;
};
bool rect_contains(const IntRect& r, int x, int y);

enum WidgetKind : int32_t {
    widget_button = 1,
    widget_check_box = 2,
    widget_label = 3,
    widget_scroll_bar = 4,
    widget_list_box = 5,
    widget_text_field = 6,
};

enum ButtonStyle : int32_t { style_text = 1, style_image = 2 };

class Dialog;

// Where widgets report activation: the GUI command message to the main window.
class CommandSink {
  public:
    virtual ~CommandSink() = default;
    virtual void send_command(uint32_t command_id) = 0;
};

struct Widget {
    virtual ~Widget() = default;
    WidgetKind kind = widget_label;  // set by Dialog::add from the class
    bool visible = true;
    bool hover = false;
    float x = 0, y = 0, width = 0, height = 0;
    IntRect hit_rect{};
    Dialog* owner = nullptr;
    uint32_t id = 0;
    bool enabled = true;
};

struct Button : Widget {
    static constexpr WidgetKind widget_kind = widget_button;
    bool pressed = false;
    char image[32] = {};  // texture name of an image button
    IntRect source{};     // its source rectangle in that texture
    char text[kWidgetTextSize] = {};
    ButtonStyle style = style_text;
    bool warn = false;  // drawn in the warning colour; its dialog says when
};

struct CheckBox : Widget {
    static constexpr WidgetKind widget_kind = widget_check_box;
    bool pressed = false;
    bool checked = false;
};

struct Label : Widget {
    static constexpr WidgetKind widget_kind = widget_label;
    char text[kWidgetTextSize] = {};
    void set_text(const char* text);  // cut to fit, never past the buffer
};

struct ScrollBar : Widget {
    static constexpr WidgetKind widget_kind = widget_scroll_bar;
    int32_t cells = 0;  // length in 16-pixel cells
    int32_t pos = 0, minimum = 0, maximum = 8;
    int32_t grab_x = 0, grab_y = 0;
    bool up_pressed = false, down_pressed = false, dragging = false;
    void set_range(int32_t minimum, int32_t maximum);
    int32_t position() const { return pos; }
    // Offset of the thumb below the top of the first track cell, in pixels.
    int32_t thumb_offset() const;
};

struct ListItem {
    char text[kListItemTextSize] = {};
    const void* data = nullptr;  // the owner's reference; the list never reads it
};

struct ListBox : Widget {
    static constexpr WidgetKind widget_kind = widget_list_box;
    int32_t rows = 0, columns = 0;  // size in 16-pixel cells
    int32_t first_visible = 1;      // 1-based item number in the top row
    int32_t selected = 1;           // 1-based item number
    std::vector<ListItem> items;    // items[0] is the newest (item number 1)
    void add_item(const char* text, const void* data = nullptr);
    void clear();
    int32_t count() const { return static_cast<int32_t>(items.size()); }
    void set_first_visible(int32_t n) { first_visible = n; }
    const ListItem* selected_item() const;  // null when selected is past the end
};

struct TextField : Widget {
    static constexpr WidgetKind widget_kind = widget_text_field;
    int32_t cells = 0;
    char text_buffer[kWidgetTextSize] = {};
    bool focused = false;
    int32_t length = 0;
    void text(char* out, int out_size) const;
};

// The command id labels share: they never send commands.
constexpr uint32_t kLabelCommand = 15;

class Dialog {
  public:
    void init(float x, float y, const char* title, float width, float height);
    void set_position(float x, float y);
    // The position nearest (x, y) at which the whole title bar height and at least a
    // grip's width of it lie on a screen of that size: it can always be dragged back.
    void set_position_on_screen(float x, float y, int screen_width, int screen_height);

    Button* add_button(uint32_t id, const char* text, const char* texture_name,
                       const IntRect* source, float x, float y, ButtonStyle style);
    CheckBox* add_check_box(uint32_t id, float x, float y);
    Label* add_label(uint32_t id, const char* text, float x, float y);
    ScrollBar* add_scroll_bar(uint32_t id, float x, float y, int32_t cells);
    ListBox* add_list_box(uint32_t id, float x, float y, int32_t rows, int32_t columns);
    TextField* add_text_field(uint32_t id, float x, float y, int32_t cells);

    // The widget of the newest node with that id, null if none.
    Widget* find(uint32_t id) const;

    // True when the dialog or one of its widgets consumed the message. The cursor is
    // (cx, cy) in back-buffer pixels.
    bool handle_message(const Message& msg, int cx, int cy);

    // The widgets newest first: the order of drawing and dispatch.
    int widget_count() const { return static_cast<int>(nodes_.size()); }
    Widget& widget_newest_first(int i) const;

    char title[kWidgetTextSize] = {};
    float x = 0, y = 0, width = 1024, height = 768;
    IntRect title_rect{};
    int32_t drag_dx = 0, drag_dy = 0;
    bool dragging = false;
    CommandSink* sink = nullptr;  // where its widgets' commands go

  private:
    template <typename W>
    W* add(uint32_t id, float x, float y);
    std::vector<std::unique_ptr<Widget>> nodes_;  // in the order added
};

void set_visible(Widget* widget, bool visible);
// Shows or hides the dialog's widget with that id, if there is one.
void show_widget(const Dialog& dialog, uint32_t id, bool visible);

// The newest visible, enabled button whose hit rectangle holds (cx, cy); null if none.
Button* button_at(const Dialog& dialog, int cx, int cy);

// The dialog's widget with that id when it is of that kind; null otherwise.
ListBox* find_list_box(const Dialog& dialog, uint32_t id);
ScrollBar* find_scroll_bar(const Dialog& dialog, uint32_t id);
TextField* find_text_field(const Dialog& dialog, uint32_t id);
Label* find_label(const Dialog& dialog, uint32_t id);

// The toolkit does not link a list to the scroll bar beside it; after every message the
// dialog consumed, its owner makes the bar's range the list's length and scrolls the
// list to the bar.
void pair_scroll_bar(const Dialog& dialog, uint32_t bar_id, uint32_t list_id);

// The body-relative screen corner of a widget: (dialog x + widget x, dialog y + widget y),
// truncated.
int widget_screen_x(const Widget& w);
int widget_screen_y(const Widget& w);

// Sends the command to the sink of the widget's dialog at once; nothing without one.
void send_command(const Widget& w, uint32_t command_id);
