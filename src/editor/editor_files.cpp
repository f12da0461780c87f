#include "editor/editor_files.h"

#include <cstdio>
#include <cstring>

namespace {

bool is_name_character(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
}

}  // namespace

bool usable_save_name(const char* name) {
    const size_t length = std::strlen(name);
    if (length == 0 || length > kFileNameMaxLength) return false;
    for (size_t i = 0; i < length; ++i) {
        if (!is_name_character(name[i])) return false;
    }
    return true;
}

bool usable_load_name(const char* name) {
    return name[0] != '\0' && std::strchr(name, '/') == nullptr;
}

bool editor_file_path(char* out, size_t size, const char* folder, const char* name,
                      const char* suffix) {
    const int length = std::snprintf(out, size, "%s%s%s", folder, name, suffix);
    if (length >= 0 && static_cast<size_t>(length) < size) return true;
    if (size > 0) out[0] = '\0';
    return false;
}
