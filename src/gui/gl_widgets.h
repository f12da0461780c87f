// Drawing a dialog and its widgets with the "shell" skin, the GUI font and sprites.
#pragma once

#include "gui/widgets.h"
#include "render/gl_renderer.h"

// Looks up "shell" and sets up the sprite batch. Once, after the textures and fonts.
void widgets_device_init(Renderer& device);

// The frame, title and every visible widget, newest first, in back-buffer pixels.
void draw_dialog(Renderer& device, const Dialog& dialog);
