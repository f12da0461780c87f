// A strict look at a .wav file before the mixer decodes it: plain PCM only, every chunk
// inside the file, so a damaged or hostile file is refused with its reason.
#pragma once

#include <cstddef>
#include <cstdint>

// Sound files are short effects; anything larger is no sound of this game.
constexpr size_t kWavFileSizeLimit = size_t{4} << 20;

struct WavInfo {
    bool ok = false;
    const char* error = "";  // why it was refused
    int channels = 0, rate = 0, bits = 0;
    size_t frames = 0;  // sample frames in the data chunk
};

// RIFF/WAVE with a PCM "fmt " chunk (1 or 2 channels, 8 or 16 bits, 8000..96000 Hz)
// before a "data" chunk of whole frames; chunks may not run past the file.
WavInfo check_wav(const uint8_t* data, size_t size);
