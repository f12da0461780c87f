// The application icon the desktop shows in its menus: a comic burst behind a toon head.
#pragma once

#include "canvas.h"

// The icon drawn at size x size pixels, shapes scaled so every size looks alike.
Canvas game_icon(int size);
