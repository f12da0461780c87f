// The game's speaker: SDL2_mixer with a few voices, every sound loaded at start-up in
// five positions from left to right, so playing one only picks a voice and a volume.
#pragma once

#include <SDL_mixer.h>

#include <cstdint>
#include <vector>

#include "sound/sound_board.h"

constexpr int kSoundVoices = 8;    // at once; more are dropped
constexpr int kSoundPanSteps = 5;  // hard left, left, middle, right, hard right

class SdlSound : public SoundPlayer {
  public:
    SdlSound() = default;
    ~SdlSound() override;
    SdlSound(const SdlSound&) = delete;
    SdlSound& operator=(const SdlSound&) = delete;

    // Opens the audio device. Without one it prints one line and the game stays silent.
    bool open();
    // Loads every sound the game makes; a missing or damaged file gets one line and that
    // sound stays silent. Returns how many loaded.
    int load();
    bool ready() const { return open_; }

    void play(const SoundRequest& request) override;

  private:
    struct Voiced {
        std::vector<int16_t> samples;  // interleaved stereo in the device's format
        Mix_Chunk* chunk = nullptr;    // plays samples, which it does not own
    };
    bool load_sound(int id, const char* path);
    void free_sounds();

    bool open_ = false;
    bool audio_started_ = false;
    Voiced sounds_[kSoundCount][kSoundPanSteps];
};
