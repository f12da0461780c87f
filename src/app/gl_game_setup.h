// Wires the renderer, the console, the textures, the characters, the terrain and the
// effects into the start-up steps and the ticks.
#pragma once

// Fills startup_hooks() and tick_hooks(). Call once before run_game.
void install_game_hooks();

// The start-up steps on their own, for tests that set up the game without the loop.
// setup_game_device needs a current GL context; the back buffer is its drawable size.
void setup_game_device();
void setup_game_shaders();
