#include "platform/sdl_image_file.h"

#include <SDL_image.h>

#include "platform/atomic_file.h"
#include "platform/image_header.h"

namespace {

// A 4096 x 4096 PNG of noise stays below this.
constexpr size_t kImageFileSizeLimit = size_t{80} << 20;

}  // namespace

SurfacePtr load_image_file(const char* path, int max_side, std::string& why) {
    std::string bytes;
    const FileRead read = read_whole_file(path, kImageFileSizeLimit, bytes);
    if (read.status != read_ok) {
        why = read.longer ? "larger than 80 MiB" : file_error_text(read.error);
        return nullptr;
    }
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const ImageHeader header = read_image_header(data, bytes.size());
    if (const char* refusal = image_refusal(header, max_side)) {
        why = refusal;
        if (header.width > max_side || header.height > max_side) {
            why += " (" + std::to_string(header.width) + " x " + std::to_string(header.height) +
                   ", more than " + std::to_string(max_side) + " a side)";
        }
        return nullptr;
    }
    SurfacePtr image(IMG_Load_RW(SDL_RWFromConstMem(data, static_cast<int>(bytes.size())), 1));
    if (!image) why = IMG_GetError();
    return image;
}
