// What the game is drawn with, one frame of it by top-level mode, and the pick ray under
// the mouse cursor.
#pragma once

#include "app/game.h"
#include "effects/gl_effects.h"
#include "gui/gl_widgets.h"
#include "map/gl_terrain.h"
#include "render/gl_font.h"
#include "render/gl_renderer.h"
#include "render/picking.h"
#include "skeleton/gl_characters.h"

// The graphics side of a game: the device with its textures, the fonts, and what each
// part draws with. Large (the terrain's vertex batch): make it on the heap.
struct Screen {
    Renderer device;
    Fonts fonts;
    CharacterAssets characters;
    BoneMarkerAssets markers;
    TerrainResources terrain;
    EffectDrawing effects;
    WidgetDrawing widgets;
};

constexpr uint32_t kPlayClearColour = 0x00202020;
constexpr uint32_t kMenuClearColour = 0xFFFFFFFF;

// Draws one frame into the back buffer for the game's mode: in play the map, the
// characters, the effects, the health ring and the console from the camera following the
// local player; in the menu modes the white backdrop with the health model and the
// console (the editor's view instead when it is open), then the menu and the open dialog.
// A replay's viewer may follow another player than the local one. Drawing only reads the
// game; presenting is the window's work.
void render_frame(Screen& screen, const Game& game);

// The ray from the eye through the mouse cursor, in world space.
Ray cursor_ray(const Renderer& device, const KeyState& keys);
