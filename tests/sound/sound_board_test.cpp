// What the game hears, where it places it, and what it hands to the speaker; and the look
// at sound files before the mixer gets them.
#include "sound/sound_board.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "sound/wav_check.h"
#include "support/temp_folder.h"

namespace {

class Recorder : public SoundPlayer {
  public:
    void play(const SoundRequest& request) override { played.push_back(request); }
    std::vector<SoundRequest> played;
};

class SoundBoardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        init_player_table(table_);
        init_effect_list(effects_);
        set_camera(cam_, {0, 5, 5}, {0, 0, 0});  // looking along -z: +x shows on the left
        start_hearing(board_, table_, effects_);
    }
    std::vector<SoundRequest> tick() {
        hear_world(board_, table_, effects_, cam_);
        speaker_.played.clear();
        play_heard(board_, &speaker_);
        return speaker_.played;
    }
    PlayerRecord& in_game(int slot) {
        PlayerRecord& r = table_.slots[slot];
        r.slot_state = slot_in_game;
        return r;
    }

    PlayerTable table_;
    EffectList effects_;
    Camera cam_{};
    SoundBoard board_;
    Recorder speaker_;
};

TEST_F(SoundBoardTest, PopUpsAreHeardInTheirTickQuieterFarAwayAndPannedByTheirSide) {
    effect_spawn(effects_, effect_klank, {0, 0, 0});
    std::vector<SoundRequest> heard = tick();
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].id, sound_klank);
    EXPECT_FLOAT_EQ(heard[0].gain, 0.8f);  // full loudness, at the default volume of 80
    EXPECT_TRUE(tick().empty()) << "heard once";

    effect_spawn(effects_, effect_tap, {0, 0, -2});
    effect_spawn(effects_, effect_tap, {0, 0, -30});
    effect_spawn(effects_, effect_tap, {-6, 0, 0});  // -x: the right of the screen
    heard = tick();
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_LT(heard[1].gain, heard[0].gain / 2);
    EXPECT_EQ(heard[0].pan, 0.0f);
    EXPECT_GT(heard[2].pan, 0.5f);

    // A burst is cut to what a tick can hold; a list started afresh is no burst at all.
    for (int k = 0; k < 60; ++k) effect_spawn(effects_, effect_boom, {0, 0, 0});
    EXPECT_EQ(tick().size(), static_cast<size_t>(kMaxSoundsATick));
    init_effect_list(effects_);
    EXPECT_TRUE(tick().empty());
    effect_spawn(effects_, effect_boom, {0, 0, 0});
    EXPECT_EQ(tick().size(), 1u);
}

TEST_F(SoundBoardTest, JumpsLandingsAndNewElementsOfPlayersInTheGameAreHeard) {
    PlayerRecord& me = in_game(0);
    me.position = {0, 20, 0};  // comes into the game in the air: silent until it lands
    EXPECT_TRUE(tick().empty());
    me.position.y = 0;
    ASSERT_EQ(tick().size(), 1u);
    EXPECT_EQ(speaker_.played[0].id, sound_land);
    me.position.y = 0.1f;
    me.velocity.y = 2.0f;
    ASSERT_EQ(tick().size(), 1u);
    EXPECT_EQ(speaker_.played[0].id, sound_jump);
    me.element = 2;
    ASSERT_EQ(tick().size(), 1u);
    EXPECT_EQ(speaker_.played[0].id, sound_element);
    table_.slots[5].element = 3;  // not in the game
    EXPECT_TRUE(tick().empty());
}

TEST_F(SoundBoardTest, SwitchedOffOrAtVolumeZeroNothingPlaysAndOnAgainItDoes) {
    board_.active = false;
    hear_click(board_);
    effect_spawn(effects_, effect_klank, {0, 0, 0});
    EXPECT_TRUE(tick().empty());
    board_.active = true;
    board_.volume = 0;
    hear_click(board_);
    EXPECT_TRUE(tick().empty());
    board_.volume = 100;
    hear_click(board_);
    effect_spawn(effects_, effect_klank, {0, 0, 0});
    const std::vector<SoundRequest> heard = tick();
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].id, sound_click);
    EXPECT_EQ(heard[1].gain, 1.0f);
    play_heard(board_, nullptr);  // no speaker: the queue still empties
    EXPECT_EQ(board_.queued, 0);
}

// Damaged positions are silent rather than loud.
TEST(PlaceSound, DamagedPositionsAndCamerasStaySilentAndInRange) {
    Camera cam{};
    set_camera(cam, {0, 5, 5}, {0, 0, 0});
    const SoundRequest nan = place_sound(sound_tap, {NAN, 0, 0}, cam);
    EXPECT_EQ(nan.gain, 0.0f);
    const SoundRequest far = place_sound(sound_tap, {1e30f, 0, 0}, cam);
    EXPECT_GE(far.gain, 0.0f);
    EXPECT_GE(far.pan, -1.0f);
    set_camera(cam, {0, 5, 0}, {0, 0, 0});  // straight down: no side to pan to
    EXPECT_EQ(place_sound(sound_tap, {3, 0, 0}, cam).pan, 0.0f);
}

std::string wav(int format, int channels, int rate, int bits, size_t data_bytes) {
    auto le = [](uint32_t v, int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
        return s;
    };
    const int block = channels * bits / 8;
    return "RIFF" + le(36 + data_bytes, 4) + "WAVEfmt " + le(16, 4) + le(format, 2) +
           le(channels, 2) + le(rate, 4) + le(rate * block, 4) + le(block, 2) + le(bits, 2) +
           "data" + le(static_cast<uint32_t>(data_bytes), 4) + std::string(data_bytes, '\1');
}

TEST(WavCheck, ShippedSoundsPassAndDamagedOnesAreRefusedWithTheirReason) {
    for (const SoundInfo& sound : kSounds) {
        const std::string bytes = read_text(std::string(TORVI_SOURCE_DIR) + "/" + sound.path);
        const WavInfo info =
            check_wav(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        EXPECT_TRUE(info.ok) << sound.path << ": " << info.error;
        EXPECT_EQ(info.rate, 22050);
    }
    auto refusal = [](const std::string& bytes) {
        return std::string(
            check_wav(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()).error);
    };
    const std::string good = wav(1, 2, 44100, 16, 8);
    EXPECT_EQ(refusal(good), "");
    EXPECT_EQ(refusal(good.substr(0, good.size() - 1)), "a chunk runs past the end");
    EXPECT_EQ(refusal("MThd" + good.substr(4)), "not a RIFF/WAVE file");
    EXPECT_EQ(refusal(wav(3, 1, 44100, 32, 8)), "not 8- or 16-bit PCM");
    EXPECT_EQ(refusal(wav(1, 6, 44100, 16, 12)), "not 8- or 16-bit PCM");
    EXPECT_EQ(refusal(wav(1, 2, 44100, 16, 6)), "no whole sample frames");
    EXPECT_EQ(refusal(good.substr(0, 36)), "no sound data");
    EXPECT_EQ(refusal(std::string(kWavFileSizeLimit + 1, 'R')), "larger than 4 MiB");
}

}  // namespace
