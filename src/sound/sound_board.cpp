#include "sound/sound_board.h"

#include <algorithm>
#include <cmath>

const SoundInfo kSounds[kSoundCount] = {
    {"Data/sounds/tap.wav", 0.55f},    {"Data/sounds/klank.wav", 1.0f},
    {"Data/sounds/boom.wav", 1.0f},    {"Data/sounds/jump.wav", 0.7f},
    {"Data/sounds/element.wav", 0.8f}, {"Data/sounds/land.wav", 0.7f},
    {"Data/sounds/click.wav", 0.6f},
};

namespace {

constexpr float kFullLoudnessDistance = 4.0f;   // as loud as it gets within this
constexpr float kHalfLoudnessDistance = 16.0f;  // half as loud this far off
constexpr float kFullPanDistance = 8.0f;        // this far to one side: that side only

SoundId effect_sound(int32_t kind) {
    switch (kind) {
        case effect_tap:
            return sound_tap;
        case effect_boom:
            return sound_boom;
        default:
            return sound_klank;
    }
}

bool airborne(const PlayerRecord& record) {
    return record.position.y > 0.0f;
}

HeardPlayer heard(const PlayerRecord& record) {
    return {record.slot_state == slot_in_game, airborne(record), record.element};
}

void queue(SoundBoard& board, const SoundRequest& request) {
    if (board.queued < kMaxSoundsATick) board.queue[board.queued++] = request;
}

void hear_effects(SoundBoard& board, const EffectList& effects, const Camera& cam) {
    // A list started afresh (a new game) counts from zero again: nothing new in it yet.
    if (effects.spawned < board.effects_heard) board.effects_heard = effects.spawned;
    const uint32_t fresh = std::min<uint32_t>(effects.spawned - board.effects_heard, kEffectCount);
    board.effects_heard = effects.spawned;
    for (uint32_t k = kEffectCount - fresh; k < static_cast<uint32_t>(kEffectCount); ++k) {
        const Effect& effect = effects.entries[k];
        queue(board, place_sound(effect_sound(effect.kind), effect.position, cam));
    }
}

// A slot that just came into the game starts silent: its first landing still sounds.
void hear_player(SoundBoard& board, int slot, const PlayerRecord& record, const Camera& cam) {
    HeardPlayer& before = board.players[slot];
    const HeardPlayer now = heard(record);
    if (now.in_game && before.in_game) {
        if (now.airborne && !before.airborne && record.velocity.y > 0.0f) {
            queue(board, place_sound(sound_jump, record.position, cam));
        }
        if (!now.airborne && before.airborne) {
            queue(board, place_sound(sound_land, record.position, cam));
        }
        if (now.element != before.element) {
            queue(board, place_sound(sound_element, record.position, cam));
        }
    }
    before = now;
}

}  // namespace

void start_hearing(SoundBoard& board, const PlayerTable& table, const EffectList& effects) {
    board.effects_heard = effects.spawned;
    for (int slot = 0; slot < kPlayerSlots; ++slot) board.players[slot] = heard(table.slots[slot]);
    board.queued = 0;
}

void hear_world(SoundBoard& board, const PlayerTable& table, const EffectList& effects,
                const Camera& cam) {
    hear_effects(board, effects, cam);
    for (int slot = 0; slot < kPlayerSlots; ++slot)
        hear_player(board, slot, table.slots[slot], cam);
}

void hear_click(SoundBoard& board) {
    queue(board, {sound_click, kSounds[sound_click].loudness, 0.0f});
}

SoundRequest place_sound(SoundId id, Vec3 position, const Camera& cam) {
    const Vec3 offset = subtract(position, cam.target);
    const float distance = length(offset);
    const float beyond = std::max(distance - kFullLoudnessDistance, 0.0f);
    float gain = kSounds[id].loudness * kHalfLoudnessDistance /
                 (kHalfLoudnessDistance + beyond);  // half as loud 16 units past the near zone
    // Screen right on the ground: the left-handed view shows +x on the left looking along -z.
    Vec3 look = subtract(cam.target, cam.eye);
    look.y = 0.0f;
    const float look_length = length(look);
    float pan = 0.0f;
    if (look_length > 0.0f) {
        const Vec3 right = {look.z / look_length, 0.0f, -look.x / look_length};
        pan = std::clamp(dot(offset, right) / kFullPanDistance, -1.0f, 1.0f);
    }
    if (!std::isfinite(gain) || !std::isfinite(pan)) gain = pan = 0.0f;  // a damaged position
    return {id, std::clamp(gain, 0.0f, 1.0f), pan};
}

void play_heard(SoundBoard& board, SoundPlayer* speaker) {
    const float scale = static_cast<float>(std::clamp(board.volume, 0, 100)) / 100.0f;
    if (board.active && speaker && scale > 0.0f) {
        for (int k = 0; k < board.queued; ++k) {
            SoundRequest request = board.queue[k];
            request.gain *= scale;
            speaker->play(request);
        }
    }
    board.queued = 0;
}
