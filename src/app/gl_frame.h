// One frame of the game by top-level mode, and the pick ray under the mouse cursor.
#pragma once

#include "app/modes.h"
#include "render/gl_renderer.h"
#include "render/picking.h"

// What the menu frame draws on top of its backdrop, filled in by the dialogs and the
// editor when they exist. An empty hook draws nothing.
struct FrameHooks {
    void (*editor_frame)() = nullptr;              // the map and pose editors' views
    void (*menu_dialog)() = nullptr;               // the main menu
    void (*open_dialog[kDialogModeCount])() = {};  // by DialogMode (index 0 unused)
};

// The process-wide hooks.
FrameHooks& frame_hooks();

constexpr uint32_t kPlayClearColour = 0x00202020;
constexpr uint32_t kMenuClearColour = 0xFFFFFFFF;

// Draws one frame into the back buffer for the shell's mode: in play the map, the
// characters, the effects, the health ring and the console from the camera following the
// local player; in the menu modes the white backdrop with the health model and the
// console (the editor's frame instead when it is open), then the dialogs. Any other mode
// draws nothing. Presenting is the window's work.
void render_frame(Renderer& device);
// The same on the process-wide renderer: the frame tick.
void render_frame();

// The ray from the eye through the mouse cursor, in world space.
Ray cursor_ray(const Renderer& device);
Ray cursor_ray();
