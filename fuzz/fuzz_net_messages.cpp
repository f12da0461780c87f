// Any datagram read by every decoder of the network: what a decoder accepts is in range,
// names are valid UTF-8 with no control characters, and encoding it again reads back the same.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "net/protocol.h"
#include "world/phases.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

// Ended within size, valid UTF-8 (nothing overlong, no surrogate, nothing past U+10FFFF)
// and no control character: C0, DEL or C1.
void check_clean(const char* text, size_t size) {
    const size_t length = strnlen(text, size);
    check(length < size);
    static constexpr uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    for (size_t i = 0; i < length;) {
        const unsigned char lead = s[i];
        const size_t n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        check(lead < 0x80 || (lead >= 0xC0 && lead < 0xF8));
        check(i + n <= length);
        uint32_t code = n == 1 ? lead : lead & (0x7Fu >> n);
        for (size_t k = 1; k < n; ++k) {
            check((s[i + k] & 0xC0) == 0x80);
            code = code << 6 | (s[i + k] & 0x3Fu);
        }
        check(code >= kLeast[n] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF));
        check(code >= 0x20 && (code < 0x7F || code > 0x9F));
        i += n;
    }
}

void check_action(const uint8_t* data, size_t size) {
    ActionMessage action;
    if (!decode_action(data, size, action)) return;
    check(action.kind >= kind_button_up && action.kind <= kind_move);
    check(std::fabs(action.a) <= 100.0f && std::fabs(action.b) <= 100.0f);
    uint8_t again[kActionMessageSize];
    encode_action(action, again);
    ActionMessage back;
    check(decode_action(again, sizeof again, back));
    check(back.kind == action.kind && back.a == action.a && back.b == action.b);
}

void check_world(const uint8_t* data, size_t size) {
    static WorldState world, back;
    static uint8_t again[kWorldMessageSize];
    if (!decode_world(data, size, world)) return;
    check(world.effect_count >= 0 && world.effect_count <= kWorldEffects);
    for (const PlayerRecord& r : world.table.slots) {
        check(r.slot_state >= slot_free && r.slot_state <= slot_in_game);
        check(r.element >= 0 && r.element <= 3);
        check(std::isfinite(r.position.x) && std::isfinite(r.velocity.z));
        check_clean(r.name, sizeof r.name);
    }
    encode_world(world, again);
    check(decode_world(again, sizeof again, back));
    for (int i = 0; i < kPlayerSlots; ++i) {
        check(back.table.slots[i].position.y == world.table.slots[i].position.y);
        check(std::strcmp(back.table.slots[i].name, world.table.slots[i].name) == 0);
    }
}

void check_small(const uint8_t* data, size_t size) {
    Welcome welcome;
    if (decode_welcome(data, size, welcome)) {
        check(welcome.slot >= 1 && welcome.slot < kPlayerSlots);
        check_clean(welcome.session_name, sizeof welcome.session_name);
    }
    Hello hello;
    if (decode_hello(data, size, hello)) {
        check(hello.element >= 0 && hello.element <= 3);
        check_clean(hello.name, sizeof hello.name);
    }
    Camera cam;
    if (decode_view(data, size, cam))
        check(std::isfinite(cam.eye.x) && std::isfinite(cam.target.z));
    DiscoveryAnswer answer;
    if (decode_answer(data, size, answer)) {
        check(answer.port >= 1 && answer.port <= 65535);
        check_clean(answer.host_name, sizeof answer.host_name);
        check_clean(answer.session_name, sizeof answer.session_name);
    }
    uint32_t stamp;
    decode_query(data, size, stamp);
    Scores scores;
    if (decode_scores(data, size, scores)) {
        for (uint32_t ticks : scores.down_ticks) check(ticks <= kKnockedOutTicks);
    }
    static MapGrid map;
    if (decode_map(data, size, map)) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(&map);
        for (size_t i = offsetof(MapGrid, cells); i < offsetof(MapGrid, items); ++i) {
            check(bytes[i] < kTerrainTypeCount);
        }
        for (size_t i = offsetof(MapGrid, items); i < kMapFileSize; ++i)
            check(bytes[i] < kItemKindCount);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    check_action(data, size);
    check_world(data, size);
    check_small(data, size);
    return 0;
}
