#include "platform/game_folders.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#ifndef TORVI_DATA_FROM_PROGRAM
#define TORVI_DATA_FROM_PROGRAM "../share/torvi"
#endif

const char kDataBesideProgram[] = TORVI_DATA_FROM_PROGRAM;

namespace {

namespace fs = std::filesystem;

bool is_folder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

bool present(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

// XDG says a relative value is to be ignored.
std::string base_folder(const char* xdg, const char* home, const char* fallback) {
    if (xdg && xdg[0] == '/') return xdg;
    if (home && home[0] == '/') return std::string(home) + "/" + fallback;
    return "";
}

std::string absolute(const std::string& current, const char* path) {
    return (fs::path(current) / path).lexically_normal().string();
}

void portable(const std::string& folder, GameFolders& out) {
    out = GameFolders{};
    out.data = folder;
}

}  // namespace

bool choose_game_folders(const FolderInputs& in, GameFolders& out, std::string& why) {
    if (in.data_option) {
        portable(absolute(in.current, in.data_option), out);
        return true;
    }
    const fs::path here(in.current);
    const fs::path beside = fs::path(in.program) / kDataBesideProgram;
    if ((present(here / "config.cfg") && is_folder(here / "Data")) || in.program.empty() ||
        !is_folder(beside / "Data")) {
        portable(in.current, out);
        return true;
    }
    const std::string config = base_folder(in.config_home, in.home, ".config");
    const std::string data = base_folder(in.data_home, in.home, ".local/share");
    if (config.empty() || data.empty()) {
        why =
            "neither $HOME nor $XDG_CONFIG_HOME and $XDG_DATA_HOME name a folder to keep "
            "the settings and saved files in";
        return false;
    }
    out.mode = run_installed;
    out.data = beside.lexically_normal().string();
    if (!out.data.empty() && out.data.back() == '/') out.data.pop_back();
    out.settings = config + "/torvi/config.cfg";
    out.shipped_settings = out.data + "/config.cfg";
    out.maps = {data + "/torvi/maps/", out.data + "/Data/maps/"};
    out.bones = {data + "/torvi/bones/", out.data + "/Data/bones/"};
    return true;
}

std::string program_folder() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.parent_path().string();
}

bool make_user_folders(const GameFolders& folders) {
    if (folders.mode != run_installed) return true;
    const std::string settings_folder = fs::path(folders.settings).parent_path().string();
    for (const std::string* folder : {&settings_folder, &folders.maps.user, &folders.bones.user}) {
        std::error_code error;
        fs::create_directories(*folder, error);
        if (error) {
            std::fprintf(stderr, "torvi: cannot make the folder %s: %s\n", folder->c_str(),
                         error.message().c_str());
            return false;
        }
    }
    return true;
}

const char* run_mode_name(RunMode mode) {
    return mode == run_installed ? "installed" : "portable";
}
