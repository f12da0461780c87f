#include "platform/file_search.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

bool has_suffix(const char* name, size_t length, const char* suffix, size_t suffix_length) {
    return length > suffix_length &&
           std::memcmp(name + length - suffix_length, suffix, suffix_length) == 0;
}

bool is_regular_file(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::vector<std::string> find_named_files(const char* folder, const char* suffix) {
    std::vector<std::string> names;
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder));
    if (!dir) return names;
    const size_t suffix_length = std::strlen(suffix);
    std::string path(folder);
    if (!path.empty() && path.back() != '/') path += '/';
    const size_t folder_length = path.size();
    while (const dirent* entry = ::readdir(dir.get())) {
        const char* name = entry->d_name;
        const size_t length = std::strlen(name);
        if (name[0] == '.' || !has_suffix(name, length, suffix, suffix_length)) continue;
        path.resize(folder_length);
        path += name;
        if (!is_regular_file(path)) continue;
        names.emplace_back(name, length - suffix_length);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> find_named_files(const FilePlaces& places, const char* suffix) {
    std::vector<std::string> names = find_named_files(places.user.c_str(), suffix);
    if (places.shipped == places.user) return names;
    const std::vector<std::string> shipped = find_named_files(places.shipped.c_str(), suffix);
    names.insert(names.end(), shipped.begin(), shipped.end());
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

bool named_file_path(char* out, size_t size, const FilePlaces& places, const char* name,
                     const char* suffix) {
    for (const std::string* folder : {&places.user, &places.shipped}) {
        const int length = std::snprintf(out, size, "%s%s%s", folder->c_str(), name, suffix);
        if (length < 0 || static_cast<size_t>(length) >= size) break;
        if (folder == &places.shipped || is_regular_file(out)) return true;
    }
    if (size > 0) out[0] = '\0';
    return false;
}
