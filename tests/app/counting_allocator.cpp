#include "app/counting_allocator.h"

#include <cstdlib>
#include <new>

namespace {

bool counting = false;
long allocations = 0;

}  // namespace

void start_counting_allocations() {
    allocations = 0;
    counting = true;
}

long stop_counting_allocations() {
    counting = false;
    return allocations;
}

// The library's array forms come here.
void* operator new(size_t size) {
    if (counting) ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
