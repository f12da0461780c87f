// The generated art: reproducible, loadable by the game's libraries, and shaped to fit
// the skeleton and the map.
#include <SDL2/SDL_image.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <assimp/Importer.hpp>
#include <cfloat>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "skeleton/bone_pose.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSource = TORVI_SOURCE_DIR;
// The folders the generator writes into; every file in them is its output.
const char* const kOutputFolders[] = {"Data/models", "Data/textures", "Data/bones", "Data/shell",
                                      "docs/art"};
const char* const kOutputFiles[] = {"config.cfg", "Data/textures.cfg"};

std::string read_bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::set<std::string> files_under(const fs::path& root) {
    std::set<std::string> out;
    for (const char* folder : kOutputFolders) {
        if (!fs::exists(root / folder)) continue;
        for (const auto& entry : fs::directory_iterator(root / folder)) {
            if (entry.is_regular_file())
                out.insert(fs::relative(entry.path(), root).generic_string());
        }
    }
    for (const char* file : kOutputFiles) {
        if (fs::exists(root / file)) out.insert(file);
    }
    return out;
}

bool run_artgen(const fs::path& out) {
    const std::string command = std::string(TORVI_ARTGEN) + " " + out.string();
    return std::system(command.c_str()) == 0;
}

constexpr unsigned kImportFlags = aiProcess_MakeLeftHanded | aiProcess_FlipWindingOrder |
                                  aiProcess_FlipUVs | aiProcess_Triangulate;

struct Bounds {
    Vec3 lo = {FLT_MAX, FLT_MAX, FLT_MAX};
    Vec3 hi = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
    void take(Vec3 p) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
};

// The vertices of a committed model, read by Assimp as the game reads them.
std::vector<Vec3> model_vertices(const char* file) {
    Assimp::Importer importer;
    const aiScene* scene =
        importer.ReadFile((kSource / "Data/models" / file).string(), kImportFlags);
    std::vector<Vec3> out;
    if (!scene) return out;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh* mesh = scene->mMeshes[m];
        for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
            out.push_back({mesh->mVertices[i].x, mesh->mVertices[i].y, mesh->mVertices[i].z});
        }
    }
    return out;
}

// Where a piece's model lands when a character stands at the origin in the given pose.
Bounds placed_bounds(const char* file, const BonePose& pose, int piece) {
    Matrix m;
    piece_matrix(m, pose, piece);
    m = multiply(m, translation(0.0f, 0.55f, 0.0f));
    Bounds b;
    for (Vec3 p : model_vertices(file)) b.take(transform_coord(p, m));
    return b;
}

BonePose default_figure() {
    BonePose pose;
    default_pose(pose);
    return pose;
}

bool load_key(BonePose& pose, const char* name) {
    default_pose(pose);
    const PoseLoad load = load_pose(pose, (kSource / "Data/bones" / name).c_str());
    if (!pose_load_is_clean(load)) report_pose_load(name, load);
    return pose_load_is_clean(load);
}

Vec3 bone_tip(const BonePose& pose, int bone) {
    Matrix m;
    bone_matrix(m, pose, bone);
    return transform_coord({0, 0, 0}, m);
}

}  // namespace

TEST(Artgen, WritesTheCommittedFilesByteForByte) {
    TempFolder first("artgen_test_");
    ASSERT_TRUE(run_artgen(first.path()));
    const std::set<std::string> made = files_under(first.path());
    EXPECT_EQ(made, files_under(kSource)) << "the committed art and the generator disagree";
    for (const std::string& file : made) {
        EXPECT_EQ(read_bytes(first.path() / file), read_bytes(kSource / file)) << file;
    }
}

TEST(Artgen, EveryConfiguredTextureIsAPowerOfTwoPng) {
    const std::string config = read_bytes(kSource / "Data/textures.cfg");
    const std::vector<std::string> required = {
        "zombie_body", "zombie_head", "pirate_body", "pirate_head", "ninja_body", "robot_body",
        "robot_head",  "white",       "grey",        "red",         "black",      "blue",
        "health",      "box",         "gras",        "balken",      "ring",       "klank",
        "tap",         "boom",        "shell",       "gamepad"};
    for (const std::string& name : required) {
        EXPECT_NE(config.find("ID=" + name + "\n"), std::string::npos) << name;
        SDL_Surface* image = IMG_Load((kSource / ("Data/textures/" + name + ".png")).c_str());
        ASSERT_NE(image, nullptr) << name;
        auto power_of_two = [](int v) { return v > 0 && (v & (v - 1)) == 0; };
        EXPECT_TRUE(power_of_two(image->w) && power_of_two(image->h)) << name;
        SDL_FreeSurface(image);
    }
    EXPECT_NE(config.find("texturecount=" + std::to_string(required.size()) + "\n"),
              std::string::npos);
}

TEST(Artgen, TheCursorIsA32PixelImageSdlCanRead) {
    const std::string bytes = read_bytes(kSource / "Data/shell/main.cur");
    ASSERT_GE(bytes.size(), 22u);
    EXPECT_EQ(bytes[2], 2) << "a cursor, not an icon";
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
    SDL_Surface* image = IMG_Load_RW(rw, 1);
    ASSERT_NE(image, nullptr) << IMG_GetError();
    EXPECT_EQ(image->w, 32);
    EXPECT_EQ(image->h, 32);
    SDL_FreeSurface(image);
}

TEST(Artgen, EveryModelLoadsWithNormalsAndTextureCoordinates) {
    int models = 0;
    for (const auto& entry : fs::directory_iterator(kSource / "Data/models")) {
        if (entry.path().extension() != ".x") continue;
        ++models;
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFile(entry.path().string(), kImportFlags);
        ASSERT_NE(scene, nullptr) << entry.path() << ": " << importer.GetErrorString();
        ASSERT_GT(scene->mNumMeshes, 0u) << entry.path();
        const aiMesh* mesh = scene->mMeshes[0];
        EXPECT_TRUE(mesh->HasNormals()) << entry.path();
        EXPECT_TRUE(mesh->HasTextureCoords(0)) << entry.path();
        EXPECT_GT(mesh->mNumFaces, 0u) << entry.path();
    }
    EXPECT_EQ(models, 20);
}

// Front faces wind clockwise seen from outside, so a closed model encloses a positive
// volume by the left-handed rule and its outline hull, wound the other way, a negative one.
TEST(Artgen, ModelsFaceOutwardAndHullsInward) {
    auto volume6 = [](const char* file) {
        Assimp::Importer importer;
        const aiScene* scene =
            importer.ReadFile((kSource / "Data/models" / file).string(), kImportFlags);
        float sum = 0;
        if (!scene) return sum;
        for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
            const aiMesh* mesh = scene->mMeshes[m];
            for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
                const aiFace& face = mesh->mFaces[f];
                Vec3 p[3];
                for (int k = 0; k < 3; ++k) {
                    const aiVector3D v = mesh->mVertices[face.mIndices[k]];
                    p[k] = {v.x, v.y, v.z};
                }
                sum += dot(p[0], cross(p[1], p[2]));
            }
        }
        return sum;
    };
    const char* pairs[][2] = {
        {"head.x", "head_toon.x"},         {"body.x", "body_toon.x"},
        {"lefthand.x", "lefthand_toon.x"}, {"righthand.x", "righthand_toon.x"},
        {"health.x", "health_toon.x"},     {"box.x", "box_toon.x"},
        {"oster.x", "oster_toon.x"},       {"foot_part2.x", "foot_toon.x"}};
    for (const auto& pair : pairs) {
        EXPECT_GT(volume6(pair[0]), 0.0f) << pair[0];
        EXPECT_LT(volume6(pair[1]), 0.0f) << pair[1];
    }
    for (const char* solid : {"foot_part1.x", "bone_start.x", "bone_end.x"}) {
        EXPECT_GT(volume6(solid), 0.0f) << solid;
    }
}

TEST(Artgen, HullsStandJustOffTheirModels) {
    const char* pairs[][2] = {{"head.x", "head_toon.x"}, {"box.x", "box_toon.x"}};
    for (const auto& pair : pairs) {
        const std::vector<Vec3> model = model_vertices(pair[0]);
        const std::vector<Vec3> hull = model_vertices(pair[1]);
        ASSERT_FALSE(hull.empty()) << pair[1];
        // The importer may split and reorder vertices, so match each to its nearest.
        for (size_t i = 0; i < hull.size(); ++i) {
            float gap = FLT_MAX;
            for (Vec3 p : model) gap = std::min(gap, length(subtract(hull[i], p)));
            EXPECT_NEAR(gap, 0.025f, 0.006f) << pair[1] << " vertex " << i;
        }
    }
}

TEST(Artgen, TheDefaultFigureStandsOnTheGroundWithItsPiecesInPlace) {
    const BonePose pose = default_figure();
    const Bounds head = placed_bounds("head.x", pose, piece_head);
    const Bounds body = placed_bounds("body.x", pose, piece_body);
    const Bounds left_hand = placed_bounds("lefthand.x", pose, piece_left_hand);
    const Bounds right_hand = placed_bounds("righthand.x", pose, piece_right_hand);
    const Bounds left_sole = placed_bounds("foot_part1.x", pose, piece_left_foot);
    const Bounds right_sole = placed_bounds("foot_part1.x", pose, piece_right_foot);
    const Bounds left_shoe = placed_bounds("foot_part2.x", pose, piece_left_foot);

    EXPECT_NEAR(left_sole.lo.y, 0.0f, 0.02f);
    EXPECT_NEAR(right_sole.lo.y, 0.0f, 0.02f);
    EXPECT_GE(left_shoe.lo.y, -0.02f);
    EXPECT_GT(head.hi.y, 1.3f);
    EXPECT_GT(head.hi.y - left_sole.lo.y, 1.4f);
    EXPECT_LT(head.hi.y - left_sole.lo.y, 1.7f);
    // A big head on a round body; hands at the ends of the arms; "left" on +X.
    EXPECT_GT(head.hi.x - head.lo.x, 0.5f);
    EXPECT_GT(body.lo.y, 0.3f);
    EXPECT_LT(body.hi.y, head.hi.y);
    EXPECT_GT(left_hand.lo.x, 0.15f);
    EXPECT_LT(right_hand.hi.x, -0.15f);
    EXPECT_NEAR((left_hand.lo.y + left_hand.hi.y) / 2, 0.6f, 0.1f);
    EXPECT_GT(left_sole.lo.x, 0.0f);
    EXPECT_LT(right_sole.hi.x, 0.0f);
    // Toes point to -Z: the shoe reaches further forward than back.
    EXPECT_GT(-left_shoe.lo.z, left_shoe.hi.z);
    for (const Bounds& b : {head, body, left_hand, right_hand, left_sole, right_sole}) {
        EXPECT_LT(
            std::max({std::fabs(b.lo.x), std::fabs(b.hi.x), std::fabs(b.lo.z), std::fabs(b.hi.z)}),
            0.5f);
    }
}

TEST(Artgen, TheFaceIsOnTheFrontOfTheHead) {
    // The middle column of a head skin wraps onto the point that faces -Z.
    Assimp::Importer importer;
    const aiScene* scene =
        importer.ReadFile((kSource / "Data/models/head.x").string(), kImportFlags);
    ASSERT_NE(scene, nullptr);
    const aiMesh* mesh = scene->mMeshes[0];
    float front_z = FLT_MAX, front_u = -1;
    for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
        if (mesh->mVertices[i].z < front_z) {
            front_z = mesh->mVertices[i].z;
            front_u = mesh->mTextureCoords[0][i].x;
        }
    }
    EXPECT_NEAR(front_u, 0.5f, 0.05f);
}

TEST(Artgen, ItemsStandWhereTheMapPutsThem) {
    Bounds crate;
    for (Vec3 p : model_vertices("box.x")) crate.take(p);
    EXPECT_NEAR(crate.lo.x, -0.1f, 1e-4f);
    EXPECT_NEAR(crate.hi.x, 1.1f, 1e-4f);
    EXPECT_NEAR(crate.lo.y, -0.05f, 1e-4f);
    EXPECT_NEAR(crate.hi.y, 1.25f, 1e-4f);
    EXPECT_NEAR(crate.lo.z, -1.1f, 1e-4f);
    EXPECT_NEAR(crate.hi.z, 0.1f, 1e-4f);

    for (const char* item : {"oster.x", "gras.x"}) {
        Bounds b;
        for (Vec3 p : model_vertices(item)) b.take(p);
        EXPECT_NEAR(b.lo.y, 0.0f, 0.01f) << item;
        EXPECT_LT(std::max(std::fabs(b.lo.x), std::fabs(b.hi.x)), 0.5f) << item;
    }
    // The menu's heart is about a unit across, around the origin, outside the near plane
    // of a camera at (1, 1, 1).
    Bounds heart;
    for (Vec3 p : model_vertices("health.x")) {
        heart.take(p);
        EXPECT_GT(length(subtract({1, 1, 1}, p)), 1.05f);
    }
    EXPECT_GT(heart.hi.y - heart.lo.y, 0.6f);
    EXPECT_LT(heart.hi.y - heart.lo.y, 1.2f);
}

TEST(Artgen, BoneMarkersFillABoneFromJointToTip) {
    Bounds shaft, knob;
    for (Vec3 p : model_vertices("bone_start.x")) shaft.take(p);
    for (Vec3 p : model_vertices("bone_end.x")) knob.take(p);
    EXPECT_NEAR(shaft.lo.y, -1.0f, 0.01f);
    EXPECT_NEAR(shaft.hi.y, 0.0f, 0.01f);
    EXPECT_NEAR(knob.lo.y + knob.hi.y, 0.0f, 0.01f);
    EXPECT_NEAR(knob.lo.x + knob.hi.x, 0.0f, 0.01f);
}

TEST(Artgen, KeyPosesWalkStrikeAndReach) {
    BonePose walk1, walk2, walk3, zombie, attack[3];
    ASSERT_TRUE(load_key(walk1, "WALK1.bones"));
    ASSERT_TRUE(load_key(walk2, "WALK2.bones"));
    ASSERT_TRUE(load_key(walk3, "WALK3.bones"));
    ASSERT_TRUE(load_key(zombie, "ZOMBIE1.bones"));
    ASSERT_TRUE(load_key(attack[0], "ATTACK1.bones"));
    ASSERT_TRUE(load_key(attack[1], "ATTACK2.bones"));
    ASSERT_TRUE(load_key(attack[2], "ATTACK3.bones"));

    // Opposite strides: feet on opposite sides in z, each arm swinging against its leg.
    for (const BonePose* walk : {&walk1, &walk3}) {
        const Vec3 left_foot = bone_tip(*walk, 8), right_foot = bone_tip(*walk, 9);
        EXPECT_LT(left_foot.z * right_foot.z, -0.01f);
        EXPECT_LT(left_foot.z * bone_tip(*walk, 6).z, 0.0f);
    }
    EXPECT_LT(bone_tip(walk1, 8).z * bone_tip(walk3, 8).z, 0.0f);
    // Passing: the feet are close together in z.
    EXPECT_LT(std::fabs(bone_tip(walk2, 8).z - bone_tip(walk2, 9).z), 0.25f);
    // The feet stay on or above the ground.
    for (const BonePose* p : {&walk1, &walk2, &walk3, &zombie}) {
        EXPECT_GT(bone_tip(*p, 8).y, -0.56f);
        EXPECT_GT(bone_tip(*p, 9).y, -0.56f);
    }
    // The zombie reaches forward with both hands.
    EXPECT_LT(bone_tip(zombie, 6).z, -0.2f);
    EXPECT_LT(bone_tip(zombie, 7).z, -0.2f);
    // The right fist: raised behind, thrown forward, then swept down across.
    const Vec3 wind = bone_tip(attack[0], 7), strike = bone_tip(attack[1], 7),
               follow = bone_tip(attack[2], 7);
    EXPECT_GT(wind.y, 0.52f);
    EXPECT_GT(wind.z, 0.0f);
    EXPECT_LT(strike.z, -0.3f);
    EXPECT_LT(follow.y, strike.y);
    EXPECT_GT(follow.x, strike.x);
}
