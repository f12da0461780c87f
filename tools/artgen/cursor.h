// The mouse cursor as a Windows .cur file.
#pragma once

#include <cstdint>
#include <vector>

// A 32 x 32 arrow, 32-bit colour with an AND mask, its hotspot at the tip (0, 0).
std::vector<uint8_t> arrow_cursor_file();
