// The mixer for real, on SDL's disk audio driver, which writes what it plays to a file.
#include "sound/sdl_sound.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

class SdlSoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(inside_.ok());
        fs::create_directories("Data");
        fs::copy(fs::path(TORVI_SOURCE_DIR) / "Data/sounds", "Data/sounds");
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", played_.c_str(), 1);
    }
    // Whether the driver has written a sample that is not silence; the 30 s limit only ends
    // a test that would otherwise hang.
    bool heard_something() {
        for (int wait = 0; wait < 3000; ++wait) {
            const std::string bytes = read_text(played_);
            for (char b : bytes) {
                if (b != 0) return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    TempFolder folder_{"torvi-sound-"};
    WorkingFolder inside_{folder_.path()};
    const std::string played_ = (folder_.path() / "played.raw").string();
};

TEST_F(SdlSoundTest, AKlankPlaysAndABurstNeverWaitsForAVoice) {
    SdlSound sound;
    ASSERT_TRUE(sound.open());
    EXPECT_EQ(sound.load(), kSoundCount);
    for (int k = 0; k < 3 * kSoundVoices; ++k) sound.play({sound_klank, 1.0f, k % 3 - 1.0f});
    EXPECT_TRUE(heard_something());
}

TEST_F(SdlSoundTest, AMissingOrDamagedSoundIsSaidOnceAndStaysSilent) {
    write_text("Data/sounds/klank.wav", std::string("RIFF\x10\0\0\0WAVEdata\xff\xff\xff\x7f", 20));
    fs::remove("Data/sounds/boom.wav");
    SdlSound sound;
    ASSERT_TRUE(sound.open());
    testing::internal::CaptureStderr();
    EXPECT_EQ(sound.load(), kSoundCount - 2);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said,
              "torvi: sound Data/sounds/klank.wav: a chunk runs past the end; it stays silent\n"
              "torvi: sound Data/sounds/boom.wav: No such file or directory; it stays silent\n");
    sound.play({sound_klank, 1.0f, 0.0f});
    sound.play({sound_boom, 1.0f, 0.0f});
}

}  // namespace
