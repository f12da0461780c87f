#include "console/gl_console.h"

namespace {

constexpr char kGuiFontFace[] = "Tahoma";
constexpr int kGuiFontHeight = 10;
constexpr bool kBold = true;

}  // namespace

void console_device_init(Console& console, Fonts& fonts, const Renderer& device,
                         const Settings& settings) {
    console_init(console, settings);
    console_lines_init(console, settings);
    // Fresh fonts, so a failed creation leaves no font from an earlier set-up behind.
    fonts.console = Font();
    fonts.gui = Font();
    fonts.console.create(device, console.settings.font, console.settings.size, kBold);
    fonts.gui.create(device, kGuiFontFace, kGuiFontHeight, kBold);
}

void console_draw(const Console& console, Font* font) {
    if (font == nullptr) return;
    const int count = console_line_count(console);
    for (int i = 0; i < count; ++i) {
        const ConsoleLine* line = console_line(console, i);
        if (line->text[0] == '\0') continue;  // an empty line draws nothing anyway
        const ConsolePixel at = console_line_position(console.settings, i);
        font->draw_text(static_cast<float>(at.x), static_cast<float>(at.y), line->colour,
                        line->text);
    }
}
