#include "render/texture_config.h"

#include <cstdio>
#include <map>

#include "config/ini_text.h"
#include "platform/atomic_file.h"

namespace {

constexpr char kMissingValue[] = "error";
// Far beyond any real configuration; the file is read whole.
constexpr size_t kTextureConfigSizeLimit = size_t{1} << 20;

// What the first section of one name holds; later sections of that name are not read,
// as ini_find reads only the first.
struct TextureSection {
    bool seen = false;
    std::string id = kMissingValue;
    std::string path = kMissingValue;
    bool has_id = false, has_path = false;
};

// N of a section named "textureN" with N in 1..kTextureCountLimit written without
// leading zeros (any other spelling is another name); 0 for every other section.
int texture_number(std::string_view section) {
    const size_t prefix = sizeof kTextureSectionPrefix - 1;
    if (section.size() <= prefix || section.size() > prefix + 4) return 0;
    if (!ini_same_name(section.substr(0, prefix), kTextureSectionPrefix)) return 0;
    if (section[prefix] == '0') return 0;
    int number = 0;
    for (const char c : section.substr(prefix)) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + (c - '0');
    }
    return number <= kTextureCountLimit ? number : 0;
}

// 0 for main, N for textureN, -1 for a section not read.
int section_number(std::string_view section) {
    if (ini_same_name(section, kTextureSectionMain)) return 0;
    const int number = texture_number(section);
    return number > 0 ? number : -1;
}

void take_value(std::string& out, bool& taken, std::string_view value, size_t max_length) {
    if (taken) return;  // the first key of a name wins
    out.assign(value.substr(0, max_length));
    taken = true;
}

int clamped_count(const std::string& value) {
    const int count = ini_int_value(value);
    if (count > kTextureCountLimit) {
        std::fprintf(stderr, "torvi: texturecount %d is too big; reading %d textures\n", count,
                     kTextureCountLimit);
        return kTextureCountLimit;
    }
    return count < 0 ? 0 : count;
}

}  // namespace

std::vector<TextureConfigEntry> parse_texture_config(const std::string& text) {
    // One pass over the text: a file of thousands of sections is read in linear time.
    std::map<int, TextureSection> sections;  // by number; 0: main
    std::string count_value;
    bool has_count = false;
    TextureSection* current = nullptr;  // the section being read, if it is of interest
    int number = -1;
    ini_walk(text, [&](const IniLine& line) {
        if (line.starts_section) {
            number = section_number(line.section);
            current = number >= 0 ? &sections[number] : nullptr;
            if (current && current->seen) current = nullptr;  // a repeated name
            if (current) current->seen = true;
        } else if (current && number == 0 && ini_same_name(line.key, kKeyTexturecount)) {
            take_value(count_value, has_count, line.value, std::string::npos);
        } else if (current && number > 0 && ini_same_name(line.key, kKeyTextureId)) {
            take_value(current->id, current->has_id, line.value, kTextureIdMaxLength);
        } else if (current && number > 0 && ini_same_name(line.key, kKeyTexturename)) {
            take_value(current->path, current->has_path, line.value, kTexturePathMaxLength);
        }
    });
    const int count = has_count ? clamped_count(count_value) : 0;
    std::vector<TextureConfigEntry> entries(static_cast<size_t>(count),
                                            TextureConfigEntry{kMissingValue, kMissingValue});
    for (const auto& [n, section] : sections) {
        if (n >= 1 && n <= count) entries[n - 1] = {section.id, section.path};
    }
    return entries;
}

std::vector<TextureConfigEntry> read_texture_config_entries(const char* path) {
    std::string text;
    const FileRead read = read_whole_file(path, kTextureConfigSizeLimit, text);
    if (read.status != read_ok) {
        std::fprintf(stderr, "torvi: cannot read texture configuration \"%s\" (%s)\n", path,
                     read.longer ? "larger than 1 MiB" : file_error_text(read.error));
        return {};
    }
    return parse_texture_config(text);
}
