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

enum Load { load_ok, load_missing, load_failed };

struct Config {
    std::string path;
    Load load = load_missing;
    std::string text;
    std::string why;  // failed: what went wrong
};

std::string config_path() {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(kConfigFileName, error);
    if (error) return kConfigFileName;  // the current folder is gone; opening will say so
    return full.string();
}

Config load_config() {
    Config config;
    config.path = config_path();
    const FileRead read = read_whole_file(config.path.c_str(), kConfigSizeLimit, config.text);
    if (read.status == read_cannot_open && read.error == ENOENT) {
        config.load = load_missing;
        config.text = kShippedConfig;
    } else if (read.status != read_ok) {
        config.load = load_failed;
        config.why = read.longer ? "larger than " + std::to_string(kConfigSizeLimit) + " bytes"
                                 : file_error_text(read.error);
    } else {
        config.load = load_ok;
    }
    return config;
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

bool find_setting(const char* section, const char* key, std::string* value) {
    if (!names_usable(section, key, "read")) return false;
    const Config config = load_config();
    if (config.load == load_failed) {
        std::fprintf(stderr, "torvi: cannot read %s (%s); [%s] %s reads as missing\n",
                     config.path.c_str(), config.why.c_str(), section, key);
        return false;
    }
    return ini_find(config.text, section, key, value);
}

bool write_setting(const char* section, const char* key, const char* value) {
    if (!names_usable(section, key, "write")) return false;
    if (value == nullptr) {
        std::fprintf(stderr, "torvi: cannot write setting [%s] %s: no value\n", section, key);
        return false;
    }
    const Config config = load_config();
    if (config.load == load_failed) {
        std::fprintf(stderr,
                     "torvi: cannot read %s (%s); [%s] %s is not written so that "
                     "the file's settings are kept\n",
                     config.path.c_str(), config.why.c_str(), section, key);
        return false;
    }
    std::string text = config.text;
    ini_set(text, section, key, value);
    if (text == config.text) return true;  // already so; spare the disk a rewrite
    if (text.size() > kConfigSizeLimit) {
        std::fprintf(stderr,
                     "torvi: cannot write setting [%s] %s: %s would grow past %zu "
                     "bytes and could not be read back\n",
                     section, key, config.path.c_str(), kConfigSizeLimit);
        return false;
    }
    return save_file_atomically(config.path.c_str(), text.data(), text.size());
}

}  // namespace

bool config_present() {
    return load_config().load != load_missing;
}

bool config_writable(const char* what) {
    const std::string path = config_path();
    if (!is_read_only_file(path.c_str())) return true;
    std::fprintf(stderr, "torvi: %s is read-only; %s were not saved\n", path.c_str(), what);
    return false;
}

int read_setting_int(const char* section, const char* key) {
    std::string value;
    if (!find_setting(section, key, &value)) return 0;
    return ini_int_value(value);
}

int read_setting_int_or(const char* section, const char* key, int fallback) {
    std::string value;
    return find_setting(section, key, &value) ? ini_int_value(value) : fallback;
}

void read_setting_string(const char* section, const char* key, char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) return;
    std::string value;
    if (!find_setting(section, key, &value)) value = kSettingMissingText;
    const size_t length = value.size() < size - 1 ? value.size() : size - 1;
    std::memcpy(buffer, value.data(), length);
    buffer[length] = '\0';
}

bool write_setting_int(const char* section, const char* key, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return write_setting(section, key, text);
}

bool write_setting_string(const char* section, const char* key, const char* value) {
    return write_setting(section, key, value);
}
