// Any text read as textures.cfg: the one-pass reader gives exactly what reading each key
// with ini_find gives, every name and path is cut to its buffer, and the count stays
// within its limit.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "config/ini_text.h"
#include "render/texture_config.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

// Entry n as one ini_find per key reads it.
TextureConfigEntry reference_entry(const std::string& text, int n) {
    const std::string section = kTextureSectionPrefix + std::to_string(n);
    TextureConfigEntry entry{"error", "error"};
    std::string value;
    if (ini_find(text, section.c_str(), kKeyTextureId, &value)) {
        entry.name = value.substr(0, kTextureIdMaxLength);
    }
    if (ini_find(text, section.c_str(), kKeyTexturename, &value)) {
        entry.path = value.substr(0, kTexturePathMaxLength);
    }
    return entry;
}

// The numbers written after "texture" anywhere in the text: only those sections can hold
// anything (checking every one of thousands of entries the slow way would take too long).
std::set<int> numbers_named(const std::string& text) {
    std::set<int> numbers;
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (size_t at = lower.find("texture"); at != std::string::npos;
         at = lower.find("texture", at + 1)) {
        size_t digits = at + 7;
        long value = 0;
        while (digits < lower.size() && std::isdigit(static_cast<unsigned char>(lower[digits])) &&
               value < 100000) {
            value = value * 10 + (lower[digits++] - '0');
        }
        numbers.insert(static_cast<int>(value));
    }
    return numbers;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<TextureConfigEntry> entries = parse_texture_config(text);
    check(entries.size() <= static_cast<size_t>(kTextureCountLimit));
    const std::set<int> named = numbers_named(text);
    for (size_t i = 0; i < entries.size(); ++i) {
        const int n = static_cast<int>(i) + 1;
        check(entries[i].name.size() <= kTextureIdMaxLength);
        check(entries[i].path.size() <= kTexturePathMaxLength);
        if (named.count(n) == 0) {
            check(entries[i].name == "error" && entries[i].path == "error");
            continue;
        }
        const TextureConfigEntry expected = reference_entry(text, n);
        check(entries[i].name == expected.name && entries[i].path == expected.path);
    }
    return 0;
}
