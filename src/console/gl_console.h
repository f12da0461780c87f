// The console's font and drawing, and the GUI font, on the renderer.
#pragma once

#include "render/gl_font.h"
#include "render/gl_renderer.h"

// Reads the console settings, creates the console font and the lines, and the GUI font
// ("Tahoma", height 10, bold). Called once by the device set-up.
void console_device_init(Renderer& device);

// The console's font: status labels use it too. Null until set up or when it failed.
Font* console_font();
// The GUI font of the dialogs.
Font* gui_font();

// Draws every console line at its place in its colour.
void console_draw(Renderer& device);
