#include "editor/map_editor.h"

#include <cmath>

namespace {

constexpr float kRadiansPerPixel = 0.017453292f;

}  // namespace

void init_map_editor(MapEditor& editor) {
    editor.map = MapGrid{};
    for (int p = 0; p < kMapSize; ++p) {
        for (int q = 0; q < kMapSize; ++q) set_corner(editor.map, p, q, terrain_light_grass);
    }
    editor.picked_p = editor.picked_q = 0;
    editor.pick_hit = false;
    editor.unsaved = false;
    editor.strokes.clear();
}

// The squares tile the ground plane, so the first one the ray meets is the one under the
// point where it crosses y = 0; on a shared edge the lower index wins, as testing the
// squares in index order would give.
bool pick_vertex(MapEditor& editor, const Ray& ray) {
    editor.pick_hit = false;
    if (ray.direction.y == 0.0f || !std::isfinite(ray.direction.y)) return false;
    const float t = -ray.origin.y / ray.direction.y;
    if (!(t >= 0.0f)) return false;
    const float x = ray.origin.x + t * ray.direction.x;
    const float z = ray.origin.z + t * ray.direction.z;
    const float p = std::ceil(x), q = std::ceil(-z);
    if (!(p >= 0.0f && p < kMapSize && q >= 0.0f && q < kMapSize)) return false;
    editor.picked_p = static_cast<int>(p);
    editor.picked_q = static_cast<int>(q);
    editor.pick_hit = true;
    return true;
}

void begin_stroke(MapEditor& editor) {
    editor.strokes.begin_step(editor.map);
}

void end_stroke(MapEditor& editor) {
    editor.strokes.end_step();
}

void paint(MapEditor& editor, uint8_t terrain, uint8_t item) {
    const bool own_stroke = !editor.strokes.step_open();
    if (own_stroke) begin_stroke(editor);
    set_corner(editor.map, editor.picked_p, editor.picked_q, terrain);
    set_item(editor.map, editor.picked_p, editor.picked_q, item);
    editor.unsaved = true;
    if (own_stroke) end_stroke(editor);
}

bool undo_stroke(MapEditor& editor) {
    const bool undone = editor.strokes.undo(editor.map);
    editor.unsaved = editor.unsaved || undone;
    return undone;
}

bool redo_stroke(MapEditor& editor) {
    const bool redone = editor.strokes.redo(editor.map);
    editor.unsaved = editor.unsaved || redone;
    return redone;
}

void pan(Camera& cam, float side, float up, float forward) {
    Vec3 f = subtract(cam.target, cam.eye);
    f.y = 0.0f;
    const float length = std::sqrt(f.x * f.x + f.z * f.z);
    if (!(length > 0.0f)) return;  // looking straight down: no horizontal direction
    f = scale(f, 1.0f / length);
    const Vec3 s = {-f.z, 0.0f, f.x};
    const Vec3 d = add(add(scale(s, side), Vec3{0.0f, up, 0.0f}), scale(f, forward));
    cam.eye = add(cam.eye, d);
    cam.target = add(cam.target, d);
}

void orbit_by_drag(Camera& cam, int last_x, int x) {
    orbit(cam, static_cast<float>(last_x - x) * kRadiansPerPixel, 0.0f);
}
