#version 330 core
// Toon pixel: the skin texel darkened by the ramp's band (stage 0 ramp, stage 1 skin).
uniform sampler2D shade_ramp;
uniform sampler2D skin;

in vec2 skin_coordinate;
in vec2 ramp_coordinate;

out vec4 colour;

void main() {
    colour = texture(skin, skin_coordinate) * texture(shade_ramp, ramp_coordinate);
}
