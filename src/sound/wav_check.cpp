#include "sound/wav_check.h"

#include <cstring>

namespace {

uint32_t u32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint16_t u16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

WavInfo refuse(const char* why) {
    WavInfo info;
    info.error = why;
    return info;
}

constexpr size_t kChunkHeader = 8;
constexpr size_t kFormatSize = 16;
constexpr uint16_t kPcm = 1;

bool read_format(const uint8_t* body, size_t size, WavInfo& info) {
    if (size < kFormatSize || u16(body) != kPcm) return false;
    info.channels = u16(body + 2);
    info.rate = static_cast<int>(u32(body + 4));
    info.bits = u16(body + 14);
    const uint32_t block = u16(body + 12);
    return (info.channels == 1 || info.channels == 2) && (info.bits == 8 || info.bits == 16) &&
           info.rate >= 8000 && info.rate <= 96000 &&
           block == static_cast<uint32_t>(info.channels * info.bits / 8);
}

}  // namespace

WavInfo check_wav(const uint8_t* data, size_t size) {
    if (size > kWavFileSizeLimit) return refuse("larger than 4 MiB");
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        return refuse("not a RIFF/WAVE file");
    WavInfo info;
    bool have_format = false;
    for (size_t at = 12; at + kChunkHeader <= size;) {
        const uint8_t* chunk = data + at;
        const size_t length = u32(chunk + 4);
        if (length > size - at - kChunkHeader) return refuse("a chunk runs past the end");
        const uint8_t* body = chunk + kChunkHeader;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (!read_format(body, length, info)) return refuse("not 8- or 16-bit PCM");
            have_format = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!have_format) return refuse("the data comes before its format");
            const size_t frame = static_cast<size_t>(info.channels * info.bits / 8);
            if (length == 0 || length % frame != 0) return refuse("no whole sample frames");
            info.frames = length / frame;
            info.ok = true;
            return info;
        }
        at += kChunkHeader + length + (length & 1);  // chunks are padded to even sizes
    }
    return refuse("no sound data");
}
