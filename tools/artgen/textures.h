// Every texture image of the game, by its configured name.
#pragma once

#include <string>
#include <vector>

#include "canvas.h"

struct NamedTexture {
    std::string name;  // the texture's ID; its file is Data/textures/<name>.png
    Canvas image;
};

// All textures in the order of the texture configuration.
std::vector<NamedTexture> all_textures();

// Data/textures.cfg for the given textures.
std::string texture_config_text(const std::vector<NamedTexture>& textures);

// One picture of all textures side by side, for looking them over.
Canvas texture_sheet(const std::vector<NamedTexture>& textures);

// --- the pictures, grouped by where they are drawn ---------------------------------
// Head and body skins are wrapped around the piece with the front (-Z) at the middle
// column and the top at the top row.
Canvas zombie_head();
Canvas zombie_body();
Canvas pirate_head();
Canvas pirate_body();
Canvas ninja_body();
Canvas robot_head();
Canvas robot_body();

Canvas health_bar_segments();  // "balken"
Canvas health_ring();          // "ring"
Canvas comic_word(const char* word);
Canvas shell_skin();
Canvas gamepad_icons();
