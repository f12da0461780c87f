#include "net/protocol.h"

#include <cmath>
#include <cstring>

#include "world/phases.h"

namespace {

constexpr float kAxisLimit = 100.0f;
constexpr float kCoordinateLimit = 1.0e6f;  // far outside any map; more is damage

// Little-endian writing and reading at a moving offset.
struct Writer {
    uint8_t* out;
    size_t at = 0;
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at++] = static_cast<uint8_t>(v >> (8 * i));
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void f32(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        u32(bits);
    }
    void vec3(Vec3 v) {
        f32(v.x);
        f32(v.y);
        f32(v.z);
    }
    void text(const char* s, size_t size) {  // zero-padded to size
        const size_t length = s ? strnlen(s, size - 1) : 0;
        std::memset(out + at, 0, size);
        if (length > 0) std::memcpy(out + at, s, length);
        at += size;
    }
};

struct Reader {
    const uint8_t* data;
    size_t at = 0;
    bool finite = true;  // every float read so far was finite
    uint32_t u32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(data[at++]) << (8 * i);
        return v;
    }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    float f32() {
        const uint32_t bits = u32();
        float v;
        std::memcpy(&v, &bits, sizeof v);
        finite = finite && std::isfinite(v);
        return v;
    }
    Vec3 vec3() {
        const float x = f32(), y = f32(), z = f32();
        return {x, y, z};
    }
    void text(char* out, size_t out_size, size_t field) {
        clean_text(out, out_size, reinterpret_cast<const char*>(data + at), field);
        at += field;
    }
};

bool starts(const uint8_t* data, size_t size, size_t expected, MessageType type) {
    return data != nullptr && size == expected && message_type(data, size) == type;
}

bool in_range(Vec3 v) {
    return std::fabs(v.x) <= kCoordinateLimit && std::fabs(v.y) <= kCoordinateLimit &&
           std::fabs(v.z) <= kCoordinateLimit;
}

float clamp_axis(float v) {
    return v < -kAxisLimit ? -kAxisLimit : v > kAxisLimit ? kAxisLimit : v;
}

// The angle of a turn about +Y, as rotation_y builds it.
float yaw_of(const Matrix& facing) {
    return std::atan2(facing.m[2][0], facing.m[0][0]);
}

bool known_action(uint32_t action) {
    return action == action_idle || action == action_attack || action == action_walk;
}

void encode_slot(Writer& w, const PlayerRecord& r) {
    w.u32(r.slot_state);
    w.vec3(r.position);
    w.vec3(r.velocity);
    w.f32(yaw_of(r.facing));
    w.u32(r.health);
    w.i32(r.element);
    w.u32(r.action);
    w.i32(r.action_phase);
    w.text(r.name, kNetNameSize);
}

bool decode_slot(Reader& in, PlayerRecord& r) {
    const uint32_t state = in.u32();
    r.position = in.vec3();
    r.velocity = in.vec3();
    r.facing = rotation_y(in.f32());
    r.health = in.u32();
    r.element = in.i32();
    r.action = in.u32();
    r.action_phase = in.i32();
    in.text(r.name, kNetNameSize, kNetNameSize);  // as many as encoding writes
    if (state < slot_free || state > slot_in_game) return false;
    r.slot_state = static_cast<SlotState>(state);
    if (r.element < 0 || r.element > 3) r.element = 0;  // drawn as the zombie, as locally
    return known_action(r.action) && in_range(r.position) && in_range(r.velocity);
}

// The length of the valid UTF-8 sequence starting at s, of which at most left bytes may be
// read, or 0 when none does. Overlong forms, surrogates and code points past U+10FFFF are
// not valid. A zero is no continuation byte, so reading stops at it.
size_t utf8_length(const unsigned char* s, size_t left) {
    const unsigned char lead = s[0];
    if (lead < 0x80) return 1;
    size_t length;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong below
        if (lead == 0xED) high = 0x9F;  // surrogates above
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // overlong below
        if (lead == 0xF4) high = 0x8F;  // past U+10FFFF above
    } else {
        return 0;  // a continuation byte, or C0, C1, F5..FF that start nothing
    }
    if (length > left || s[1] < low || s[1] > high) return 0;
    for (size_t i = 2; i < length; ++i) {
        if ((s[i] & 0xC0) != 0x80) return 0;
    }
    return length;
}

}  // namespace

const char* leave_reason_text(uint32_t reason) {
    switch (reason) {
        case leave_full:
            return "the game is full";
        case leave_host_stopped:
            return "the host ended the game";
        case leave_bad_data:
            return "the host could not read what this game sent";
        case leave_no_hello:
            return "the host heard no hello from this game in time";
        default:
            return "the connection was lost";
    }
}

void clean_text(char* out, size_t size, const char* text, size_t text_size) {
    if (size == 0) return;
    const auto* in = reinterpret_cast<const unsigned char*>(text);
    size_t from = 0, to = 0;
    while (from < text_size && in[from] != 0 && to + 1 < size) {
        const size_t length = utf8_length(in + from, text_size - from);
        const unsigned char c = in[from];
        const bool control = (length == 1 && (c < 0x20 || c == 0x7F)) ||
                             (length == 2 && c == 0xC2 && in[from + 1] < 0xA0);
        if (length == 0 || control) {
            out[to++] = '?';
            from += length == 0 ? 1 : length;
            continue;
        }
        if (to + length >= size) break;  // a character cut in two would not be UTF-8
        // Forwards, byte by byte: out may be text itself, and never runs ahead of it.
        for (size_t i = 0; i < length; ++i) out[to++] = text[from++];
    }
    out[to] = '\0';
}

uint32_t message_type(const uint8_t* data, size_t size) {
    if (data == nullptr || size < 4) return 0;
    Reader in{data};
    return in.u32();
}

void encode_action(const ActionMessage& action, uint8_t out[kActionMessageSize]) {
    Writer w{out};
    w.u32(message_action);
    w.u32(action.player);
    w.u32(static_cast<uint32_t>(action.kind));
    w.f32(action.a);
    w.f32(action.b);
}

bool decode_action(const uint8_t* data, size_t size, ActionMessage& out) {
    if (!starts(data, size, kActionMessageSize, message_action)) return false;
    Reader in{data, 4};
    out.player = in.u32();
    const uint32_t kind = in.u32();
    out.a = in.f32();
    out.b = in.f32();
    if (!in.finite || kind > kind_move) return false;
    out.kind = static_cast<ActionKind>(kind);
    if (out.kind == kind_move) {
        out.a = clamp_axis(out.a);
        out.b = clamp_axis(out.b);
        return true;
    }
    return (out.a == button_primary_attack || out.a == button_secondary_attack ||
            out.a == button_jump) &&
           out.b == 0.0f;
}

namespace {

constexpr uint8_t kQueryMagic[8] = {'T', 'O', 'R', 'V', 'I', '?', 0, 1};
constexpr uint8_t kAnswerMagic[8] = {'T', 'O', 'R', 'V', 'I', '!', 0, 1};

}  // namespace

void encode_query(uint32_t stamp, uint8_t out[kDiscoverySize]) {
    std::memset(out, 0, kDiscoverySize);
    std::memcpy(out, kQueryMagic, sizeof kQueryMagic);
    Writer w{out, sizeof kQueryMagic};
    w.u32(stamp);
}

bool decode_query(const uint8_t* data, size_t size, uint32_t& stamp) {
    if (data == nullptr || size != kDiscoverySize) return false;
    if (std::memcmp(data, kQueryMagic, sizeof kQueryMagic) != 0) return false;
    Reader in{data, sizeof kQueryMagic};
    stamp = in.u32();
    return true;
}

void encode_answer(const DiscoveryAnswer& answer, uint8_t out[kDiscoverySize]) {
    std::memset(out, 0, kDiscoverySize);
    std::memcpy(out, kAnswerMagic, sizeof kAnswerMagic);
    Writer w{out, sizeof kAnswerMagic};
    w.u32(answer.stamp);
    std::memcpy(out + w.at, answer.instance, kInstanceBytes);
    w.at += kInstanceBytes;
    w.u32(answer.port);
    w.text(answer.session_name, kSessionNameSize);
    w.text(answer.host_name, kMachineNameSize);
}

bool decode_answer(const uint8_t* data, size_t size, DiscoveryAnswer& out) {
    if (data == nullptr || size != kDiscoverySize) return false;
    if (std::memcmp(data, kAnswerMagic, sizeof kAnswerMagic) != 0) return false;
    Reader in{data, sizeof kAnswerMagic};
    out.stamp = in.u32();
    std::memcpy(out.instance, data + in.at, kInstanceBytes);
    in.at += kInstanceBytes;
    out.port = in.u32();
    in.text(out.session_name, sizeof out.session_name, kSessionNameSize);
    in.text(out.host_name, sizeof out.host_name, kMachineNameSize);
    return out.port >= 1 && out.port <= 65535;
}

void encode_view(const Camera& cam, uint8_t out[kViewMessageSize]) {
    Writer w{out};
    w.u32(message_view);
    w.vec3(cam.eye);
    w.vec3(cam.target);
}

bool decode_view(const uint8_t* data, size_t size, Camera& out) {
    if (!starts(data, size, kViewMessageSize, message_view)) return false;
    Reader in{data, 4};
    const Vec3 eye = in.vec3();
    const Vec3 target = in.vec3();
    if (!in.finite || !in_range(eye) || !in_range(target)) return false;
    out = Camera{eye, target};
    return true;
}

void encode_hello(const Hello& hello, uint8_t out[kHelloMessageSize]) {
    Writer w{out};
    w.u32(message_hello);
    w.i32(hello.element);
    w.text(hello.name, kNetNameSize);
}

bool decode_hello(const uint8_t* data, size_t size, Hello& out) {
    if (!starts(data, size, kHelloMessageSize, message_hello)) return false;
    Reader in{data, 4};
    out.element = in.i32();
    if (out.element < 0 || out.element > 3) out.element = 0;
    in.text(out.name, sizeof out.name, kNetNameSize);
    return true;
}

void encode_welcome(const Welcome& welcome, uint8_t out[kWelcomeMessageSize]) {
    Writer w{out};
    w.u32(message_welcome);
    w.i32(welcome.slot);
    w.text(welcome.session_name, kSessionNameSize);
}

bool decode_welcome(const uint8_t* data, size_t size, Welcome& out) {
    if (!starts(data, size, kWelcomeMessageSize, message_welcome)) return false;
    Reader in{data, 4};
    out.slot = in.i32();
    in.text(out.session_name, sizeof out.session_name, kSessionNameSize);
    return out.slot >= 1 && out.slot < kPlayerSlots;
}

void encode_map(const MapGrid& map, uint8_t out[kMapMessageSize]) {
    Writer w{out};
    w.u32(message_map);
    std::memcpy(out + w.at, &map, kMapFileSize);
}

bool decode_map(const uint8_t* data, size_t size, MapGrid& out) {
    if (!starts(data, size, kMapMessageSize, message_map)) return false;
    apply_map_file_bytes(out, data + 4, kMapFileSize);  // damaged values become snow or none
    return true;
}

void encode_world(const WorldState& world, uint8_t out[kWorldMessageSize]) {
    Writer w{out};
    w.u32(message_world);
    for (const PlayerRecord& r : world.table.slots) encode_slot(w, r);
    const int32_t count = world.effect_count < 0               ? 0
                          : world.effect_count > kWorldEffects ? kWorldEffects
                                                               : world.effect_count;
    w.i32(count);
    for (int i = 0; i < kWorldEffects; ++i) {
        const WorldEffect e = i < count ? world.effects[i] : WorldEffect{};
        w.i32(e.kind);
        w.vec3(e.position);
    }
}

bool decode_world(const uint8_t* data, size_t size, WorldState& out) {
    if (!starts(data, size, kWorldMessageSize, message_world)) return false;
    Reader in{data, 4};
    bool ok = true;
    for (PlayerRecord& r : out.table.slots) ok = decode_slot(in, r) && ok;
    out.effect_count = in.i32();
    for (WorldEffect& e : out.effects) {
        e.kind = in.i32();
        e.position = in.vec3();
        ok = ok && in_range(e.position);
    }
    if (out.effect_count < 0 || out.effect_count > kWorldEffects) return false;
    for (int i = 0; i < out.effect_count; ++i) {
        ok = ok && out.effects[i].kind >= effect_klank && out.effects[i].kind <= effect_boom;
    }
    return ok && in.finite;
}

void encode_scores(const PlayerTable& table, uint8_t out[kScoresMessageSize]) {
    Writer w{out};
    w.u32(message_scores);
    for (const PlayerRecord& r : table.slots) {
        w.u32(r.knockouts);
        w.u32(r.down_ticks);
    }
}

bool decode_scores(const uint8_t* data, size_t size, Scores& out) {
    if (!starts(data, size, kScoresMessageSize, message_scores)) return false;
    Reader in{data, 4};
    bool sane = true;
    for (int slot = 0; slot < kPlayerSlots; ++slot) {
        out.knockouts[slot] = in.u32();
        out.down_ticks[slot] = in.u32();
        sane = sane && out.down_ticks[slot] <= kKnockedOutTicks;
    }
    return sane;
}
