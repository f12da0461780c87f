// Counts the heap allocations made between start and stop, through a replaced operator new.
#pragma once

void start_counting_allocations();
// The allocations since start.
long stop_counting_allocations();
