// Writes the screenshots of docs/: the menu, four elements in play, an attack with its
// trail and a "klank", the health ring, and the editor's two sub-modes. Each scene runs the real
// game offscreen in a child process and stages the player table before each frame.
//
//   SDL_VIDEODRIVER=offscreen build/docshots DATA_DIR OUT_DIR
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "app/game_main.h"
#include "app/modes.h"
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

// The editor opened from the menu, as its button does; once per run.
bool open_editor(Game& game) {
    static bool opened = false;
    if (opened) return false;
    opened = true;
    window_procedure(game, command_message(command_editor));
    return true;
}

// A pond with a box on its shore, an earth path and grass tufts, the cursor on the pond.
void editor_map(Game& game) {
    if (!open_editor(game)) return;
    MapGrid& map = game.editor.map.map;
    for (int p = 4; p <= 7; ++p) {
        for (int q = 4; q <= 6; ++q) set_corner(map, p, q, terrain_water);
    }
    for (int q = 0; q < 12; ++q) set_corner(map, 9, q, terrain_earth);
    set_item(map, 8, 5, item_box);
    for (int p : {2, 3, 11}) set_item(map, p, 9, item_grass);
    game.editor.map.picked_p = game.editor.map.picked_q = 5;
    game.editor.map.pick_hit = true;
    set_camera(game.cam, {5.0f, 8.0f, 6.0f}, {5.0f, 0.0f, -2.0f});
}

// The figures sub-mode with the left arm raised and the head turned.
void editor_figures(Game& game) {
    if (!open_editor(game)) return;
    window_procedure(game, command_message(command_sub_mode_pose));
    turn_bone(game.editor.pose, bone_slot("left arm"), mouse_bit_right, 0, -70);
    turn_bone(game.editor.pose, bone_slot("head"), mouse_bit_middle, 0, 30);
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
    failures += shoot(argv[1], out + "/editor-map.png", false, editor_map);
    failures += shoot(argv[1], out + "/editor-figures.png", false, editor_figures);
    return failures == 0 ? 0 : 1;
}
