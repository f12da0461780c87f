// The console: a fixed number of text lines over the picture that fade out on their own.
//
// A new message pushes the oldest line out. The lines are allocated once at set-up; printing
// and fading reuse them. The drawing code asks for each line's text, colour and pixel
// position and draws it in the console font (face settings.font, height settings.size).
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "config/settings.h"

constexpr size_t kConsoleLineSize = 256;  // 255 characters and the terminating zero
// A textlines setting is clamped to 0..kMaxConsoleLines: far more lines than any screen
// shows, and small enough that a damaged setting cannot ask for a huge allocation.
constexpr int kMaxConsoleLines = 256;
constexpr int32_t kConsoleMaxAge = 255;  // ticks until a line is fully transparent
constexpr uint32_t kConsoleNewLineColour = 0xFF000000;

struct ConsoleLine {
    char text[kConsoleLineSize];
    int32_t age;      // ticks the line has faded for, 0..255
    uint32_t colour;  // ARGB; alpha is 255 - age
    int32_t hold;     // ticks the line stays opaque before it starts to fade
};

struct ConsoleSettings {
    int posx, posy;  // pixel position of the first line
    int size;        // font height
    char font[kConsoleFontBufferSize];
};

struct Console {
    ConsoleSettings settings{};
    std::vector<ConsoleLine> storage;  // sized once by console_lines_init
    std::vector<ConsoleLine*> lines;   // lines[0] the oldest (top), the last the newest
};

// Reads posx, posy, size and font from the console section of the settings.
void console_init(Console& c, const Settings& settings);

// Reads textlines from the settings and allocates that many lines (clamped).
void console_lines_init(Console& c, const Settings& settings);

// Allocates textlines lines (clamped to 0..kMaxConsoleLines), each empty, age 0, colour
// 0xFF000000. Only for set-up: it allocates.
void console_lines_init(Console& c, int textlines);

// Formats the message (cut at 255 characters) into the oldest line's buffer and moves that
// line to the bottom, with the colour and age 0. With no lines it does nothing.
void console_print(Console& c, uint32_t colour, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
void console_vprint(Console& c, uint32_t colour, const char* format, va_list args);

// The newest line stays opaque for ticks more before it fades: for lines a player must not
// miss.
void console_hold_newest(Console& c, int32_t ticks);

// One 10 ms tick: a held line counts its hold down; every other line ages by one until 255, after
// which its text is cleared; the alpha of its colour follows as 255 - age.
void console_fade(Console& c);

// Whether a line is fading out, so the console looks different at the next tick (a held
// line does not change).
bool console_fading(const Console& c);

int console_line_count(const Console& c);

// Line i from the top; nullptr outside 0..count-1.
const ConsoleLine* console_line(const Console& c, int i);

struct ConsolePixel {
    int x, y;
};

// Where line i is drawn: x = posx + 4, y = posy + i * (size + 4), clamped to the int range.
ConsolePixel console_line_position(const ConsoleSettings& settings, int i);
