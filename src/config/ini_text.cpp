#include "config/ini_text.h"

#include <climits>
#include <cstring>
#include <functional>

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

char ascii_lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool same_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
    }
    return true;
}

struct Line {
    size_t begin;        // first byte of the line
    size_t content_end;  // end of the text before the line ending
    size_t end;          // first byte of the next line
};

Line line_at(const std::string& text, size_t begin) {
    const size_t lf = text.find('\n', begin);
    if (lf == std::string::npos) return {begin, text.size(), text.size()};
    const bool crlf = lf > begin && text[lf - 1] == '\r';
    return {begin, crlf ? lf - 1 : lf, lf + 1};
}

enum LineKind { line_blank, line_comment, line_section, line_key, line_other };

struct LineInfo {
    LineKind kind = line_other;
    std::string_view name;   // section and key lines: the trimmed name
    size_t equals_end = 0;   // key lines: the byte after '='
    size_t value_begin = 0;  // key lines: first byte of the value, past the blanks after '='
};

LineInfo classify(const std::string& text, const Line& line) {
    const std::string_view content(text.data() + line.begin, line.content_end - line.begin);
    const std::string_view body = ini_trim(content);
    LineInfo info;
    if (body.empty()) {
        info.kind = line_blank;
    } else if (body[0] == ';' || body[0] == '#') {
        info.kind = line_comment;
    } else if (body[0] == '[') {
        const size_t close = body.find(']');
        if (close == std::string_view::npos) return info;  // a damaged header names nothing
        info.kind = line_section;
        info.name = ini_trim(body.substr(1, close - 1));
    } else {
        const size_t equals = content.find('=');
        if (equals == std::string_view::npos) return info;
        info.kind = line_key;
        info.name = ini_trim(content.substr(0, equals));
        info.equals_end = line.begin + equals + 1;
        info.value_begin = info.equals_end;
        while (info.value_begin < line.content_end && is_blank(text[info.value_begin])) {
            ++info.value_begin;
        }
    }
    return info;
}

// Editors that save UTF-8 may put a byte-order mark first; it is no part of the first line.
size_t text_start(const std::string& text) {
    return text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
}

struct Location {
    bool section_found = false;
    bool key_found = false;
    size_t equals_end = 0;   // key found: the byte after its '='
    size_t value_begin = 0;  // key found: the bytes of its value
    size_t value_end = 0;
    size_t insert_at = 0;  // section found, key not: where a new key line belongs
};

// Only the first section of that name is searched, so reading and writing agree on
// which key a duplicated section or key means.
Location locate(const std::string& text, std::string_view section, std::string_view key) {
    Location at;
    bool inside = false;
    for (size_t pos = text_start(text); pos < text.size();) {
        const Line line = line_at(text, pos);
        pos = line.end;
        const LineInfo info = classify(text, line);
        if (info.kind == line_section) {
            if (inside) break;
            inside = same_name(info.name, section);
            if (inside) {
                at.section_found = true;
                at.insert_at = line.end;
            }
            continue;
        }
        if (!inside) continue;
        if (info.kind == line_key && same_name(info.name, key)) {
            at.key_found = true;
            at.equals_end = info.equals_end;
            at.value_begin = info.value_begin;
            at.value_end = line.content_end;
            return at;
        }
        if (info.kind != line_blank) at.insert_at = line.end;
    }
    return at;
}

// The file's own style: CRLF when its first line ends so, LF otherwise.
std::string line_break_of(const std::string& text) {
    const size_t lf = text.find('\n');
    const bool crlf = lf != std::string::npos && lf > 0 && text[lf - 1] == '\r';
    return crlf ? "\r\n" : "\n";
}

bool ends_open(const std::string& text, size_t end) {
    return end > 0 && text[end - 1] != '\n';
}

}  // namespace

bool ini_same_name(std::string_view a, std::string_view b) {
    return same_name(a, b);
}

std::string_view ini_trim(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && is_blank(text[begin])) ++begin;
    while (end > begin && is_blank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

const char* ini_name_problem(const char* name, IniName kind) {
    if (name == nullptr) return "is missing";
    const std::string_view trimmed = ini_trim(name);
    if (trimmed.empty()) return "is empty";
    if (std::strpbrk(name, "\r\n") != nullptr) return "holds a line break";
    if (std::strchr(name, ']') != nullptr) return "holds ']'";
    if (std::strchr(name, '=') != nullptr) return "holds '='";
    if (kind == ini_key && std::strchr(";#[", trimmed[0]) != nullptr) {
        return "starts with ';', '#' or '['";
    }
    return nullptr;
}

std::string_view ini_value_line(const char* value) {
    return std::string_view(value, std::strcspn(value, "\r\n"));
}

bool ini_find(const std::string& text, const char* section, const char* key, std::string* value) {
    if (ini_name_problem(section, ini_section) || ini_name_problem(key, ini_key)) {
        return false;
    }
    const Location at = locate(text, ini_trim(section), ini_trim(key));
    if (!at.key_found) return false;
    if (value != nullptr) {
        const std::string_view raw(text.data() + at.value_begin, at.value_end - at.value_begin);
        *value = std::string(ini_trim(raw));
    }
    return true;
}

bool ini_set(std::string& text, const char* section, const char* key, const char* value) {
    if (ini_name_problem(section, ini_section) || ini_name_problem(key, ini_key) ||
        value == nullptr) {
        return false;
    }
    const std::string_view section_name = ini_trim(section);
    const std::string_view key_name = ini_trim(key);
    const std::string_view new_value = ini_value_line(value);
    const Location at = locate(text, section_name, key_name);
    if (at.key_found) {
        const std::string_view old_value(text.data() + at.value_begin,
                                         at.value_end - at.value_begin);
        if (ini_trim(old_value) == new_value) return true;  // the line keeps its own blanks
        // The line's own blanks after '=' stay unless the value brings its own, so that
        // writing the same value twice changes nothing.
        size_t begin = at.value_begin;
        if (!new_value.empty() && is_blank(new_value[0])) begin = at.equals_end;
        text.replace(begin, at.value_end - begin, new_value);
        return true;
    }

    const std::string eol = line_break_of(text);
    std::string lines;
    size_t insert_at = text.size();
    if (at.section_found) insert_at = at.insert_at;
    // A CR closing the file only lacks its LF.
    if (insert_at > text_start(text) && ends_open(text, insert_at))
        lines += text[insert_at - 1] == '\r' ? "\n" : eol;
    if (!at.section_found) lines.append("[").append(section_name).append("]").append(eol);
    lines.append(key_name).append("=").append(new_value).append(eol);
    text.insert(insert_at, lines);
    return true;
}

void ini_walk(const std::string& text, const std::function<void(const IniLine&)>& visit) {
    std::string_view section;
    for (size_t pos = text_start(text); pos < text.size();) {
        const Line line = line_at(text, pos);
        pos = line.end;
        const LineInfo info = classify(text, line);
        if (info.kind == line_section) {
            section = info.name;
            visit(IniLine{true, section, {}, {}});
        } else if (info.kind == line_key) {
            const std::string_view value(text.data() + info.value_begin,
                                         line.content_end - info.value_begin);
            visit(IniLine{false, section, info.name, ini_trim(value)});
        }
    }
}

int ini_int_value(std::string_view value) {
    size_t i = 0;
    const bool negative = i < value.size() && value[i] == '-';
    if (i < value.size() && (value[i] == '-' || value[i] == '+')) ++i;
    // Once past INT_MAX + 1 the result is clamped either way, so more digits change nothing.
    long long magnitude = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (value[i] - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1) break;
    }
    if (negative) return magnitude > INT_MAX ? INT_MIN : static_cast<int>(-magnitude);
    return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}
