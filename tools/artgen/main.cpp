// artgen OUTDIR: writes every data file the game reads (models, textures and their
// configuration, key poses, the cursor, sounds, config.cfg, the desktop icons) under OUTDIR, the
// same bytes on every run, plus a preview sheet of the textures under docs/art/.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config/settings.h"
#include "cursor.h"
#include "icon.h"
#include "key_poses.h"
#include "models.h"
#include "preview.h"
#include "sounds.h"
#include "textures.h"

namespace {

namespace fs = std::filesystem;

class Writer {
  public:
    explicit Writer(fs::path root) : root_(std::move(root)) {}

    void write(const std::string& relative, const void* data, size_t size) {
        const fs::path path = root_ / relative;
        std::error_code ec;
        fs::create_directories(path.parent_path(), ec);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(static_cast<const char*>(data), std::streamsize(size));
        if (!out) {
            std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
            failed_ = true;
        }
    }
    void write(const std::string& relative, const std::string& text) {
        write(relative, text.data(), text.size());
    }
    void write(const std::string& relative, const std::vector<uint8_t>& bytes) {
        write(relative, bytes.data(), bytes.size());
    }
    bool failed() const { return failed_; }

  private:
    fs::path root_;
    bool failed_ = false;
};

void write_models(Writer& w) {
    for (const NamedMesh& m : all_models()) {
        const std::string name = m.file.substr(0, m.file.size() - 2);
        w.write("Data/models/" + m.file, x_file_text(m.mesh, name.c_str()));
    }
}

void write_textures(Writer& w) {
    const std::vector<NamedTexture> textures = all_textures();
    for (const NamedTexture& t : textures)
        w.write("Data/textures/" + t.name + ".png", t.image.png());
    w.write("Data/textures.cfg", texture_config_text(textures));
    w.write("docs/art/textures.png", texture_sheet(textures).png());
    w.write("docs/art/health_ring.png", health_ring_preview(textures).png());
    w.write("docs/art/characters.png", character_preview(textures).png());
}

void write_poses(Writer& w) {
    unsigned char bytes[kMaxPoseFileBytes];
    for (const NamedPose& p : all_key_poses()) {
        const size_t size = encode_pose_file(p.pose, bytes);
        w.write("Data/bones/" + p.file, bytes, size);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen OUTDIR\n");
        return 2;
    }
    Writer w(argv[1]);
    write_models(w);
    write_textures(w);
    write_poses(w);
    w.write("Data/shell/main.cur", arrow_cursor_file());
    for (const NamedSound& s : all_sounds()) w.write("Data/sounds/" + s.file, s.wav);
    w.write("config.cfg", std::string(kShippedConfig));
    for (int size : {48, 64, 128, 256}) {
        w.write("dist/icons/" + std::to_string(size) + ".png", game_icon(size).png());
    }
    return w.failed() ? 1 : 0;
}
