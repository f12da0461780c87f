#include "app/script.h"

#include <strings.h>

#include <cctype>
#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/atomic_file.h"

namespace {

struct NamedKey {
    const char* name;
    int vk;
};

constexpr NamedKey kNamedKeys[] = {
    {"escape", vk_escape}, {"enter", vk_enter}, {"space", vk_space}, {"backspace", vk_backspace},
    {"left", vk_left},     {"up", vk_up},       {"right", vk_right}, {"down", vk_down},
    {"ctrl", vk_control},  {"tab", vk_tab},     {"minus", vk_minus}, {"underscore", vk_underscore},
    {"F3", vk_f3},
};

struct NamedButton {
    const char* name;
    uint32_t bit;
    MessageId down;
    MessageId up;
};

constexpr NamedButton kMouseButtons[] = {
    {"left", mouse_bit_left, msg_lbutton_down, msg_lbutton_up},
    {"right", mouse_bit_right, msg_rbutton_down, msg_rbutton_up},
    {"middle", mouse_bit_middle, msg_mbutton_down, msg_mbutton_up},
};

constexpr int kMaxTokens = 10;

// Splits line in place at blanks.
int split(char* line, char* tokens[kMaxTokens + 1]) {
    int count = 0;
    for (char* token = std::strtok(line, " \t\r"); token; token = std::strtok(nullptr, " \t\r")) {
        if (count > kMaxTokens) break;
        tokens[count++] = token;
    }
    return count;
}

// A whole decimal number in 0..max.
bool parse_number(const char* text, uint64_t max, uint64_t& value) {
    if (!std::isdigit(static_cast<unsigned char>(text[0]))) return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long parsed = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed > max) return false;
    value = parsed;
    return true;
}

bool parse_coordinate(const char* text, int& value) {
    uint64_t parsed = 0;
    if (!parse_number(text, kScriptMaxCoordinate, parsed)) return false;
    value = static_cast<int>(parsed);
    return true;
}

int parse_key(const char* text) {
    const size_t length = std::strlen(text);
    if (length == 1) {
        const int c = std::toupper(static_cast<unsigned char>(text[0]));
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
    }
    // Any case, as for letters: "F3" is written the way the key is labelled, "f3" reads too.
    for (const NamedKey& key : kNamedKeys) {
        if (::strcasecmp(text, key.name) == 0) return key.vk;
    }
    uint64_t code = 0;
    if (std::strncmp(text, "vk", 2) == 0 && parse_number(text + 2, 255, code)) {
        return static_cast<int>(code);
    }
    return -1;
}

const NamedButton* parse_button(const char* text) {
    for (const NamedButton& button : kMouseButtons) {
        if (std::strcmp(text, button.name) == 0) return &button;
    }
    return nullptr;
}

LineParse fail(const char* why) {
    LineParse result{};
    std::snprintf(result.error, sizeof result.error, "%s", why);
    return result;
}

LineParse done(int count) {
    LineParse result{};
    result.count = count;
    result.ok = true;
    return result;
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Undoes percent_encode into out (size bytes); false for a bad escape, a zero byte or a
// text too long.
bool percent_decode(const char* text, char* out, size_t size) {
    size_t n = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        int byte = static_cast<unsigned char>(*c);
        if (*c == '%') {
            const int high = hex_digit(c[1]);
            const int low = high < 0 ? -1 : hex_digit(c[2]);
            if (low < 0) return false;
            byte = high * 16 + low;
            c += 2;
        }
        if (byte == 0 || n + 1 >= size) return false;
        out[n++] = static_cast<char>(byte);
    }
    out[n] = '\0';
    return true;
}

// Bytes that would split or end a line, '%' itself and bytes past ASCII become %XX.
void percent_encode(const char* text, std::string& out) {
    static const char kHex[] = "0123456789ABCDEF";
    for (const char* c = text; *c != '\0'; ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        if (byte > 0x20 && byte < 0x7F && byte != '%') {
            out += static_cast<char>(byte);
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
}

// Any finite float as %.9g writes it; tiny values that underflow read as what they are.
bool parse_float(const char* text, float& value) {
    char* end = nullptr;
    value = std::strtof(text, &end);
    return end != text && *end == '\0' && std::isfinite(value);
}

bool parse_slot(const char* text, int32_t& slot) {
    uint64_t value = 0;
    if (!parse_number(text, kPlayerSlots - 1, value) || value == 0) return false;
    slot = static_cast<int32_t>(value);
    return true;
}

LineParse parse_key_event(char** tokens, int count, ScriptEvent& event) {
    if (count != 4) return fail("expected: TIME key down|up KEY");
    const bool down = std::strcmp(tokens[2], "down") == 0;
    if (!down && std::strcmp(tokens[2], "up") != 0) return fail("a key goes down or up");
    const int vk = parse_key(tokens[3]);
    if (vk < 0) return fail("unknown key name");
    event.msg = key_message(down, vk);
    return done(1);
}

LineParse parse_mouse_event(char** tokens, int count, ScriptEvent out[kMaxEventsPerLine]) {
    const char* what = count > 2 ? tokens[2] : "";
    int x = 0;
    int y = 0;
    if (std::strcmp(what, "leave") == 0 && count == 3) {
        out[0].msg = {msg_mouse_leave, 0, 0};
        return done(1);
    }
    if (std::strcmp(what, "move") == 0 || std::strcmp(what, "dblclick") == 0) {
        if (count != 5) return fail("expected: TIME mouse move|dblclick X Y");
        if (!parse_coordinate(tokens[3], x) || !parse_coordinate(tokens[4], y)) {
            return fail("coordinates must be whole numbers 0..32767");
        }
        const bool move = what[0] == 'm';
        out[0].msg = mouse_message(move ? msg_mouse_move : msg_lbutton_dblclk,
                                   move ? 0u : mouse_bit_left, x, y);
        return done(1);
    }
    const bool down = std::strcmp(what, "down") == 0;
    const bool up = std::strcmp(what, "up") == 0;
    const bool click = std::strcmp(what, "click") == 0;
    if (!down && !up && !click) return fail("a mouse moves, goes down or up, or clicks");
    if (count != 6) return fail("expected: TIME mouse down|up|click BUTTON X Y");
    const NamedButton* button = parse_button(tokens[3]);
    if (!button) return fail("the button is left, right or middle");
    if (!parse_coordinate(tokens[4], x) || !parse_coordinate(tokens[5], y)) {
        return fail("coordinates must be whole numbers 0..32767");
    }
    out[0].msg = mouse_message(up ? button->up : button->down, button->bit, x, y);
    if (!click) return done(1);
    out[1] = out[0];
    out[1].msg = mouse_message(button->up, button->bit, x, y);
    return done(2);
}

constexpr const char* kAxisNames[kGamepadAxes] = {"x", "y", "z", "rz"};

int parse_axis(const char* text) {
    for (int axis = 0; axis < kGamepadAxes; ++axis) {
        if (std::strcmp(text, kAxisNames[axis]) == 0) return axis;
    }
    return -1;
}

bool parse_axis_value(const char* text, int32_t& value) {
    const bool negative = text[0] == '-';
    uint64_t magnitude = 0;
    if (!parse_number(negative ? text + 1 : text, kAxisLimit, magnitude)) return false;
    value = static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude) : magnitude);
    return true;
}

LineParse parse_gamepad_event(char** tokens, int count, ScriptEvent& event) {
    const char* what = count > 2 ? tokens[2] : "";
    if (std::strcmp(what, "axis") == 0) {
        int32_t value = 0;
        const int axis = count == 5 ? parse_axis(tokens[3]) : -1;
        if (axis < 0 || !parse_axis_value(tokens[4], value)) {
            return fail("expected: TIME gamepad axis x|y|z|rz -100..100");
        }
        event.msg = gamepad_axis_message(axis, value);
        return done(1);
    }
    if (std::strcmp(what, "button") == 0) {
        uint64_t button = 0;
        const bool down = count == 5 && std::strcmp(tokens[4], "down") == 0;
        const bool up = count == 5 && std::strcmp(tokens[4], "up") == 0;
        if (!(down || up) || !parse_number(tokens[3], kGamepadButtonCount - 1, button)) {
            return fail("expected: TIME gamepad button 0..127 down|up");
        }
        event.msg = gamepad_button_message(static_cast<int>(button), down);
        return done(1);
    }
    const bool attach = std::strcmp(what, "attach") == 0;
    if (count == 3 && (attach || std::strcmp(what, "detach") == 0)) {
        event.msg = gamepad_device_message(attach);
        return done(1);
    }
    return fail("expected: TIME gamepad axis|button|attach|detach ...");
}

LineParse parse_wait(char** tokens, int count, ScriptEvent& event) {
    if (count != 4 || std::strcmp(tokens[2], "file") != 0)
        return fail("expected: TIME wait file PATH");
    if (std::strlen(tokens[3]) >= kScriptPathSize) return fail("file name too long");
    event.action = script_wait_file;
    LineParse result = done(1);
    std::snprintf(result.text, sizeof result.text, "%s", tokens[3]);
    return result;
}

LineParse parse_start(char** tokens, int count, ScriptEvent& event) {
    const char* what = count > 2 ? tokens[2] : "";
    event.action = script_start;
    LineParse result = done(1);
    if (count == 3 && std::strcmp(what, "play") == 0) {
        event.start = start_play;
    } else if (count == 3 && std::strcmp(what, "host") == 0) {
        event.start = start_host;
    } else if (count == 3 && std::strcmp(what, "dedicated") == 0) {
        event.start = start_dedicated;
    } else if (count == 4 && std::strcmp(what, "join") == 0 &&
               std::strlen(tokens[3]) < kScriptPathSize) {
        event.start = start_join;
        std::snprintf(result.text, sizeof result.text, "%s", tokens[3]);
    } else {
        return fail("expected: TIME start play|host|dedicated|join ADDRESS");
    }
    return result;
}

// Header lines describe how the recorded game started: they hold at time 0 only.
LineParse parse_screen(char** tokens, int count, uint64_t time) {
    uint64_t width = 0, height = 0;
    if (time != 0 || count != 4 || !parse_number(tokens[2], kScriptMaxCoordinate, width) ||
        !parse_number(tokens[3], kScriptMaxCoordinate, height) || width == 0 || height == 0) {
        return fail("expected: 0 screen WIDTH HEIGHT (1..32767 pixels)");
    }
    LineParse result = done(0);
    result.screen_width = static_cast<int>(width);
    result.screen_height = static_cast<int>(height);
    return result;
}

LineParse parse_setting(char** tokens, int count, uint64_t time) {
    LineParse result = done(0);
    result.setting = true;
    const bool has_value = count == 5;
    if (time != 0 || (count != 4 && !has_value) ||
        !percent_decode(tokens[2], result.section, sizeof result.section) ||
        !percent_decode(tokens[3], result.key, sizeof result.key) ||
        (has_value && !percent_decode(tokens[4], result.text, sizeof result.text))) {
        return fail("expected: 0 setting SECTION KEY VALUE (percent-encoded)");
    }
    return result;
}

struct NamedRemote {
    const char* name;
    RemoteKind kind;
    int words;  // after the slot; -1: an action's, which depend on its kind
};

constexpr NamedRemote kRemoteVerbs[] = {
    {"connect", remote_connect, 0}, {"join", remote_join, 2},   {"action", remote_action, -1},
    {"view", remote_view, 6},       {"leave", remote_leave, 0}, {"refused", remote_refused, 0},
};

bool parse_action(char** words, int count, ActionMessage& action) {
    const bool move = std::strcmp(words[0], "move") == 0;
    const bool down = std::strcmp(words[0], "down") == 0;
    const bool up = std::strcmp(words[0], "up") == 0;
    if (move) {
        action.kind = kind_move;
        return count == 3 && parse_float(words[1], action.a) && parse_float(words[2], action.b) &&
               std::fabs(action.a) <= kAxisLimit && std::fabs(action.b) <= kAxisLimit;
    }
    uint64_t button = 0;
    if (!(down || up) || count != 2 || !parse_number(words[1], button_jump, button)) return false;
    action.kind = down ? kind_button_down : kind_button_up;
    action.a = static_cast<float>(button);
    action.b = 0.0f;
    return true;
}

bool parse_view(char** words, Camera& view) {
    float v[6];
    for (int i = 0; i < 6; ++i) {
        if (!parse_float(words[i], v[i])) return false;
    }
    view = Camera{{v[0], v[1], v[2]}, {v[3], v[4], v[5]}};
    return true;
}

LineParse parse_remote(char** tokens, int count, const NamedRemote& verb, ScriptEvent& event) {
    LineParse result = done(1);
    RemoteEvent& remote = result.remote;
    remote.kind = verb.kind;
    event.action = script_remote;
    char** words = tokens + 3;
    const int word_count = count - 3;
    uint64_t number = 0;
    bool ok = count >= 3 && (verb.words < 0 ? word_count >= 2 : word_count == verb.words);
    if (ok && verb.kind == remote_refused) {
        ok = parse_number(tokens[2], UINT32_MAX, number);
        remote.reason = static_cast<uint32_t>(number);
    } else if (ok) {
        ok = parse_slot(tokens[2], remote.slot);
    }
    if (ok && verb.kind == remote_join) {
        ok = parse_number(words[0], 3, number) &&
             percent_decode(words[1], remote.name, sizeof remote.name);
        remote.element = static_cast<int32_t>(number);
    }
    if (ok && verb.kind == remote_action) ok = parse_action(words, word_count, remote.action);
    if (ok && verb.kind == remote_view) ok = parse_view(words, remote.view);
    if (!ok) {
        return fail(
            "expected: TIME connect|leave SLOT, join SLOT ELEMENT NAME, action SLOT move A B, "
            "action SLOT down|up BUTTON, view SLOT EX EY EZ TX TY TZ, or refused REASON");
    }
    return result;
}

LineParse parse_tokens(char** tokens, int count, ScriptEvent out[kMaxEventsPerLine]) {
    if (count > kMaxTokens) return fail("too many words");
    uint64_t time = 0;
    if (!parse_number(tokens[0], kScriptMaxTimeMs, time)) {
        return fail("a line starts with a time in ms, 0..86400000");
    }
    out[0] = ScriptEvent{time, script_message, {}, 0, start_play};
    const char* verb = count > 1 ? tokens[1] : "";
    if (std::strcmp(verb, "key") == 0) return parse_key_event(tokens, count, out[0]);
    if (std::strcmp(verb, "mouse") == 0) return parse_mouse_event(tokens, count, out);
    if (std::strcmp(verb, "gamepad") == 0) return parse_gamepad_event(tokens, count, out[0]);
    if (std::strcmp(verb, "command") == 0) {
        uint64_t id = 0;
        if (count != 3 || !parse_number(tokens[2], UINT32_MAX, id)) {
            return fail("expected: TIME command ID");
        }
        out[0].msg = command_message(static_cast<uint32_t>(id));
        return done(1);
    }
    if (std::strcmp(verb, "screenshot") == 0) {
        if (count != 3) return fail("expected: TIME screenshot FILE (no blanks in the name)");
        if (std::strlen(tokens[2]) >= kScriptPathSize) return fail("file name too long");
        out[0].action = script_screenshot;
        LineParse result = done(1);
        std::snprintf(result.text, sizeof result.text, "%s", tokens[2]);
        return result;
    }
    if (std::strcmp(verb, "quit") == 0) {
        if (count != 2) return fail("expected: TIME quit");
        out[0].action = script_quit;
        return done(1);
    }
    if (std::strcmp(verb, "wait") == 0) return parse_wait(tokens, count, out[0]);
    if (std::strcmp(verb, "start") == 0) return parse_start(tokens, count, out[0]);
    if (std::strcmp(verb, "screen") == 0) return parse_screen(tokens, count, time);
    if (std::strcmp(verb, "setting") == 0) return parse_setting(tokens, count, time);
    for (const NamedRemote& remote : kRemoteVerbs) {
        if (std::strcmp(verb, remote.name) == 0) return parse_remote(tokens, count, remote, out[0]);
    }
    return fail(
        "unknown event: expected key, mouse, gamepad, command, screenshot, wait, quit, start, "
        "screen, setting, connect, join, action, view, leave or refused");
}

}  // namespace

LineParse parse_script_line(const char* line, ScriptEvent out[kMaxEventsPerLine]) {
    char copy[kScriptLineSize];
    if (std::strlen(line) >= sizeof copy) return fail("line too long");
    std::snprintf(copy, sizeof copy, "%s", line);
    char* tokens[kMaxTokens + 1];
    const int count = split(copy, tokens);
    if (count == 0 || tokens[0][0] == '#') return done(0);
    return parse_tokens(tokens, count, out);
}

LineParse append_script_line(Script& script, const char* line) {
    ScriptEvent made[kMaxEventsPerLine];
    LineParse parsed = parse_script_line(line, made);
    if (!parsed.ok) return parsed;
    if (parsed.setting) {
        if (script.settings.size() >= kScriptMaxSettings) return fail("too many settings");
        script.settings.push_back({parsed.section, parsed.key, parsed.text});
        return parsed;
    }
    if (parsed.screen_width > 0) {
        script.screen_width = parsed.screen_width;
        script.screen_height = parsed.screen_height;
        return parsed;
    }
    if (parsed.count == 0) return parsed;
    if (!script.events.empty() && made[0].time_ms < script.events.back().time_ms) {
        return fail("time goes backwards");
    }
    if (script.events.size() + parsed.count > kScriptMaxEvents) {
        return fail("more events than a script may hold");
    }
    ScriptEvent& event = made[0];
    switch (event.action) {
        case script_screenshot:
        case script_wait_file:
        case script_start:
            event.text = static_cast<uint32_t>(script.texts.size());
            script.texts.emplace_back(parsed.text);
            script.waits = script.waits || event.action == script_wait_file;
            break;
        case script_remote:
            event.text = static_cast<uint32_t>(script.remotes.size());
            script.remotes.push_back(parsed.remote);
            break;
        default:
            break;
    }
    script.events.insert(script.events.end(), made, made + parsed.count);
    return parsed;
}

bool load_script(const char* path, Script& script) {
    script = Script{};
    std::string text;
    const FileRead read = read_whole_file(path, kScriptFileSizeLimit, text);
    if (read.status != read_ok) {
        std::fprintf(stderr, "torvi: cannot open script %s: %s\n", path,
                     read.longer ? "larger than 64 MiB" : file_error_text(read.error));
        return false;
    }
    int bad_lines = 0;
    size_t begin = 0;
    for (int number = 1; begin < text.size(); ++number) {
        const size_t newline = text.find('\n', begin);
        const size_t end = newline == std::string::npos ? text.size() : newline;
        const std::string_view line(text.data() + begin, end - begin);
        begin = end + 1;
        char copy[kScriptLineSize];
        LineParse parsed;
        if (line.size() >= sizeof copy) {
            parsed = fail("line too long");
        } else if (line.find('\0') != std::string_view::npos) {
            parsed = fail("a NUL byte in the line");
        } else {
            line.copy(copy, line.size());
            copy[line.size()] = '\0';
            parsed = append_script_line(script, copy);
        }
        if (parsed.ok) continue;
        if (++bad_lines <= kScriptReportedErrors) {
            std::fprintf(stderr, "torvi: %s:%d: %s\n", path, number, parsed.error);
        }
        if (script.events.size() + kMaxEventsPerLine > kScriptMaxEvents) break;  // full
    }
    if (bad_lines > kScriptReportedErrors) {
        std::fprintf(stderr, "torvi: %s: %d more bad lines\n", path,
                     bad_lines - kScriptReportedErrors);
    }
    if (bad_lines == 0) return true;
    script = Script{};
    return false;
}

Message script_message_at(const ScriptEvent& event, uint32_t held_buttons) {
    Message msg = event.msg;
    switch (msg.id) {
        case msg_mouse_move:
            msg.wparam = held_buttons;
            break;
        case msg_lbutton_down:
        case msg_lbutton_dblclk:
        case msg_rbutton_down:
        case msg_mbutton_down:
            msg.wparam = held_buttons | event.msg.wparam;
            break;
        case msg_lbutton_up:
        case msg_rbutton_up:
        case msg_mbutton_up:
            msg.wparam = held_buttons & ~event.msg.wparam;
            break;
        default:
            break;
    }
    return msg;
}

void key_name(int vk, char* buffer, size_t size) {
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) {
        std::snprintf(buffer, size, "%c", vk);
        return;
    }
    for (const NamedKey& key : kNamedKeys) {
        if (key.vk == vk) {
            std::snprintf(buffer, size, "%s", key.name);
            return;
        }
    }
    std::snprintf(buffer, size, "vk%d", vk);
}

bool format_remote_line(uint64_t time_ms, const RemoteEvent& event, char* buffer, size_t size) {
    const unsigned long long t = time_ms;
    const int slot = event.slot;
    int written = -1;
    switch (event.kind) {
        case remote_connect:
            written = std::snprintf(buffer, size, "%llu connect %d", t, slot);
            break;
        case remote_join: {
            char name[kNetNameSize];
            std::snprintf(name, sizeof name, "%.*s", kNetNameSize - 1, event.name);
            std::string encoded;
            percent_encode(name, encoded);
            if (encoded.empty()) encoded = "%3F";  // a name of no characters reads as "?"
            written = std::snprintf(buffer, size, "%llu join %d %d %s", t, slot, event.element,
                                    encoded.c_str());
            break;
        }
        case remote_action: {
            const ActionMessage& a = event.action;
            if (a.kind == kind_move) {
                written = std::snprintf(buffer, size, "%llu action %d move %.9g %.9g", t, slot,
                                        static_cast<double>(a.a), static_cast<double>(a.b));
            } else {
                written = std::snprintf(buffer, size, "%llu action %d %s %d", t, slot,
                                        a.kind == kind_button_down ? "down" : "up",
                                        static_cast<int>(a.a));
            }
            break;
        }
        case remote_view: {
            const Camera& v = event.view;
            written =
                std::snprintf(buffer, size, "%llu view %d %.9g %.9g %.9g %.9g %.9g %.9g", t, slot,
                              static_cast<double>(v.eye.x), static_cast<double>(v.eye.y),
                              static_cast<double>(v.eye.z), static_cast<double>(v.target.x),
                              static_cast<double>(v.target.y), static_cast<double>(v.target.z));
            break;
        }
        case remote_leave:
            written = std::snprintf(buffer, size, "%llu leave %d", t, slot);
            break;
        case remote_refused:
            written = std::snprintf(buffer, size, "%llu refused %u", t, event.reason);
            break;
    }
    return written > 0 && static_cast<size_t>(written) < size;
}

std::string format_screen_line(int width, int height) {
    return "0 screen " + std::to_string(width) + " " + std::to_string(height);
}

std::string format_setting_line(const char* section, const char* key, const char* value) {
    std::string line = "0 setting ";
    percent_encode(section, line);
    line += ' ';
    percent_encode(key, line);
    if (value[0] != '\0') {
        line += ' ';
        percent_encode(value, line);
    }
    return line;
}

std::string format_start_line(uint64_t time_ms, StartKind kind, const char* address) {
    std::string line = std::to_string(time_ms) + " start ";
    if (kind == start_play) return line + "play";
    if (kind == start_host) return line + "host";
    if (kind == start_dedicated) return line + "dedicated";
    return line + "join " + address;
}

bool format_script_line(uint64_t time_ms, const Message& msg, char* buffer, size_t size) {
    // A drag can leave the window; a script only knows the pixels inside it.
    const int x = point_x(msg.lparam) < 0 ? 0 : point_x(msg.lparam);
    const int y = point_y(msg.lparam) < 0 ? 0 : point_y(msg.lparam);
    if (is_key_message(msg.id)) {
        if (msg.wparam > 255) return false;
        char name[16];
        key_name(static_cast<int>(msg.wparam), name, sizeof name);
        std::snprintf(buffer, size, "%" PRIu64 " key %s %s", time_ms,
                      msg.id == msg_key_down ? "down" : "up", name);
        return true;
    }
    if (msg.id == msg_mouse_move || msg.id == msg_lbutton_dblclk) {
        std::snprintf(buffer, size, "%" PRIu64 " mouse %s %d %d", time_ms,
                      msg.id == msg_mouse_move ? "move" : "dblclick", x, y);
        return true;
    }
    if (msg.id == msg_mouse_leave) {
        std::snprintf(buffer, size, "%" PRIu64 " mouse leave", time_ms);
        return true;
    }
    if (msg.id == msg_gamepad_axis && msg.wparam < kGamepadAxes) {
        std::snprintf(buffer, size, "%" PRIu64 " gamepad axis %s %d", time_ms,
                      kAxisNames[msg.wparam], static_cast<int>(static_cast<int32_t>(msg.lparam)));
        return true;
    }
    if (msg.id == msg_gamepad_button && msg.wparam < kGamepadButtonCount) {
        std::snprintf(buffer, size, "%" PRIu64 " gamepad button %u %s", time_ms, msg.wparam,
                      msg.lparam != 0 ? "down" : "up");
        return true;
    }
    if (msg.id == msg_gamepad_device) {
        std::snprintf(buffer, size, "%" PRIu64 " gamepad %s", time_ms,
                      msg.lparam != 0 ? "attach" : "detach");
        return true;
    }
    for (const NamedButton& button : kMouseButtons) {
        if (msg.id == button.down || msg.id == button.up) {
            std::snprintf(buffer, size, "%" PRIu64 " mouse %s %s %d %d", time_ms,
                          msg.id == button.down ? "down" : "up", button.name, x, y);
            return true;
        }
    }
    return false;
}
