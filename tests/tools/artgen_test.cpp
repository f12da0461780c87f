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
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "skeleton/bone_pose.h"
#include "support/expect_near.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSource = TORVI_SOURCE_DIR;

std::string read_bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The generator's output under root: every file in its folders, and its two files.
std::set<std::string> files_under(const fs::path& root) {
    std::set<std::string> out;
    for (const char* folder :
         {"Data/models", "Data/textures", "Data/bones", "Data/shell", "docs/art"}) {
        if (!fs::exists(root / folder)) continue;
        for (const auto& entry : fs::directory_iterator(root / folder)) {
            if (entry.is_regular_file()) {
                out.insert(fs::relative(entry.path(), root).generic_string());
            }
        }
    }
    for (const char* file : {"config.cfg", "Data/textures.cfg"}) {
        if (fs::exists(root / file)) out.insert(file);
    }
    return out;
}

// A committed model read by Assimp as the game reads it.
struct Model {
    explicit Model(const std::string& file)
        : scene(importer.ReadFile((kSource / "Data/models" / file).string(),
                                  aiProcess_MakeLeftHanded | aiProcess_FlipWindingOrder |
                                      aiProcess_FlipUVs | aiProcess_Triangulate)) {}
    std::vector<Vec3> vertices() const {
        std::vector<Vec3> out;
        for (unsigned m = 0; scene && m < scene->mNumMeshes; ++m) {
            const aiMesh* mesh = scene->mMeshes[m];
            for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
                out.push_back({mesh->mVertices[i].x, mesh->mVertices[i].y, mesh->mVertices[i].z});
            }
        }
        return out;
    }
    // Six times the enclosed volume, positive for faces wound clockwise seen from outside.
    float volume6() const {
        float sum = 0;
        for (unsigned m = 0; scene && m < scene->mNumMeshes; ++m) {
            const aiMesh* mesh = scene->mMeshes[m];
            for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
                Vec3 p[3];
                for (int k = 0; k < 3; ++k) {
                    const aiVector3D v = mesh->mVertices[mesh->mFaces[f].mIndices[k]];
                    p[k] = {v.x, v.y, v.z};
                }
                sum += dot(p[0], cross(p[1], p[2]));
            }
        }
        return sum;
    }

    Assimp::Importer importer;
    const aiScene* scene;
};

struct Bounds {
    Vec3 lo = {FLT_MAX, FLT_MAX, FLT_MAX};
    Vec3 hi = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
    void take(Vec3 p) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
};

// The model's bounds, placed by matrix m.
Bounds bounds_of(const char* file, const Matrix& m = identity()) {
    Bounds b;
    for (Vec3 p : Model(file).vertices()) b.take(transform_coord(p, m));
    return b;
}

// Where a piece's model lands when a character stands at the origin in the default pose.
Bounds placed_bounds(const char* file, int piece) {
    BonePose pose;
    default_pose(pose);
    Matrix m;
    piece_matrix(m, pose, piece);
    return bounds_of(file, multiply(m, translation(0.0f, 0.55f, 0.0f)));
}

Vec3 bone_tip(const BonePose& pose, int bone) {
    Matrix m;
    bone_matrix(m, pose, bone);
    return transform_coord({0, 0, 0}, m);
}

}  // namespace

TEST(Artgen, WritesTheCommittedFilesByteForByte) {
    TempFolder first("artgen_test_");
    ASSERT_EQ(std::system((std::string(TORVI_ARTGEN) + " " + first.path().string()).c_str()), 0);
    const std::set<std::string> made = files_under(first.path());
    EXPECT_EQ(made, files_under(kSource)) << "the committed art and the generator disagree";
    for (const std::string& file : made) {
        EXPECT_EQ(read_bytes(first.path() / file), read_bytes(kSource / file)) << file;
    }
}

TEST(Artgen, EveryConfiguredTextureIsAPowerOfTwoPngAndTheCursorA32PixelImage) {
    const std::string config = read_bytes(kSource / "Data/textures.cfg");
    auto power_of_two = [](int v) { return v > 0 && (v & (v - 1)) == 0; };
    int textures = 0;
    for (size_t at = config.find("texturename="); at != std::string::npos;
         at = config.find("texturename=", at + 1), ++textures) {
        const std::string path = config.substr(at + 12, config.find('\n', at) - at - 12);
        SDL_Surface* image = IMG_Load((kSource / path).c_str());
        ASSERT_NE(image, nullptr) << path;
        EXPECT_TRUE(power_of_two(image->w) && power_of_two(image->h)) << path;
        SDL_FreeSurface(image);
    }
    EXPECT_EQ(textures, 22);
    EXPECT_NE(config.find("texturecount=22\n"), std::string::npos);
    const std::string bytes = read_bytes(kSource / "Data/shell/main.cur");
    ASSERT_GE(bytes.size(), 22u);
    EXPECT_EQ(bytes[2], 2) << "a cursor, not an icon";
    SDL_Surface* cursor = IMG_Load_RW(SDL_RWFromConstMem(bytes.data(), int(bytes.size())), 1);
    ASSERT_NE(cursor, nullptr) << IMG_GetError();
    EXPECT_EQ(cursor->w, 32);
    EXPECT_EQ(cursor->h, 32);
    SDL_FreeSurface(cursor);
}

TEST(Artgen, EveryModelLoadsWithNormalsAndTextureCoordinatesAndTheFaceInFront) {
    int models = 0;
    for (const auto& entry : fs::directory_iterator(kSource / "Data/models")) {
        if (entry.path().extension() != ".x") continue;
        ++models;
        const Model model(entry.path().filename().string());
        ASSERT_NE(model.scene, nullptr) << entry.path() << ": " << model.importer.GetErrorString();
        ASSERT_GT(model.scene->mNumMeshes, 0u) << entry.path();
        const aiMesh* mesh = model.scene->mMeshes[0];
        EXPECT_TRUE(mesh->HasNormals()) << entry.path();
        EXPECT_TRUE(mesh->HasTextureCoords(0)) << entry.path();
        EXPECT_GT(mesh->mNumFaces, 0u) << entry.path();
    }
    EXPECT_EQ(models, 20);

    // The middle column of a head skin wraps onto the point that faces -Z.
    const Model head("head.x");
    const aiMesh* mesh = head.scene->mMeshes[0];
    float front_z = FLT_MAX, front_u = -1;
    for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
        if (mesh->mVertices[i].z < front_z) {
            front_z = mesh->mVertices[i].z;
            front_u = mesh->mTextureCoords[0][i].x;
        }
    }
    EXPECT_NEAR(front_u, 0.5f, 0.05f);
}

// Front faces wind clockwise seen from outside, so a closed model encloses a positive
// volume by the left-handed rule and its outline hull, wound the other way, a negative one.
// Hulls stand just off their models.
TEST(Artgen, ModelsFaceOutwardAndHullsInwardJustOffThem) {
    const char* pairs[][2] = {
        {"head.x", "head_toon.x"},         {"body.x", "body_toon.x"},
        {"lefthand.x", "lefthand_toon.x"}, {"righthand.x", "righthand_toon.x"},
        {"health.x", "health_toon.x"},     {"box.x", "box_toon.x"},
        {"oster.x", "oster_toon.x"},       {"foot_part2.x", "foot_toon.x"}};
    for (const auto& pair : pairs) {
        EXPECT_GT(Model(pair[0]).volume6(), 0.0f) << pair[0];
        EXPECT_LT(Model(pair[1]).volume6(), 0.0f) << pair[1];
    }
    for (const char* solid : {"foot_part1.x", "bone_start.x", "bone_end.x"}) {
        EXPECT_GT(Model(solid).volume6(), 0.0f) << solid;
    }
    for (int k : {0, 5}) {  // head and box
        const std::vector<Vec3> model = Model(pairs[k][0]).vertices();
        const std::vector<Vec3> hull = Model(pairs[k][1]).vertices();
        ASSERT_FALSE(hull.empty()) << pairs[k][1];
        // The importer may split and reorder vertices, so match each to its nearest.
        for (size_t i = 0; i < hull.size(); ++i) {
            float gap = FLT_MAX;
            for (Vec3 p : model) gap = std::min(gap, length(subtract(hull[i], p)));
            EXPECT_NEAR(gap, 0.025f, 0.006f) << pairs[k][1] << " vertex " << i;
        }
    }
}

TEST(Artgen, TheDefaultFigureStandsOnTheGroundWithItsPiecesInPlace) {
    const Bounds head = placed_bounds("head.x", piece_head);
    const Bounds body = placed_bounds("body.x", piece_body);
    const Bounds left_hand = placed_bounds("lefthand.x", piece_left_hand);
    const Bounds right_hand = placed_bounds("righthand.x", piece_right_hand);
    const Bounds left_sole = placed_bounds("foot_part1.x", piece_left_foot);
    const Bounds right_sole = placed_bounds("foot_part1.x", piece_right_foot);
    const Bounds left_shoe = placed_bounds("foot_part2.x", piece_left_foot);

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

TEST(Artgen, ItemsStandWhereTheMapPutsThemAndBoneMarkersFillABone) {
    const Bounds crate = bounds_of("box.x");
    expect_near(crate.lo, {-0.1f, -0.05f, -1.1f}, 1e-4f);
    expect_near(crate.hi, {1.1f, 1.25f, 0.1f}, 1e-4f);
    for (const char* item : {"oster.x", "gras.x"}) {
        const Bounds b = bounds_of(item);
        EXPECT_NEAR(b.lo.y, 0.0f, 0.01f) << item;
        EXPECT_LT(std::max(std::fabs(b.lo.x), std::fabs(b.hi.x)), 0.5f) << item;
    }
    // The menu's heart is about a unit across, around the origin, outside the near plane
    // of a camera at (1, 1, 1).
    const Bounds heart = bounds_of("health.x");
    for (Vec3 p : Model("health.x").vertices()) EXPECT_GT(length(subtract({1, 1, 1}, p)), 1.05f);
    EXPECT_GT(heart.hi.y - heart.lo.y, 0.6f);
    EXPECT_LT(heart.hi.y - heart.lo.y, 1.2f);
    // The shaft runs from the joint (-1) to the tip (0); the knob is centred on the tip.
    const Bounds shaft = bounds_of("bone_start.x"), knob = bounds_of("bone_end.x");
    EXPECT_NEAR(shaft.lo.y, -1.0f, 0.01f);
    EXPECT_NEAR(shaft.hi.y, 0.0f, 0.01f);
    EXPECT_NEAR(knob.lo.y + knob.hi.y, 0.0f, 0.01f);
    EXPECT_NEAR(knob.lo.x + knob.hi.x, 0.0f, 0.01f);
}

TEST(Artgen, KeyPosesWalkStrikeAndReach) {
    const char* names[] = {"WALK1", "WALK2", "WALK3", "ZOMBIE1", "ATTACK1", "ATTACK2", "ATTACK3"};
    BonePose keys[7];
    for (int k = 0; k < 7; ++k) {
        default_pose(keys[k]);
        const std::string file = std::string(names[k]) + ".bones";
        const PoseLoad load = load_pose(keys[k], (kSource / "Data/bones" / file).c_str());
        if (!pose_load_is_clean(load)) report_pose_load(file.c_str(), load);
        ASSERT_TRUE(pose_load_is_clean(load)) << file;
    }
    const BonePose &walk1 = keys[0], &walk2 = keys[1], &walk3 = keys[2], &zombie = keys[3];
    // Opposite strides: feet on opposite sides in z, each arm swinging against its leg.
    for (const BonePose* walk : {&walk1, &walk3}) {
        const Vec3 left_foot = bone_tip(*walk, 8), right_foot = bone_tip(*walk, 9);
        EXPECT_LT(left_foot.z * right_foot.z, -0.01f);
        EXPECT_LT(left_foot.z * bone_tip(*walk, 6).z, 0.0f);
    }
    EXPECT_LT(bone_tip(walk1, 8).z * bone_tip(walk3, 8).z, 0.0f);
    // Passing: the feet are close together in z.
    EXPECT_LT(std::fabs(bone_tip(walk2, 8).z - bone_tip(walk2, 9).z), 0.25f);
    // The feet of the walk and the zombie stay on or above the ground.
    for (int k = 0; k < 4; ++k) {
        EXPECT_GT(bone_tip(keys[k], 8).y, -0.56f) << names[k];
        EXPECT_GT(bone_tip(keys[k], 9).y, -0.56f) << names[k];
    }
    // The zombie reaches forward with both hands.
    EXPECT_LT(bone_tip(zombie, 6).z, -0.2f);
    EXPECT_LT(bone_tip(zombie, 7).z, -0.2f);
    // The right fist: raised behind, thrown forward, then swept down across.
    const Vec3 wind = bone_tip(keys[4], 7), strike = bone_tip(keys[5], 7),
               follow = bone_tip(keys[6], 7);
    EXPECT_GT(wind.y, 0.52f);
    EXPECT_GT(wind.z, 0.0f);
    EXPECT_LT(strike.z, -0.3f);
    EXPECT_LT(follow.y, strike.y);
    EXPECT_GT(follow.x, strike.x);
}
