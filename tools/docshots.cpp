// Writes the screenshots of docs/: the menu, four elements in play, an attack with its
// trail and a "klank", and the health ring. Each scene runs the real game offscreen in a
// child process and stages the player table from the frame hook.
//
//   SDL_VIDEODRIVER=offscreen build/docshots DATA_DIR OUT_DIR
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/game_main.h"
#include "app/gl_game_setup.h"
#include "app/ticks.h"
#include "effects/effect_list.h"
#include "world/camera.h"
#include "world/player_table.h"

namespace {

void (*g_game_frame)() = nullptr;
void (*g_stage)() = nullptr;

void staged_frame() {
    g_stage();
    g_game_frame();
}

// A character standing at (x, 0, z) turned toward the camera, which sits toward +z.
void stand(PlayerRecord& p, int element, float x, float z) {
    p = player_table().slots[0];
    p.position = {x, 0.0f, z};
    p.velocity = {0.0f, 0.0f, 1.0f};
    p.element = element;
    p.action = action_idle;
    p.action_phase = 0;
    p.slot_state = SlotState::InGame;
}

void four_elements() {
    PlayerTable& t = player_table();
    // Staggered in depth so their status labels don't cover each other.
    stand(t.slots[0], 0, 9.0f, -9.0f);
    stand(t.slots[1], 1, 10.6f, -10.3f);
    stand(t.slots[2], 2, 7.4f, -10.3f);
    stand(t.slots[3], 3, 9.0f, -11.6f);
    t.slots[1].action = action_walk;
    t.slots[1].action_phase = 0;
    t.slots[2].action = action_walk;
    t.slots[2].action_phase = 2;
}

void attack() {
    PlayerTable& t = player_table();
    stand(t.slots[0], 3, 9.0f, -9.0f);
    stand(t.slots[1], 1, 8.0f, -10.0f);
    t.slots[0].velocity = {-1.0f, 0.0f, 1.0f};  // toward the camera and the pirate's side
    t.slots[0].action = action_attack;
    t.slots[0].action_phase = 1;
    // The hit's "klank" pops up at the attacker a few frames before the picture.
    static int frame = 0;
    if (++frame == 8) effect_spawn(effect_list(), 0, t.slots[0].position);
}

void health_ring() {
    PlayerTable& t = player_table();
    stand(t.slots[0], 2, 9.0f, -9.0f);
    t.slots[0].health = 57;
}

int shoot(const char* data_dir, const std::string& file, bool play, void (*stage)()) {
    const pid_t child = fork();
    if (child == 0) {
        install_game_hooks();
        if (stage) {
            g_stage = stage;
            g_game_frame = tick_hooks().frame;
            tick_hooks().frame = staged_frame;
        }
        RunOptions o;
        o.windowed = true;
        o.play = play;
        o.frames = 12;
        o.data_dir = data_dir;
        o.screenshot = file.c_str();
        _exit(run_game(o));
    }
    int status = 1;
    waitpid(child, &status, 0);
    const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", file.c_str());
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: docshots DATA_DIR OUT_DIR (absolute paths)\n");
        return 2;
    }
    const std::string out = argv[2];
    int failures = 0;
    failures += shoot(argv[1], out + "/menu.png", false, nullptr);
    failures += shoot(argv[1], out + "/play-four-elements.png", true, four_elements);
    failures += shoot(argv[1], out + "/attack-klank.png", true, attack);
    failures += shoot(argv[1], out + "/health-ring.png", true, health_ring);
    return failures == 0 ? 0 : 1;
}
