#include "console/console.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kLineMargin = 4;  // pixels left of every line and between lines

int clamp_line_count(int textlines) {
    if (textlines < 0) return 0;
    return textlines > kMaxConsoleLines ? kMaxConsoleLines : textlines;
}

int clamp_to_int(long long v) {
    if (v > INT_MAX) return INT_MAX;
    return v < INT_MIN ? INT_MIN : static_cast<int>(v);
}

uint32_t with_alpha(uint32_t colour, int32_t age) {
    const uint32_t alpha = static_cast<uint32_t>(kConsoleMaxAge - age);
    return (colour & 0x00FFFFFFu) | alpha << 24;
}

}  // namespace

void console_init(Console& c, const Settings& settings) {
    c.settings.posx = read_setting_int(settings, kSectionConsole, kKeyPosx);
    c.settings.posy = read_setting_int(settings, kSectionConsole, kKeyPosy);
    c.settings.size = read_setting_int(settings, kSectionConsole, kKeySize);
    read_setting_string(settings, kSectionConsole, kKeyFont, c.settings.font,
                        sizeof c.settings.font);
}

void console_lines_init(Console& c, const Settings& settings) {
    console_lines_init(c, read_setting_int(settings, kSectionConsole, kKeyTextlines));
}

void console_lines_init(Console& c, int textlines) {
    const int n = clamp_line_count(textlines);
    ConsoleLine empty;
    std::memset(empty.text, 0, sizeof empty.text);
    empty.age = 0;
    empty.colour = kConsoleNewLineColour;
    empty.hold = 0;
    c.storage.assign(static_cast<size_t>(n), empty);
    c.lines.resize(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) c.lines[i] = &c.storage[i];
}

void console_vprint(Console& c, uint32_t colour, const char* format, va_list args) {
    if (c.lines.empty()) return;
    // Formatted apart first: an argument may be the text of the line about to be reused.
    char message[kConsoleLineSize];
    std::vsnprintf(message, sizeof message, format, args);

    ConsoleLine* reused = c.lines.front();
    for (size_t i = 0; i + 1 < c.lines.size(); ++i) c.lines[i] = c.lines[i + 1];
    c.lines.back() = reused;

    std::memset(reused->text, 0, sizeof reused->text);
    std::memcpy(reused->text, message, std::strlen(message));
    reused->colour = colour;
    reused->age = 0;
    reused->hold = 0;
}

void console_print(Console& c, uint32_t colour, const char* format, ...) {
    va_list args;
    va_start(args, format);
    console_vprint(c, colour, format, args);
    va_end(args);
}

void console_hold_newest(Console& c, int32_t ticks) {
    if (!c.lines.empty()) c.lines.back()->hold = ticks > 0 ? ticks : 0;
}

void console_fade(Console& c) {
    for (ConsoleLine* line : c.lines) {
        if (line->hold > 0) {
            --line->hold;
        } else if (line->age < kConsoleMaxAge) {
            line->age += 1;
        } else if (line->text[0] != '\0') {
            std::memset(line->text, 0, sizeof line->text);
        }
        line->colour = with_alpha(line->colour, line->age);
    }
}

bool console_fading(const Console& c) {
    for (const ConsoleLine* line : c.lines) {
        if (line->text[0] != '\0' && line->hold == 0 && line->age < kConsoleMaxAge) return true;
    }
    return false;
}

int console_line_count(const Console& c) {
    return static_cast<int>(c.lines.size());
}

const ConsoleLine* console_line(const Console& c, int i) {
    if (i < 0 || i >= console_line_count(c)) return nullptr;
    return c.lines[static_cast<size_t>(i)];
}

ConsolePixel console_line_position(const ConsoleSettings& settings, int i) {
    const long long step = static_cast<long long>(settings.size) + kLineMargin;
    return {clamp_to_int(static_cast<long long>(settings.posx) + kLineMargin),
            clamp_to_int(static_cast<long long>(settings.posy) + i * step)};
}
