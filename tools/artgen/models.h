// The .x models of the characters, the bone markers and the map items.
#pragma once

#include <string>
#include <vector>

#include "mesh_builder.h"

struct NamedMesh {
    std::string file;  // under Data/models/
    MeshData mesh;
};

// How far an outline hull stands off its model.
constexpr float kOutlinePush = 0.025f;

// Every model file in a fixed order, outline hulls included.
std::vector<NamedMesh> all_models();

// The character pieces in the frame of the figure: hips at the origin, in the default
// pose (what the pieces look like before each is carried into its own piece frame).
MeshData head_model();
MeshData body_model();
MeshData hand_model(bool left);
MeshData foot_sole_model();
MeshData foot_upper_model();
