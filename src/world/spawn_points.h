// Where joined players start: a point of its own for each client slot near the host's start,
// far enough apart that no two figures overlap, inside the map and clear of the box.
#pragma once

#include "math/math3d.h"

// Slots 1..11 each have their point; any other slot starts at the origin.
Vec3 spawn_point(int slot);
