// The pick ray under a pixel.
#include "render/picking.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

#include "support/expect_near.h"

namespace {

struct Scene {
    Vec3 eye = {12, 9, 4};
    Vec3 target = {20, 0, -15};
    Matrix view = look_at_lh(eye, target, {0, 1, 0});
    Matrix projection = perspective_fov_lh(3.1415927f / 4, 1024.0f / 768.0f, 1, 1500);
};

// Every point of the ray projects back onto the pixel it was made for; the centre's ray
// looks from the eye at the target.
TEST(CursorRay, RayProjectsBackOntoItsPixel) {
    const Scene s;
    const Ray centre = cursor_ray(512, 384, 1024, 768, s.projection, s.view);
    expect_near(centre.origin, s.eye, 1e-4f);
    expect_near(normalize(centre.direction), normalize(subtract(s.target, s.eye)));
    const Viewport vp = {0, 0, 1024, 768, 0, 1};
    for (const auto& p : {std::pair{0.0f, 0.0f}, {1023.0f, 767.0f}, {100.0f, 600.0f}}) {
        const Ray ray = cursor_ray(p.first, p.second, 1024, 768, s.projection, s.view);
        for (float t : {2.0f, 30.0f}) {
            const Vec3 point = add(ray.origin, scale(ray.direction, t));
            const Vec3 screen = project(point, vp, s.projection, s.view, identity());
            EXPECT_NEAR(screen.x, p.first, 0.01f);
            EXPECT_NEAR(screen.y, p.second, 0.01f);
        }
    }
}

TEST(CursorRay, DegenerateInputGivesNoDirection) {
    const Scene s;
    const Vec3 none = {0, 0, 0};
    for (const auto& size : {std::pair{0, 768}, {1024, 0}, {-5, -5}}) {
        const Ray ray = cursor_ray(10, 10, size.first, size.second, s.projection, s.view);
        expect_near(ray.direction, none, 0.0f);
        expect_near(ray.origin, s.eye, 1e-4f);
    }
    Matrix flat = s.projection;
    flat.m[1][1] = 0.0f;
    expect_near(cursor_ray(10, 10, 1024, 768, flat, s.view).direction, none, 0.0f);
    Matrix singular = s.view;
    for (float& v : singular.m[2]) v = 0.0f;
    const Ray lost = cursor_ray(10, 10, 1024, 768, s.projection, singular);
    expect_near(lost.origin, none, 0.0f);
    expect_near(lost.direction, none, 0.0f);
}

}  // namespace
