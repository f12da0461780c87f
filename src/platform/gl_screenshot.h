// Saving the back buffer as a PNG file.
#pragma once
#include <cstddef>
#include <vector>

class Screenshot {
  public:
    // Reads the current back buffer (width x height pixels) and writes it top row first.
    // False, with a line on stderr, when the file cannot be written.
    bool save(const char* path, int width, int height);

  private:
    std::vector<unsigned char> pixels_;  // kept: a second shot of the same size allocates nothing
};
