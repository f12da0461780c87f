// The console's drawing, and the set-up of the two fonts it and the dialogs write in.
#pragma once

#include "console/console.h"
#include "render/gl_font.h"
#include "render/gl_renderer.h"

// Reads the console settings and allocates the lines, then creates the console font (its
// face and size from the settings) and the GUI font ("Tahoma", height 10, bold). Once, by
// the device set-up.
void console_device_init(Console& console, Fonts& fonts, const Renderer& device,
                         const Settings& settings);

// Draws every console line at its place in its colour; nothing without a font.
void console_draw(const Console& console, Font* font);
