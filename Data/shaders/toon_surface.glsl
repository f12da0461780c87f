#version 330 core
// Toon surface: the clip position from c5..c8, the skin coordinate from v2, and a ramp
// coordinate from how squarely the view-space normal faces the light.
//   c0 = (0, 0.5, 1, 2)   c1..c4 = transpose(world * view)
//   c5..c8 = transpose(world * view * projection)
//   c9 = (0.3, 0.3, 0.3, 0)   c10 = the light's travel direction in view space
uniform vec4 c[11];

layout(location = 0) in vec3 v0;  // position
layout(location = 1) in vec3 v1;  // normal
layout(location = 2) in vec2 v2;  // skin coordinate

out vec2 skin_coordinate;
out vec2 ramp_coordinate;

void main() {
    vec4 position = vec4(v0, 1.0);
    gl_Position = vec4(dot(position, c[5]), dot(position, c[6]), dot(position, c[7]),
                       dot(position, c[8]));
#ifdef TORVI_DEPTH_REMAP
    gl_Position.z = 2.0 * gl_Position.z - gl_Position.w;
#endif
    vec4 normal = vec4(v1, 0.0);
    vec3 view_normal = vec3(dot(normal, c[1]), dot(normal, c[2]), dot(normal, c[3]));
    // c9 pushes the shadow edge a little past the side facing the light, so more of
    // the lit side gets the bright band.
    float light = dot(normalize(view_normal), -c[10].xyz) + c[9].x;
    ramp_coordinate = vec2(clamp(light, c[0].x, c[0].z), c[0].y);
    skin_coordinate = v2;
}
