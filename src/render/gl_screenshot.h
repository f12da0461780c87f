// Reading the back buffer back, for screenshots and rendering tests, and saving it as PNG.
#pragma once

#include <cstdint>
#include <vector>

// width x height RGBA8 pixels of the back buffer, top row first.
std::vector<uint8_t> read_back_buffer(int width, int height);
// The same into rgba (width * height * 4 bytes), with no allocation.
void read_back_buffer(int width, int height, uint8_t* rgba);

class Screenshot {
  public:
    // Reads the current back buffer (width x height pixels) and writes it top row first.
    // False, with a line on stderr, when the file cannot be written.
    bool save(const char* path, int width, int height);

  private:
    std::vector<unsigned char> pixels_;  // kept: a second shot of the same size allocates nothing
};
