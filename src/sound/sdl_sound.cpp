#include "sound/sdl_sound.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/atomic_file.h"
#include "sound/wav_check.h"

namespace {

// Forced on the device (SDL converts to the hardware), so every chunk is this format.
constexpr int kRate = 44100;
constexpr Uint16 kFormat = AUDIO_S16SYS;
constexpr int kChannels = 2;
constexpr int kBufferFrames = 1024;  // 23 ms

struct ChunkFree {
    void operator()(Mix_Chunk* chunk) const { Mix_FreeChunk(chunk); }
};

// Pan -1..1 to a step, and a step's left and right gains: one side full, the other less.
int pan_step(float pan) {
    const int step = static_cast<int>(std::lround((pan + 1.0f) * 0.5f * (kSoundPanSteps - 1)));
    return std::clamp(step, 0, kSoundPanSteps - 1);
}
float step_pan(int step) {
    return static_cast<float>(step) * 2.0f / (kSoundPanSteps - 1) - 1.0f;
}

// With no driver named, SDL tries them all, and ALSA fills stderr with its own complaints
// on a machine without sound: look for a sound card or a sound server first.
bool audio_device_likely() {
    if (SDL_getenv("SDL_AUDIODRIVER") || SDL_getenv("PULSE_SERVER")) return true;
    std::error_code error;
    if (std::filesystem::exists("/dev/snd", error)) return true;
    const char* runtime = SDL_getenv("XDG_RUNTIME_DIR");
    if (!runtime) return false;
    const std::filesystem::path dir(runtime);
    return std::filesystem::exists(dir / "pulse/native", error) ||
           std::filesystem::exists(dir / "pipewire-0", error);
}

}  // namespace

SdlSound::~SdlSound() {
    if (open_) Mix_HaltChannel(-1);
    free_sounds();
    if (open_) Mix_CloseAudio();
    if (audio_started_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlSound::open() {
    if (!audio_device_likely()) {
        std::fprintf(stderr, "torvi: no sound: this machine has no sound card or sound server\n");
        return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "torvi: no sound: %s\n", SDL_GetError());
        return false;
    }
    audio_started_ = true;
    if (Mix_OpenAudioDevice(kRate, kFormat, kChannels, kBufferFrames, nullptr, 0) != 0) {
        std::fprintf(stderr, "torvi: no sound: %s\n", Mix_GetError());
        return false;
    }
    Mix_AllocateChannels(kSoundVoices);
    open_ = true;
    return true;
}

int SdlSound::load() {
    int loaded = 0;
    for (int id = 0; id < kSoundCount && open_; ++id) loaded += load_sound(id, kSounds[id].path);
    return loaded;
}

bool SdlSound::load_sound(int id, const char* path) {
    std::string bytes;
    const FileRead read = read_whole_file(path, kWavFileSizeLimit, bytes);
    if (read.status != read_ok) {
        std::fprintf(stderr, "torvi: sound %s: %s; it stays silent\n", path,
                     read.longer ? "larger than 4 MiB" : file_error_text(read.error));
        return false;
    }
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    const WavInfo info = check_wav(data, bytes.size());
    if (!info.ok) {
        std::fprintf(stderr, "torvi: sound %s: %s; it stays silent\n", path, info.error);
        return false;
    }
    std::unique_ptr<Mix_Chunk, ChunkFree> decoded(
        Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1));
    if (!decoded) {
        std::fprintf(stderr, "torvi: sound %s: %s; it stays silent\n", path, Mix_GetError());
        return false;
    }
    const auto* stereo = reinterpret_cast<const int16_t*>(decoded->abuf);
    const size_t count = decoded->alen / sizeof(int16_t);
    for (int step = 0; step < kSoundPanSteps; ++step) {
        const float pan = step_pan(step);
        const float left = std::min(1.0f, 1.0f - pan), right = std::min(1.0f, 1.0f + pan);
        Voiced& voiced = sounds_[id][step];
        voiced.samples.resize(count);
        for (size_t k = 0; k + 1 < count; k += 2) {
            voiced.samples[k] = static_cast<int16_t>(stereo[k] * left);
            voiced.samples[k + 1] = static_cast<int16_t>(stereo[k + 1] * right);
        }
        voiced.chunk = Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(voiced.samples.data()),
                                         static_cast<Uint32>(count * sizeof(int16_t)));
    }
    return true;
}

void SdlSound::free_sounds() {
    for (auto& sound : sounds_) {
        for (Voiced& voiced : sound) {
            if (voiced.chunk) Mix_FreeChunk(voiced.chunk);
            voiced.chunk = nullptr;
        }
    }
}

void SdlSound::play(const SoundRequest& request) {
    if (!open_ || request.id < 0 || request.id >= kSoundCount) return;
    Mix_Chunk* chunk = sounds_[request.id][pan_step(request.pan)].chunk;
    if (!chunk) return;
    // A free voice first, its volume set before it starts: no loud first buffer.
    const int voice = Mix_GroupAvailable(-1);
    if (voice < 0) return;
    Mix_Volume(voice, static_cast<int>(std::clamp(request.gain, 0.0f, 1.0f) * MIX_MAX_VOLUME));
    Mix_PlayChannel(voice, chunk, 0);
}
