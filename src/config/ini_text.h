// The private-profile text of config.cfg: "[section]" lines, each followed by "key=value"
// lines. These functions work on a file's whole text in memory, so they can be tested and
// fuzzed without touching the disk.
//
// Reading: section and key names compare case-insensitively (ASCII); blanks around names
// and values are ignored; lines whose first non-blank character is ';' or '#' are comments;
// the first matching section and the first matching key in it win; lines end in LF or
// CRLF; a UTF-8 byte-order mark before the first line is skipped. A "[" line without "]"
// names no section, and a line without '=' holds no key.
#pragma once

#include <functional>
#include <string>
#include <string_view>

enum IniName { ini_section, ini_key };

// Why name cannot be used as a section or key name, or nullptr when it can. Refused are
// missing and blank names, line breaks, ']' and '=' (they would read back differently),
// and key names starting with ';', '#' or '[' (they would read as a comment or a section).
const char* ini_name_problem(const char* name, IniName kind);

// The value of key in the first section named section, without its surrounding blanks.
// False when the section, the key or a usable name is missing; value may be null.
bool ini_find(const std::string& text, const char* section, const char* key, std::string* value);

// Sets key in section to value, changing nothing else in text: an existing key line that
// holds that value already stays as it is, blanks and all; another keeps its spelling and
// line ending and gets the new value; a missing key goes after the last
// non-blank line of its section; a missing section is appended at the end. New lines use
// the text's own line ending. value is cut at its first line break. False, with text left
// alone, when a name is unusable or value is null.
bool ini_set(std::string& text, const char* section, const char* key, const char* value);

// One line of a walk: a section line (starts_section, the section's trimmed name) or a
// key line (the trimmed names of its section, "" before the first, and of its key, and
// its trimmed value). The views point into the text walked.
struct IniLine {
    bool starts_section;
    std::string_view section;
    std::string_view key;
    std::string_view value;
};

// Visits the section and key lines of text in order, in one pass: for readers of many
// keys, which would rescan the text at every ini_find.
void ini_walk(const std::string& text, const std::function<void(const IniLine&)>& visit);

// What ini_set stores of value: everything before its first CR or LF.
std::string_view ini_value_line(const char* value);

// Whether two section or key names are the same, ignoring ASCII case.
bool ini_same_name(std::string_view a, std::string_view b);

// text without the blanks (space, tab, CR, VT, FF) at either end.
std::string_view ini_trim(std::string_view text);

// The integer a value stands for: an optional sign and the decimal digits that follow it,
// clamped to the range of int; 0 when there are no digits ("12abc" is 12).
int ini_int_value(std::string_view value);
