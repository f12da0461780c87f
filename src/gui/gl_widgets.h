// Drawing a dialog and its widgets with the "shell" skin, the GUI font and sprites.
#pragma once

#include "gui/widgets.h"
#include "render/gl_font.h"
#include "render/gl_renderer.h"
#include "render/gl_sprite.h"

struct WidgetDrawing {
    SpriteBatch batch;
    const Texture* skin = nullptr;
    bool ready = false;
};

// Looks up "shell" and sets up the sprite batch. Once, after the textures.
void widgets_device_init(WidgetDrawing& drawing, Renderer& device);

// The frame, title and every visible widget, newest first, in back-buffer pixels; texts
// in font (none when null).
void draw_dialog(const Renderer& device, WidgetDrawing& drawing, Font* font, const Dialog& dialog);
