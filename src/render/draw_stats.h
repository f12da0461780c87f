// Counts the draw calls sent to the graphics device, for the frame benchmark.
#pragma once

#include <cstdint>

struct DrawStats {
    uint64_t draw_calls = 0;
};

DrawStats& draw_stats();

inline void count_draw_call() { ++draw_stats().draw_calls; }
