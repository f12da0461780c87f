// Any bytes looked at as a sound file: an accepted file has a format the mixer plays and
// whole sample frames that lie inside it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "sound/wav_check.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Exactly size bytes, so a read past them is caught.
    const std::vector<uint8_t> bytes(data, data + size);
    const WavInfo info = check_wav(bytes.data(), bytes.size());
    if (!info.ok) {
        check(info.error != nullptr && info.error[0] != '\0');
        return 0;
    }
    check(info.channels == 1 || info.channels == 2);
    check(info.bits == 8 || info.bits == 16);
    check(info.rate >= 8000 && info.rate <= 96000);
    const size_t frame = static_cast<size_t>(info.channels * info.bits / 8);
    check(info.frames > 0 && info.frames <= (size - 20) / frame);
    return 0;
}
