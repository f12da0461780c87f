// Building and drawing the game's dialogs on the renderer.
#pragma once

#include "gui/game_dialogs.h"

// Sets up the widget drawing, then builds the menu, settings, join and create dialogs.
// Once at start-up, after the textures.
void build_game_dialogs(GameDialogs& dialogs, ControlTable& controls);

// Draws the menu in the menu modes and the open dialog, through the frame's hooks.
void install_dialog_drawing();
