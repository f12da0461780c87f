#include "console/gl_console.h"

#include "console/console.h"

namespace {

constexpr char kGuiFontFace[] = "Tahoma";
constexpr int kGuiFontHeight = 10;
constexpr bool kBold = true;

struct ConsoleFonts {
    Font console;
    Font gui;
};

ConsoleFonts& fonts() {
    static ConsoleFonts both;
    return both;
}

Font* ready_or_null(Font& font) {
    return font.ready() ? &font : nullptr;
}

}  // namespace

void console_device_init(Renderer& device) {
    Console& c = console();
    console_init(c);
    console_lines_init(c);
    // Fresh fonts, so a failed creation leaves no font from an earlier set-up behind.
    ConsoleFonts& both = fonts();
    both.console = Font();
    both.gui = Font();
    both.console.create(device, c.settings.font, c.settings.size, kBold);
    both.gui.create(device, kGuiFontFace, kGuiFontHeight, kBold);
}

Font* console_font() {
    return ready_or_null(fonts().console);
}

Font* gui_font() {
    return ready_or_null(fonts().gui);
}

void console_draw(Renderer&) {
    Font* font = console_font();
    if (font == nullptr) return;
    const Console& c = console();
    const int count = console_line_count(c);
    for (int i = 0; i < count; ++i) {
        const ConsoleLine* line = console_line(c, i);
        if (line->text[0] == '\0') continue;  // an empty line draws nothing anyway
        const ConsolePixel at = console_line_position(c.settings, i);
        font->draw_text(static_cast<float>(at.x), static_cast<float>(at.y), line->colour,
                        line->text);
    }
}
