// Any bytes read as an image header: the sides are never negative, a picture accepted lies
// within its bound, and once a header is read whole, bytes after it change nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/image_header.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

constexpr int kMaxSide = 4096;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Exactly size bytes, so a read past them is caught.
    const std::vector<unsigned char> bytes(data, data + size);
    const ImageHeader header = read_image_header(bytes.data(), bytes.size());
    check(header.width >= 0 && header.height >= 0);
    if (image_refusal(header, kMaxSide) == nullptr) {
        check(header.format != image_unknown);
        check(header.width >= 1 && header.width <= kMaxSide);
        check(header.height >= 1 && header.height <= kMaxSide);
    }
    if (header.width > 0 && header.height > 0) {
        std::vector<unsigned char> longer(bytes);
        longer.resize(bytes.size() + 64, 0xA5);
        const ImageHeader again = read_image_header(longer.data(), longer.size());
        check(again.format == header.format && again.width == header.width &&
              again.height == header.height);
    }
    return 0;
}
