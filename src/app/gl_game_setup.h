// The graphics half of start-up: the device, the shaders, and every asset the frame draws,
// in the order the game starts them.
#pragma once

#include "app/gl_frame.h"
#include "platform/sdl_message_box.h"

// GL state and projection for the current context's back buffer, the console and the
// fonts. Needs a current GL context. Software rendering is warned of (a box as boxes allow,
// see warn_software_rendering).
void setup_game_device(Screen& screen, Game& game, const ErrorBoxes& boxes = {nullptr, true});
// The toon ramp and the two shaders.
void setup_game_shaders(Screen& screen, const Settings& settings);
// The texture configuration, the characters, the terrain, the world (initialise_world),
// the dialogs (listing gamepad's controllers), the bone markers and the effects.
void load_game(Screen& screen, Game& game, GamepadDevices* gamepad);
