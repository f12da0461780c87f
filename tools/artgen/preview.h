// Preview pictures of the art as the game puts it together, for looking it over.
#pragma once

#include "canvas.h"
#include "textures.h"

// The health ring at full and at low health, drawn the way the game turns its segments.
Canvas health_ring_preview(const std::vector<NamedTexture>& textures);

// The four elements assembled in their skins, in the default pose and in the key poses.
Canvas character_preview(const std::vector<NamedTexture>& textures);
