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

// Every plain form is replaced, nothrow ones included, so whatever a library allocates
// with one form and frees with another stays on malloc and free. The aligned forms are left
// to the runtime as a whole.
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    if (counting) ++allocations;
    return std::malloc(size ? size : 1);
}
void* operator new(size_t size) {
    if (void* p = operator new(size, std::nothrow)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) {
    return operator new(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return operator new(size, std::nothrow);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
