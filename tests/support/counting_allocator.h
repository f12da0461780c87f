// Counts the heap allocations made between start and stop; this test program's operator new
// does the counting.
#pragma once

void start_counting_allocations();
// The allocations since start.
long stop_counting_allocations();
