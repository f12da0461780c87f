// The game's sound effects, synthesised: the same bytes on every run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct NamedSound {
    std::string file;          // under Data/sounds/
    std::vector<uint8_t> wav;  // 22050 Hz, mono, 16-bit PCM
    double seconds;
    double peak_dbfs;
};

std::vector<NamedSound> all_sounds();
