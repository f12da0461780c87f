// torvi's entry point. Until the window exists this runs a short console demo of the
// simulation: the hosting player falls onto the map, jumps, and attacks.
#include <cstdio>
#include <cstring>

#include "effects/effect_list.h"
#include "map/map_grid.h"
#include "render/camera.h"
#include "world/movement.h"
#include "world/phases.h"
#include "world/player_table.h"

namespace {

constexpr int kPhysicsTickMs = 10;
constexpr int kPhaseTickMs = 125;

// A simulated clock: the 10 ms and 125 ms ticks in the order real time would fire them.
struct DemoClock {
    int now_ms = 0;
};

void print_player(const char* what, int ms, const PlayerRecord& p) {
    std::printf("%6d ms  %-28s position (%6.2f, %6.2f, %6.2f)  health %3u\n", ms, what,
                p.position.x, p.position.y, p.position.z, p.health);
}

// Advances the clock by one 10 ms tick, with the 125 ms phase tick where it falls due.
void tick(DemoClock& clock, PlayerTable& table, EffectList& effects, PlayerRecord& local) {
    clock.now_ms += kPhysicsTickMs;
    for (PlayerRecord& slot : table.slots) physics_step(slot);
    if (clock.now_ms % kPhaseTickMs < kPhysicsTickMs) phase_step(local, table, effects);
}

void start_up_map() {
    static MapGrid current_map;
    fill_startup_map(current_map);
    if (!save_startup_map(current_map))
        std::fprintf(stderr, "torvi: the start-up map was not written\n");
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("usage: torvi\n  runs a console demo of the simulation\n");
            return 0;
        }
    }

    start_up_map();

    PlayerTable& table = player_table();
    SessionState& session = session_state();
    EffectList& effects = effect_list();
    Camera& cam = camera();
    init_player_table(table);
    init_session_state(session);
    init_effect_list(effects);

    start_game_as_host(table, session);
    PlayerRecord& me = *local_record(table, session);
    set_camera(cam, {0, 5, 5}, {0, 0, 0});
    follow(cam, me.position);

    DemoClock clock;
    std::printf("torvi console demo: \"%s\" hosts a game\n", me.name);
    print_player("starts high above the map", clock.now_ms, me);

    while (me.position.y > 0.0f) tick(clock, table, effects, me);
    print_player("lands", clock.now_ms, me);

    apply_action(me, ActionKind::Move, 0, 0, cam);  // keys released: stand still
    apply_action(me, ActionKind::ButtonDown, static_cast<float>(ActionButton::Jump), 0, cam);
    float top = 0.0f;
    do {
        tick(clock, table, effects, me);
        if (me.position.y > top) top = me.position.y;
    } while (me.position.y > 0.0f);
    std::printf("%6d ms  jumps up to %.2f and lands again\n", clock.now_ms, top);

    for (int i = 0; i < 40; ++i) {  // hold "left" for 0.4 s: the camera looks north, so east
        apply_action(me, ActionKind::Move, -100, 0, cam);
        tick(clock, table, effects, me);
    }
    apply_action(me, ActionKind::Move, 0, 0, cam);
    print_player("walks east", clock.now_ms, me);

    apply_action(me, ActionKind::ButtonDown, static_cast<float>(ActionButton::SecondaryAttack), 0,
                 cam);
    const uint32_t before = me.health;
    while (me.action == action_attack) tick(clock, table, effects, me);
    print_player(me.health < before ? "attacks and hits itself" : "attacks", clock.now_ms, me);

    int shown = 0;
    for (const Effect& e : effects.entries)
        if (effect_active(e)) ++shown;
    std::printf("%d comic effects popped up; the newest says \"%s\"\n", shown,
                effect_texture_name(effects.entries[kEffectCount - 1].kind));
    return 0;
}
