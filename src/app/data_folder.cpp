#include "app/data_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
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

void remove_unfinished_saves() {
    const int removed = remove_stale_temporaries(".", ".cfg") +
                        remove_stale_temporaries("Data/maps", ".map") +
                        remove_stale_temporaries("Data/bones", ".bones");
    if (removed > 0) {
        std::fprintf(stderr, "torvi: removed %d unfinished save file%s of an interrupted run\n",
                     removed, removed == 1 ? "" : "s");
    }
}

bool check_data_folder(const Settings& settings) {
    const std::string missing = missing_game_data(settings);
    if (!missing.empty()) {
        std::fprintf(
            stderr,
            "torvi: no game data in %s (%s is missing or no readable file); start the game in "
            "the folder that holds Data/, or name it with --data DIR\n",
            current_folder().c_str(), missing.c_str());
        return false;
    }
    if (!config_present(settings)) {
        std::fprintf(stderr, "torvi: no config.cfg in %s; starting with the built-in settings\n",
                     current_folder().c_str());
    }
    return true;
}
