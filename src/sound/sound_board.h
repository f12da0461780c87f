// Which sounds the game makes and how loud and where: heard from the world (pop-ups,
// jumps, landings, element changes) and the dialogs (clicks), placed by where they happen
// relative to the camera, and handed to the speaker. Plain logic; playing is sdl_sound.h.
#pragma once

#include <cstdint>

#include "config/settings.h"
#include "effects/effect_list.h"
#include "world/camera.h"
#include "world/player_table.h"

enum SoundId : int32_t {
    sound_tap = 0,  // a footstep
    sound_klank,    // an attack's hit
    sound_boom,     // a blast
    sound_jump,
    sound_element,  // a character changes its element
    sound_land,
    sound_click,  // a button or check box of the dialogs
};
constexpr int kSoundCount = 7;

struct SoundInfo {
    const char* path;  // relative to the data folder
    float loudness;    // how loud against the others, 0..1
};
extern const SoundInfo kSounds[kSoundCount];

// Where a sound sits: gain 0..1 (distance and loudness), pan -1 (left) .. 1 (right).
struct SoundRequest {
    SoundId id;
    float gain;
    float pan;
};

// What plays sounds: the SDL mixer in the game, a recorder in tests.
class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;
    // Never waits and never allocates; a sound with no free voice is dropped.
    virtual void play(const SoundRequest& request) = 0;
};

// What each slot was when last heard, to tell a jump, a landing or a new element.
struct HeardPlayer {
    bool in_game;
    bool airborne;
    int32_t element;
};

// More than a tick can bring (a burst of pop-ups, twelve players landing) is dropped.
constexpr int kMaxSoundsATick = 16;

struct SoundBoard {
    bool active = true;                // the settings' "Sound Effects Active"
    int volume = kDefaultSoundVolume;  // 0..100
    uint32_t effects_heard = 0;        // the effect list's spawn count last heard
    HeardPlayer players[kPlayerSlots] = {};
    SoundRequest queue[kMaxSoundsATick] = {};
    int queued = 0;
};

// Starts hearing from now: what the effect list and the table hold already makes no sound.
void start_hearing(SoundBoard& board, const PlayerTable& table, const EffectList& effects);

// Queues the sounds of what changed since the last call: each pop-up spawned, each jump,
// landing and element change of a player in the game, heard from the camera.
void hear_world(SoundBoard& board, const PlayerTable& table, const EffectList& effects,
                const Camera& cam);
// Queues a dialog's click, in the middle and at full loudness.
void hear_click(SoundBoard& board);

// The request a sound at position makes, heard from the camera: quieter with distance from
// the point the camera looks at, panned by its side of the view.
SoundRequest place_sound(SoundId id, Vec3 position, const Camera& cam);

// Hands the queued sounds to the speaker (none while inactive or without one), the gain
// scaled by the volume, and empties the queue.
void play_heard(SoundBoard& board, SoundPlayer* speaker);
