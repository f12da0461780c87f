#include "app/data_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "config/settings.h"
#include "platform/atomic_file.h"
#include "render/texture_config.h"

namespace {

constexpr char kShellSkin[] = "shell";

bool readable_file(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), R_OK) == 0;
}

std::string setting(const Settings& settings, const char* section, const char* key, size_t size) {
    std::string value(size, '\0');
    read_setting_string(settings, section, key, &value[0], size);
    value.resize(value.find('\0'));
    return value;
}

std::string current_folder() {
    std::error_code error;
    const std::filesystem::path here = std::filesystem::current_path(error);
    return error ? std::string(".") : here.string();
}

}  // namespace

std::string missing_game_data(const Settings& settings) {
    const std::string textures =
        setting(settings, kSectionShell, kKeyTexturecfg, kTexturecfgBufferSize);
    if (!readable_file(textures)) return textures;
    for (const char* key : {kKeyToonSurfaceShader, kKeyToonPixelShader}) {
        const std::string shader = setting(settings, kSectionShaders, key, kShaderNameBufferSize);
        if (!readable_file(shader)) return shader;
    }
    for (const TextureConfigEntry& entry : read_texture_config_entries(textures.c_str())) {
        if (entry.name == kShellSkin) return readable_file(entry.path) ? "" : entry.path;
    }
    return std::string("the \"") + kShellSkin + "\" texture of " + textures;
}

bool find_game_folders(const char* data_option, GameFolders& folders) {
    FolderInputs in;
    in.data_option = data_option;
    in.current = current_folder();
    in.program = program_folder();
    in.home = std::getenv("HOME");
    in.config_home = std::getenv("XDG_CONFIG_HOME");
    in.data_home = std::getenv("XDG_DATA_HOME");
    std::string why;
    if (choose_game_folders(in, folders, why)) return true;
    std::fprintf(stderr, "torvi: %s\n", why.c_str());
    return false;
}

void print_folders(const GameFolders& folders) {
    const bool installed = folders.mode == run_installed;
    std::printf("mode: %s\n", run_mode_name(folders.mode));
    std::printf("data: %s%s\n", folders.data.c_str(), installed ? " (read only)" : "");
    std::printf("settings: %s%s\n", installed ? "" : (folders.data + "/").c_str(),
                folders.settings.c_str());
    std::printf("maps: %s%s\n", installed ? "" : (folders.data + "/").c_str(),
                folders.maps.user.c_str());
    std::printf("bones: %s%s\n", installed ? "" : (folders.data + "/").c_str(),
                folders.bones.user.c_str());
}

void remove_unfinished_saves(const GameFolders& folders) {
    const std::string settings_folder =
        std::filesystem::path(folders.settings).parent_path().string();
    const int removed =
        remove_stale_temporaries(settings_folder.empty() ? "." : settings_folder.c_str(), ".cfg") +
        remove_stale_temporaries(folders.maps.user.c_str(), ".map") +
        remove_stale_temporaries(folders.bones.user.c_str(), ".bones");
    if (removed > 0) {
        std::fprintf(stderr, "torvi: removed %d unfinished save file%s of an interrupted run\n",
                     removed, removed == 1 ? "" : "s");
    }
}

bool check_data_folder(const Settings& settings, const GameFolders& folders) {
    const std::string missing = missing_game_data(settings);
    if (!missing.empty()) {
        std::fprintf(
            stderr,
            "torvi: no game data in %s (%s is missing or no readable file); start the game in "
            "the folder that holds Data/, or name it with --data DIR\n",
            current_folder().c_str(), missing.c_str());
        return false;
    }
    if (!config_present(settings) && folders.mode == run_portable) {
        std::fprintf(stderr, "torvi: no config.cfg in %s; starting with the built-in settings\n",
                     current_folder().c_str());
    }
    return true;
}
