#include "world/movement.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kAxisLimit = 100.0f;  // keyboard and gamepad axes run -100..100
constexpr float kAxisDivisor = 2.0f;  // axis value to velocity component
constexpr float kJumpVelocity = 200.0f;
constexpr float kStepDivisor = 400.0f;  // one tick moves by velocity / 400
constexpr float kDamping = 0.95f;
constexpr Vec3 kGravity = {0.0f, -0.2f, 0.0f};
constexpr float kMinimumStep = 0.05f;
constexpr float kRestThreshold = 0.2f;
constexpr float kMapXMin = 0.0f;
constexpr float kMapXMax = 39.0f;
constexpr float kMapZMin = -39.0f;
constexpr float kMapZMax = 0.0f;
constexpr float kGround = 0.0f;
constexpr float kWallOffset = 0.05f;
constexpr float kQuarterTurn = -1.5707964f;  // forward to left
constexpr int32_t kElementCount = 4;
// Slides after the first hit; a mover wedged between faces stops after these.
constexpr int kMaxSlides = 4;

constexpr Vec3 kBoxCentre = {3.0f, 0.6f, -3.0f};
constexpr float kBoxHalfWidth = 0.6f;    // w, along x
constexpr float kBoxHalfHeight = 0.65f;  // h, along y
constexpr float kBoxHalfDepth = 0.6f;    // d, along z

constexpr Vec3 kZero = {0.0f, 0.0f, 0.0f};

// ---- the box ---------------------------------------------------------------

BoxCollider make_box_collider() {
    const float w = kBoxHalfWidth, h = kBoxHalfHeight, d = kBoxHalfDepth;
    const Vec3 offsets[8] = {{-w, +h, -d}, {+w, +h, -d}, {+w, +h, +d}, {-w, +h, +d},
                             {-w, -h, +d}, {-w, -h, -d}, {+w, -h, -d}, {+w, -h, +d}};
    BoxCollider box = {{},
                       {{0, 1, 6},  // z = -d
                        {0, 6, 5},
                        {4, 3, 2},  // z = +d
                        {4, 7, 2},
                        {1, 2, 7},  // x = +w
                        {1, 7, 6},
                        {3, 2, 0},  // y = +h
                        {2, 1, 0},
                        // x = -w: without it a player walking east enters the box and
                        // cannot leave. The bottom stays open; it lies below the ground.
                        {0, 3, 4},
                        {0, 4, 5}}};
    for (int i = 0; i < 8; ++i) box.corners[i] = add(kBoxCentre, offsets[i]);
    return box;
}

// ---- collision -------------------------------------------------------------

// The working record of one movement.
struct CollisionPacket {
    Vec3 position;  // where the mover stands now
    Vec3 step;      // the ray still to travel from there
    bool found;
};

// The ray toward the end of the step, its end lifted to the ground when the step goes
// below it. The clamp puts the player on the ground anyway, and a ray that dips below
// would pass under the box's lower edge (y -0.05) into it.
Vec3 ray_above_ground(Vec3 position, Vec3 step) {
    Vec3 end = add(position, step);
    if (end.y < kGround) end.y = kGround;
    return subtract(end, position);
}

// Unit normal of the triangle, turned to face the mover: both faces count, and some of
// the box's triangles are wound inward.
Vec3 normal_facing(Vec3 p0, Vec3 p1, Vec3 p2, Vec3 ray) {
    const Vec3 n = normalize(cross(subtract(p1, p0), subtract(p2, p0)));
    return dot(n, ray) > 0.0f ? scale(n, -1.0f) : n;
}

// The part of the ray beyond the hit, without its motion into the face.
Vec3 slide_along(Vec3 ray, float t, Vec3 n) {
    const Vec3 rest = scale(ray, 1.0f - t);
    return subtract(rest, scale(n, dot(rest, n)));
}

// Tests the packet's ray against the triangles. On a hit within the ray the packet moves
// to the hit point, kept 0.05 off the face, and its step becomes the rest of the ray
// sliding along the face. The nearest hit wins (the earlier triangle on a tie): a ray
// crossing an edge also meets the face it leaves by, and stopping there puts the mover
// inside the box.
void test_box(CollisionPacket& packet, const BoxCollider& box) {
    packet.found = false;
    float nearest = 1.0f;  // hits beyond the end of this step do not count
    Vec3 hit = kZero, n = kZero;
    for (const auto& tri : box.triangles) {
        const Vec3 p0 = box.corners[tri[0]], p1 = box.corners[tri[1]], p2 = box.corners[tri[2]];
        float u, v, t;
        if (!intersect_triangle(p0, p1, p2, packet.position, packet.step, &u, &v, &t)) continue;
        if (!(t <= nearest) || (packet.found && t == nearest)) continue;
        nearest = t;
        hit = add(p0, add(scale(subtract(p1, p0), u), scale(subtract(p2, p0), v)));
        n = normal_facing(p0, p1, p2, packet.step);
        packet.found = true;
    }
    if (!packet.found) return;
    packet.position = add(hit, scale(n, kWallOffset));
    packet.step = slide_along(packet.step, nearest, n);
}

// ---- actions ---------------------------------------------------------------

// Input from the network or a gamepad is not trusted: NaN counts as 0, the rest is
// held to the axis range.
float sane_axis(float value) {
    if (!std::isfinite(value)) return 0.0f;
    return std::clamp(value, -kAxisLimit, kAxisLimit);
}

int32_t next_element(int32_t element) {
    int32_t e = element % kElementCount;
    if (e < 0) e += kElementCount;
    return (e + 1) % kElementCount;
}

void press_button(PlayerRecord& record, float a) {
    switch (static_cast<ActionButton>(static_cast<int32_t>(a))) {
        case button_primary_attack:
            record.element = next_element(record.element);
            break;
        case button_secondary_attack:
            set_action(record, action_attack);
            break;
        case button_jump:
            // Exactly 0: the ground clamp puts a standing player there every tick.
            if (record.position.y == kGround) record.velocity.y = kJumpVelocity;
            break;
        default:
            break;
    }
}

// The camera's view direction on the ground plane, unit length (zero when it looks
// straight down or its points are unusable).
Vec3 flat_forward(const Camera& cam) {
    Vec3 forward = subtract(camera_target(cam), camera_eye(cam));
    forward.y = 0.0f;
    forward = normalize(forward);
    if (!std::isfinite(forward.x) || !std::isfinite(forward.z)) return kZero;
    return forward;
}

void move(PlayerRecord& record, float a, float b, const Camera& cam) {
    if (a == 0.0f && b == 0.0f) {
        // Let go of the stick: stop walking, but glide to rest under the damping.
        if (record.action == action_walk) set_action(record, action_idle);
        return;
    }
    const Vec3 forward = flat_forward(cam);
    const Vec3 left = transform_normal(forward, rotation_y(kQuarterTurn));
    const Vec3 forward_part = b == 0.0f ? kZero : scale(forward, -b / kAxisDivisor);
    const Vec3 sideways_part = a == 0.0f ? kZero : scale(left, -a / kAxisDivisor);
    record.velocity = add(add(forward_part, sideways_part), {0.0f, record.velocity.y, 0.0f});
    set_action(record, action_walk);
}

// ---- the step --------------------------------------------------------------

void clamp_to_map(Vec3& p) {
    if (p.x < kMapXMin) p.x = kMapXMin;
    if (p.z > kMapZMax) p.z = kMapZMax;
    if (p.z < kMapZMin) p.z = kMapZMin;
    if (p.x > kMapXMax) p.x = kMapXMax;
    if (p.y < kGround) p.y = kGround;
}

void rest_slow_component(float& v) {
    if (std::fabs(v) < kRestThreshold) v = 0.0f;
}

}  // namespace

const BoxCollider& box_collider() {
    static const BoxCollider box = make_box_collider();
    return box;
}

void apply_action(PlayerRecord& record, ActionKind kind, float a, float b, const Camera& cam) {
    if (record.down_ticks > 0) return;  // a knocked-out player does nothing
    a = sane_axis(a);
    b = sane_axis(b);
    switch (kind) {
        case kind_button_down:
            press_button(record, a);
            break;
        case kind_move:
            move(record, a, b, cam);
            break;
        default:  // ButtonUp, and kinds nobody defined
            break;
    }
}

void set_action(PlayerRecord& record, PlayerAction action) {
    switch (action) {
        case action_idle:
            record.action = action_idle;
            record.action_phase = 0;
            break;
        case action_attack:
            // A running attack is not restarted.
            if (record.action != action_idle && record.action != action_walk) return;
            record.action = action_attack;
            record.action_phase = 0;
            break;
        case action_walk:
            // Walking never interrupts an attack, and a repeated request keeps the phase.
            if (record.action != action_idle) return;
            record.action = action_walk;
            record.action_phase = 0;
            break;
    }
}

namespace {

// A turn about Y has exactly this row 1 and this column 1.
bool is_turn_about_y(const Matrix& m) {
    return m.m[1][0] == 0.0f && m.m[1][1] == 1.0f && m.m[1][2] == 0.0f && m.m[0][1] == 0.0f &&
           m.m[2][1] == 0.0f && std::isfinite(m.m[0][0]) && std::isfinite(m.m[0][2]) &&
           std::isfinite(m.m[2][0]) && std::isfinite(m.m[2][2]);
}

}  // namespace

Matrix character_yaw(const PlayerRecord& record) {
    const float vx = record.velocity.x, vz = record.velocity.z;
    const bool moving = (vx != 0.0f || vz != 0.0f) && std::isfinite(vx) && std::isfinite(vz);
    if (moving) return rotation_y(std::atan2(-vx, -vz));
    return is_turn_about_y(record.facing) ? record.facing : identity();
}

void physics_step(PlayerRecord& record) {
    const Vec3 v = record.velocity;
    Vec3 step = {v.x / kStepDivisor, v.y / kStepDivisor, v.z / kStepDivisor};
    record.velocity = scale(v, kDamping);
    step = add(step, kGravity);
    record.position = collide_and_slide(record.position, step);
    clamp_to_map(record.position);
    rest_slow_component(record.velocity.x);
    rest_slow_component(record.velocity.z);
    rest_slow_component(record.velocity.y);
    record.facing = character_yaw(record);
}

Vec3 collide_and_slide(Vec3 position, Vec3 step) {
    if (length(step) < kMinimumStep) return position;
    CollisionPacket packet = {position, ray_above_ground(position, step), false};
    // Each test covers only what is left of this step, so a corrected position is not
    // hit again at once; a mover wedged between faces stops after a few slides.
    for (int slide = 0; slide <= kMaxSlides; ++slide) {
        test_box(packet, box_collider());
        if (!packet.found) return add(packet.position, packet.step);
    }
    return packet.position;
}
