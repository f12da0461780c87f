// The game's one projection, which picking needs without a graphics device.
#pragma once

#include "math/math3d.h"

// A quarter-turn-wide left-handed perspective for a width x height back buffer, depth
// from 1 to 1500.
Matrix game_projection(int width, int height);
