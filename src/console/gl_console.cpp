#include "console/gl_console.h"

namespace {

constexpr char kGuiFontFace[] = "Tahoma";
constexpr int kGuiFontHeight = 10;
constexpr bool kBold = true;
// Each line has a dark shadow one pixel down and right, so white text reads on the white
// menu as well as on the map.
constexpr uint32_t kShadowRgb = 0x000000;
constexpr float kShadowOffset = 1.0f;

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
        const auto x = static_cast<float>(at.x), y = static_cast<float>(at.y);
        const uint32_t shadow = (line->colour & 0xFF000000u) | kShadowRgb;
        font->draw_text(x + kShadowOffset, y + kShadowOffset, shadow, line->text);
        font->draw_text(x, y, line->colour, line->text);
    }
}
