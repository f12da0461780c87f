// Bold comic lettering from a small hand-made stroke font (capitals and '!').
#pragma once

#include <string>

#include "canvas.h"

struct LetteringStyle {
    float height;   // letter height in pixels
    float weight;   // stroke half-width as a share of the height
    float slant;    // shear to the right per unit of height
    float wobble;   // turn of alternate letters, radians
    float spacing;  // gap between letters as a share of the height
};

// The shape of a word centred on a point; letters the font lacks are left out.
Shape word_shape(const std::string& text, Pt centre, const LetteringStyle& style);

// Width of the word in pixels.
float word_width(const std::string& text, const LetteringStyle& style);
