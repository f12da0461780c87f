// Any bytes after a cursor file's first four bytes: its hot spot always lies inside the
// picture, and the sides of its images read as for any image header.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/image_header.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int width = data[0] % 65;  // the picture the decoder would have made
    const int height = data[1] % 65;
    std::vector<unsigned char> bytes = {0, 0, 2, 0};  // a cursor directory
    bytes.insert(bytes.end(), data + 2, data + size);
    const HotSpot spot = cursor_hot_spot(bytes.data(), bytes.size(), width, height);
    check(spot.x >= 0 && spot.y >= 0);
    check((spot.x == 0 && spot.y == 0) || (spot.x < width && spot.y < height));

    const ImageHeader header = read_image_header(bytes.data(), bytes.size());
    check(header.format == (bytes.size() >= 6 ? image_cursor : image_unknown));
    check(header.width >= 0 && header.height >= 0);
    check((header.width == 0) == (header.height == 0));
    return 0;
}
