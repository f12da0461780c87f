#include "support/counting_allocator.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Other threads (the network's, the driver's) allocate while a test counts its own.
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

}  // namespace

void start_counting_allocations() {
    allocations = 0;
    counting = true;
}

long stop_counting_allocations() {
    counting = false;
    return allocations;
}

#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TORVI_NO_COUNTING  // its runtime owns operator new: nothing is counted there
#endif
#endif

#ifndef TORVI_NO_COUNTING

// The single-object forms, nothrow ones included, so whatever a library allocates with one
// and frees with another stays on malloc and free; the array forms come here through the
// standard library's own, or are left to a sanitizer's runtime as a whole.
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    if (counting) ++allocations;
    return std::malloc(size ? size : 1);
}
void* operator new(size_t size) {
    if (void* p = operator new(size, std::nothrow)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
#endif
