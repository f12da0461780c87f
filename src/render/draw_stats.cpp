#include "render/draw_stats.h"

DrawStats& draw_stats() {
    static DrawStats stats;
    return stats;
}
