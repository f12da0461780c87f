// Input: section, key and value separated by zero bytes, then the file's text. Checks that
// setting one key makes it read back as written and leaves every other line and every
// other setting of the file as it was.
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "config/ini_text.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

std::string take_field(std::string& input, const char* fallback) {
    const size_t zero = input.find('\0');
    if (zero == std::string::npos) return fallback;
    std::string field = input.substr(0, zero);
    input.erase(0, zero + 1);
    return field;
}

// Lines as a reader sees them: a UTF-8 byte-order mark before the first skipped, split at
// LF, one CR before it dropped. A lone CR closing the file may become part of a CRLF when a
// line is added after it.
std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    size_t begin = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(begin, end - begin);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        begin = end + 1;
    }
    return lines;
}

std::string trimmed(std::string_view text) {
    return std::string(ini_trim(text));
}

bool same_name(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const char x = (a[i] >= 'A' && a[i] <= 'Z') ? a[i] - 'A' + 'a' : a[i];
        const char y = (b[i] >= 'A' && b[i] <= 'Z') ? b[i] - 'A' + 'a' : b[i];
        if (x != y) return false;
    }
    return true;
}

// Every name in the text that looks like a section or a key, to probe what ini_set left.
void names_in(const std::string& text, std::vector<std::string>* sections,
              std::vector<std::string>* keys) {
    for (const std::string& line : lines_of(text)) {
        const std::string body = trimmed(line);
        const size_t close = body.find(']');
        if (!body.empty() && body[0] == '[' && close != std::string::npos) {
            sections->push_back(trimmed(std::string_view(body).substr(1, close - 1)));
        } else if (line.find('=') != std::string::npos) {
            keys->push_back(trimmed(std::string_view(line).substr(0, line.find('='))));
        }
    }
}

void check_other_settings_kept(const std::string& before, const std::string& after,
                               const std::string& section, const std::string& key) {
    std::vector<std::string> sections, keys;
    names_in(before, &sections, &keys);
    int probes = 0;
    for (const std::string& s : sections) {
        for (const std::string& k : keys) {
            if (++probes > 64) return;
            // Names reach ini_find as C strings, so they end at a zero byte.
            if (same_name(trimmed(s.c_str()), trimmed(section)) &&
                same_name(trimmed(k.c_str()), trimmed(key))) {
                continue;
            }
            std::string old_value, new_value;
            const bool old_found = ini_find(before, s.c_str(), k.c_str(), &old_value);
            const bool new_found = ini_find(after, s.c_str(), k.c_str(), &new_value);
            check(old_found == new_found && old_value == new_value);
        }
    }
}

// The old lines are all still there, in order, with at most the key's own line changed.
void check_lines_kept(const std::string& before, const std::string& after, bool key_existed,
                      bool section_existed) {
    const std::vector<std::string> old_lines = lines_of(before);
    const std::vector<std::string> new_lines = lines_of(after);
    if (key_existed) {
        check(new_lines.size() == old_lines.size());
        int changed = 0;
        for (size_t i = 0; i < old_lines.size(); ++i) changed += old_lines[i] != new_lines[i];
        check(changed <= 1);
        return;
    }
    const size_t added = section_existed ? 1 : 2;
    check(new_lines.size() == old_lines.size() + added);
    size_t skipped = 0;
    for (size_t i = 0; i < old_lines.size(); ++i) {
        while (skipped < added && old_lines[i] != new_lines[i + skipped]) ++skipped;
        check(old_lines[i] == new_lines[i + skipped]);
    }
}

size_t count(const std::string& text, const char* what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// Line breaks without their CR.
size_t bare_lfs(const std::string& text) {
    return count(text, "\n") - count(text, "\r\n");
}

bool first_line_ends_in_crlf(const std::string& text) {
    const size_t lf = text.find('\n');
    return lf != std::string::npos && lf > 0 && text[lf - 1] == '\r';
}

bool has_section(const std::string& text, const std::string& section) {
    std::vector<std::string> sections, keys;
    names_in(text, &sections, &keys);
    for (const std::string& s : sections) {
        if (same_name(s, trimmed(section))) return true;
    }
    return false;
}

void check_int_value(const std::string& text) {
    size_t end = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    const size_t digits_begin = end;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    long long expected = 0;
    if (end > digits_begin) {
        expected = std::strtoll(text.substr(0, end).c_str(), nullptr, 10);
    }
    if (expected > INT_MAX) expected = INT_MAX;
    if (expected < INT_MIN) expected = INT_MIN;
    check(ini_int_value(text) == expected);
    check(ini_int_value(std::to_string(ini_int_value(text))) == ini_int_value(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    const std::string section = take_field(text, "input");
    const std::string key = take_field(text, "type");
    const std::string value = take_field(text, "gamepad");
    check_int_value(value);

    const std::string before = text;
    const bool usable =
        !ini_name_problem(section.c_str(), ini_section) && !ini_name_problem(key.c_str(), ini_key);
    const bool key_existed = ini_find(before, section.c_str(), key.c_str(), nullptr);
    check(usable || !key_existed);

    check(ini_set(text, section.c_str(), key.c_str(), value.c_str()) == usable);
    if (!usable) {
        check(text == before);
        return 0;
    }
    const std::string stored(ini_value_line(value.c_str()));
    std::string read_back;
    check(ini_find(text, section.c_str(), key.c_str(), &read_back));
    check(read_back == trimmed(stored));

    const bool section_existed = has_section(before, section);
    check_lines_kept(before, text, key_existed, section_existed);
    if (!section_existed) {
        const std::vector<std::string> lines = lines_of(text);
        check(lines[lines.size() - 2] == "[" + trimmed(section) + "]");
        check(lines.back() == trimmed(key) + "=" + stored);
    }
    check_other_settings_kept(before, text, section, key);
    // A CRLF file gets its new lines in CRLF. Counting all CRLFs would be wrong: a CR among
    // the blanks after '=' stays when the value is replaced, and with an empty value it meets
    // the LF ("k = \rold\n" becomes "k = \r\n"), which reads back the same.
    if (first_line_ends_in_crlf(before)) check(bare_lfs(text) <= bare_lfs(before));

    // Setting the same value again changes nothing.
    const std::string once = text;
    check(ini_set(text, section.c_str(), key.c_str(), value.c_str()));
    check(text == once);
    return 0;
}
