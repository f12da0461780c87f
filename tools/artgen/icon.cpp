#include "icon.h"

Canvas game_icon(int size) {
    Canvas c(size, size);
    const float s = size / 64.0f;  // drawn on a 64-pixel grid
    const Pt centre = {32 * s, 32 * s};
    c.fill_outlined(burst(centre, 20 * s, 31 * s, 12, 0.2f), rgb(0xFFD23C), 1.5f * s);
    // A ninja's head: dark hood, a skin band and two eyes, read even at 48 pixels.
    c.fill_outlined(circle({32 * s, 33 * s}, 15 * s), rgb(0x2B2D42), 1.5f * s);
    c.fill(rect(19 * s, 28 * s, 45 * s, 37 * s, 3 * s), rgb(0xF2C29B));
    c.fill(ellipse({26.5f * s, 32.5f * s}, 2.6f * s, 3.2f * s), kInk);
    c.fill(ellipse({37.5f * s, 32.5f * s}, 2.6f * s, 3.2f * s), kInk);
    c.fill(segment({22 * s, 26 * s}, {29 * s, 28.5f * s}, 1.2f * s), kInk);
    c.fill(segment({42 * s, 26 * s}, {35 * s, 28.5f * s}, 1.2f * s), kInk);
    return c;
}
