// The generated art: reproducible, and loadable by the game's libraries.
#include <SDL2/SDL_image.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <assimp/Importer.hpp>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <set>
#include <string>

#include "skeleton/bone_pose.h"
#include "sound/sound_board.h"
#include "sound/wav_check.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSource = TORVI_SOURCE_DIR;

// The files under root/folder with the given extension, or all of them for "".
std::set<fs::path> files_in(const fs::path& root, const char* folder, const char* ext = "") {
    std::set<fs::path> out;
    if (!fs::exists(root / folder)) return out;
    for (const auto& entry : fs::directory_iterator(root / folder)) {
        if (entry.is_regular_file() && (*ext == 0 || entry.path().extension() == ext)) {
            out.insert(fs::relative(entry.path(), root));
        }
    }
    return out;
}

// The generator's output under root: every file in its folders, and its two files.
std::set<fs::path> generated_under(const fs::path& root) {
    std::set<fs::path> out;
    for (const char* folder : {"Data/models", "Data/textures", "Data/bones", "Data/shell",
                               "Data/sounds", "docs/art", "dist/icons"}) {
        out.merge(files_in(root, folder));
    }
    for (const char* file : {"config.cfg", "Data/textures.cfg"}) {
        if (fs::exists(root / file)) out.insert(file);
    }
    return out;
}

}  // namespace

TEST(Artgen, WritesTheCommittedFilesByteForByte) {
    TempFolder first("artgen_test_");
    ASSERT_EQ(std::system((std::string(TORVI_ARTGEN) + " " + first.path().string()).c_str()), 0);
    const std::set<fs::path> made = generated_under(first.path());
    EXPECT_EQ(made, generated_under(kSource)) << "the committed art and the generator disagree";
    for (const fs::path& file : made) {
        EXPECT_EQ(read_text(first.path() / file), read_text(kSource / file)) << file;
    }
}

// Textures are power-of-two images, the cursor a 32-pixel cursor, every model imports
// with normals and texture coordinates, and every key pose loads without complaint.
TEST(Artgen, EveryFileLoadsAsTheGameLoadsIt) {
    const std::string config = read_text(kSource / "Data/textures.cfg");
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
    EXPECT_NE(config.find("texturecount=" + std::to_string(textures) + "\n"), std::string::npos);

    const std::string bytes = read_text(kSource / "Data/shell/main.cur");
    ASSERT_GE(bytes.size(), 22u);
    EXPECT_EQ(bytes[2], 2) << "a cursor, not an icon";
    SDL_Surface* cursor = IMG_Load_RW(SDL_RWFromConstMem(bytes.data(), int(bytes.size())), 1);
    ASSERT_NE(cursor, nullptr) << IMG_GetError();
    EXPECT_TRUE(cursor->w == 32 && cursor->h == 32) << cursor->w << "x" << cursor->h;
    SDL_FreeSurface(cursor);

    const std::set<fs::path> models = files_in(kSource, "Data/models", ".x");
    EXPECT_EQ(models.size(), 20u);
    for (const fs::path& file : models) {
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFile(
            (kSource / file).string(), aiProcess_MakeLeftHanded | aiProcess_FlipWindingOrder |
                                           aiProcess_FlipUVs | aiProcess_Triangulate);
        ASSERT_NE(scene, nullptr) << file << ": " << importer.GetErrorString();
        ASSERT_GT(scene->mNumMeshes, 0u) << file;
        const aiMesh* mesh = scene->mMeshes[0];
        EXPECT_TRUE(mesh->HasNormals() && mesh->HasTextureCoords(0)) << file;
        EXPECT_GT(mesh->mNumFaces, 0u) << file;
    }

    const std::set<fs::path> keys = files_in(kSource, "Data/bones", ".bones");
    EXPECT_EQ(keys.size(), 7u);
    for (const fs::path& file : keys) {
        BonePose pose;
        default_pose(pose);
        const PoseLoad load = load_pose(pose, (kSource / file).c_str());
        EXPECT_TRUE(pose_load_is_clean(load)) << file;
    }
}

// Each sound is short, starts and ends in silence (no click) and peaks below -1 dBFS.
TEST(Artgen, SoundsAreShortCleanAndBelowTheCeiling) {
    for (const SoundInfo& sound : kSounds) {
        const std::string bytes = read_text(kSource / sound.path);
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
        const WavInfo info = check_wav(data, bytes.size());
        ASSERT_TRUE(info.ok && info.bits == 16 && info.channels == 1) << sound.path;
        const size_t first = bytes.size() - info.frames * 2;  // the data ends the file
        auto sample = [&](size_t k) {
            return static_cast<int16_t>(data[first + 2 * k] | data[first + 2 * k + 1] << 8);
        };
        int peak = 0;
        for (size_t k = 0; k < info.frames; ++k) peak = std::max(peak, std::abs(int{sample(k)}));
        EXPECT_LT(peak, 29205) << sound.path;  // -1 dBFS
        EXPECT_GT(peak, 8000) << sound.path;   // and not faint
        EXPECT_EQ(sample(0), 0) << sound.path;
        EXPECT_EQ(sample(info.frames - 1), 0) << sound.path;
        EXPECT_LT(info.frames, static_cast<size_t>(info.rate)) << sound.path << " is over 1 s";
    }
}
