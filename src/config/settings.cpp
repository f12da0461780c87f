#include "config/settings.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "config/ini_text.h"
#include "platform/atomic_file.h"

namespace {

// Far beyond any real config.cfg; a bigger file is damaged, and reading it whole would
// only cost memory.
constexpr size_t kConfigSizeLimit = size_t{1} << 20;

std::string absolute_path(const char* name) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(name, error);
    if (error) return name;  // the current folder is gone; opening will say so
    return full.string();
}

// The file at path as it is on disk now; path itself is left to the caller.
void read_from_disk(Settings& settings) {
    settings.text.clear();
    settings.why.clear();
    const FileRead read = read_whole_file(settings.path.c_str(), kConfigSizeLimit, settings.text);
    // ENOTDIR: a folder on the way is a file, so there is no settings file either.
    if (read.status == read_cannot_open && (read.error == ENOENT || read.error == ENOTDIR)) {
        settings.load = settings_missing;
        settings.text = kShippedConfig;
        std::string shipped;
        if (!settings.shipped_path.empty() &&
            read_whole_file(settings.shipped_path.c_str(), kConfigSizeLimit, shipped).status ==
                read_ok) {
            settings.text = std::move(shipped);
        }
    } else if (read.status != read_ok) {
        settings.load = settings_failed;
        settings.text.clear();
        settings.why = read.longer ? "larger than " + std::to_string(kConfigSizeLimit) + " bytes"
                                   : file_error_text(read.error);
    } else {
        settings.load = settings_ok;
    }
}

const char* shown(const char* name) {
    return name ? name : "(none)";
}

bool names_usable(const char* section, const char* key, const char* action) {
    const char* what = "section";
    const char* why = ini_name_problem(section, ini_section);
    if (why == nullptr) {
        what = "key";
        why = ini_name_problem(key, ini_key);
    }
    if (why == nullptr) return true;
    std::fprintf(stderr, "torvi: cannot %s setting [%s] %s: the %s name %s\n", action,
                 shown(section), shown(key), what, why);
    return false;
}

bool value_usable(const char* section, const char* key, const char* value) {
    if (value != nullptr) return true;
    std::fprintf(stderr, "torvi: cannot write setting [%s] %s: no value\n", section, key);
    return false;
}

bool find_setting(const Settings& settings, const char* section, const char* key,
                  std::string* value) {
    if (!names_usable(section, key, "read")) return false;
    return ini_find(settings.text, section, key, value);
}

// Applies the change to the file as it is now, so that edits made since the load stay.
bool write_to_disk(Settings& settings, const char* section, const char* key, const char* value) {
    if (settings.path.empty()) {
        std::fprintf(stderr, "torvi: cannot write setting [%s] %s: no settings file was loaded\n",
                     section, key);
        return false;
    }
    Settings fresh;
    fresh.path = settings.path;
    fresh.shipped_path = settings.shipped_path;
    read_from_disk(fresh);
    if (fresh.load == settings_failed) {
        std::fprintf(stderr,
                     "torvi: cannot read %s (%s); [%s] %s is not written so that "
                     "the file's settings are kept\n",
                     fresh.path.c_str(), fresh.why.c_str(), section, key);
        return false;
    }
    std::string text = fresh.text;
    ini_set(text, section, key, value);
    if (text != fresh.text) {
        if (text.size() > kConfigSizeLimit) {
            std::fprintf(stderr,
                         "torvi: cannot write setting [%s] %s: %s would grow past %zu "
                         "bytes and could not be read back\n",
                         section, key, fresh.path.c_str(), kConfigSizeLimit);
            return false;
        }
        if (!save_file_atomically(fresh.path.c_str(), text.data(), text.size())) return false;
        fresh.load = settings_ok;
        fresh.text = std::move(text);
    }
    // Already so, or saved: either way memory now holds what the file holds.
    settings.load = fresh.load;
    settings.text = std::move(fresh.text);
    settings.why.clear();
    return true;
}

bool write_setting(Settings& settings, const char* section, const char* key, const char* value) {
    if (settings.memory_only) return set_setting_in_memory(settings, section, key, value);
    if (!names_usable(section, key, "write") || !value_usable(section, key, value)) return false;
    return write_to_disk(settings, section, key, value);
}

}  // namespace

bool load_settings(Settings& settings, const char* path) {
    settings.path = absolute_path(path);
    read_from_disk(settings);
    if (settings.load != settings_failed) return true;
    std::fprintf(stderr, "torvi: cannot read %s (%s); its settings read as missing\n",
                 settings.path.c_str(), settings.why.c_str());
    return false;
}

bool config_present(const Settings& settings) {
    return settings.load != settings_missing;
}

bool config_writable(const Settings& settings, const char* what) {
    if (settings.memory_only || !is_read_only_file(settings.path.c_str())) return true;
    std::fprintf(stderr, "torvi: %s is read-only; %s were not saved\n", settings.path.c_str(),
                 what);
    return false;
}

int read_setting_int(const Settings& settings, const char* section, const char* key) {
    return read_setting_int_or(settings, section, key, 0);
}

int read_setting_int_or(const Settings& settings, const char* section, const char* key,
                        int fallback) {
    std::string value;
    return find_setting(settings, section, key, &value) ? ini_int_value(value) : fallback;
}

void read_setting_string(const Settings& settings, const char* section, const char* key,
                         char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) return;
    std::string value;
    if (!find_setting(settings, section, key, &value)) value = kSettingMissingText;
    const size_t length = value.size() < size - 1 ? value.size() : size - 1;
    std::memcpy(buffer, value.data(), length);
    buffer[length] = '\0';
}

bool write_setting_int(Settings& settings, const char* section, const char* key, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return write_setting(settings, section, key, text);
}

bool write_setting_string(Settings& settings, const char* section, const char* key,
                          const char* value) {
    return write_setting(settings, section, key, value);
}

bool set_setting_in_memory(Settings& settings, const char* section, const char* key,
                           const char* value) {
    if (!names_usable(section, key, "set") || !value_usable(section, key, value)) return false;
    return ini_set(settings.text, section, key, value);
}
