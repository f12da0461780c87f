// Writes the screenshots of docs/: the menu, four elements in play, an attack with its
// trail and a "klank", and the health ring. Each scene runs the real game offscreen in a
// child process and stages the player table before each frame.
//
//   SDL_VIDEODRIVER=offscreen build/docshots DATA_DIR OUT_DIR
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "app/game_main.h"
#include "effects/effect_list.h"
#include "world/camera.h"
#include "world/player_table.h"

namespace {

// Stages the scene before every frame.
class Stage : public FrameWatcher {
  public:
    explicit Stage(void (*stage)(Game&)) : stage_(stage) {}
    void before_frame(Game& game) override { stage_(game); }
    void after_frame(Game&) override {}

  private:
    void (*stage_)(Game&);
};

// A character standing at (x, 0, z) turned toward the camera, which sits toward +z.
void stand(const PlayerTable& t, PlayerRecord& p, int element, float x, float z) {
    p = t.slots[0];
    p.position = {x, 0.0f, z};
    p.velocity = {0.0f, 0.0f, 1.0f};
    p.element = element;
    p.action = action_idle;
    p.action_phase = 0;
    p.slot_state = slot_in_game;
}

void four_elements(Game& game) {
    PlayerTable& t = game.table;
    // Staggered in depth so their status labels don't cover each other.
    stand(t, t.slots[0], 0, 9.0f, -9.0f);
    stand(t, t.slots[1], 1, 10.6f, -10.3f);
    stand(t, t.slots[2], 2, 7.4f, -10.3f);
    stand(t, t.slots[3], 3, 9.0f, -11.6f);
    t.slots[1].action = action_walk;
    t.slots[1].action_phase = 0;
    t.slots[2].action = action_walk;
    t.slots[2].action_phase = 2;
}

void attack(Game& game) {
    PlayerTable& t = game.table;
    stand(t, t.slots[0], 3, 9.0f, -9.0f);
    stand(t, t.slots[1], 1, 8.0f, -10.0f);
    t.slots[0].velocity = {-1.0f, 0.0f, 1.0f};  // toward the camera and the pirate's side
    t.slots[0].action = action_attack;
    t.slots[0].action_phase = 1;
    // The hit's "klank" pops up at the attacker a few frames before the picture.
    static int frame = 0;
    if (++frame == 8) effect_spawn(game.effects, 0, t.slots[0].position);
}

void health_ring(Game& game) {
    PlayerTable& t = game.table;
    stand(t, t.slots[0], 2, 9.0f, -9.0f);
    t.slots[0].health = 57;
}

int shoot(const char* data_dir, const std::string& file, bool play, void (*stage)(Game&)) {
    const pid_t child = fork();
    if (child == 0) {
        RunOptions o;
        o.windowed = true;
        o.play = play;
        o.frames = 12;
        o.data_dir = data_dir;
        o.screenshot = file.c_str();
        auto game = std::make_unique<Game>();
        Stage staging(stage);
        _exit(run_game(o, *game, stage ? &staging : nullptr));
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
