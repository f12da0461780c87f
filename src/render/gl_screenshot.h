// Reading the back buffer back, for screenshots and rendering tests.
#pragma once

#include <cstdint>
#include <vector>

// width x height RGBA8 pixels of the back buffer, top row first.
std::vector<uint8_t> read_back_buffer(int width, int height);
// The same into rgba (width * height * 4 bytes), with no allocation.
void read_back_buffer(int width, int height, uint8_t* rgba);
