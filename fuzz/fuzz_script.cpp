// Any text read as a script, line by line: a bad line leaves the script as it was, times
// never go backwards, every value is in its range, and every key, mouse, gamepad and
// remote event written back as a line reads back as the same event.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/script.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

// A remote event written back reads back as the same event.
void check_remote_round_trip(const ScriptEvent& event, const RemoteEvent& remote) {
    char line[kScriptLineSize];
    if (!format_remote_line(event.time_ms, remote, line, sizeof line)) return;
    Script again;
    const LineParse parsed = append_script_line(again, line);
    check(parsed.ok && again.remotes.size() == 1);
    const RemoteEvent& back = again.remotes[0];
    check(back.kind == remote.kind && back.slot == remote.slot);
    if (remote.kind == remote_join) {
        check(back.element == remote.element && std::strcmp(back.name, remote.name) == 0);
    }
    if (remote.kind == remote_action) {
        check(std::memcmp(&back.action, &remote.action, sizeof back.action) == 0);
    }
    if (remote.kind == remote_view)
        check(std::memcmp(&back.view, &remote.view, sizeof back.view) == 0);
}

void check_round_trip(const ScriptEvent& event) {
    char line[kScriptLineSize];
    if (!format_script_line(event.time_ms, event.msg, line, sizeof line)) return;
    ScriptEvent again[kMaxEventsPerLine];
    const LineParse parsed = parse_script_line(line, again);
    check(parsed.ok && parsed.count >= 1);
    check(again[0].time_ms == event.time_ms && again[0].msg.id == event.msg.id);
    check(again[0].msg.lparam == event.msg.lparam);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Script script;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(begin, end - begin);
        begin = end + 1;
        if (line.size() >= kScriptLineSize || line.find('\0') != std::string::npos) continue;
        const size_t before = script.events.size();
        const size_t shots_before = script.texts.size();
        const LineParse parsed = append_script_line(script, line.c_str());
        check(parsed.ok == (parsed.error[0] == '\0'));
        const size_t added = script.events.size() - before;
        check(parsed.ok ? added == static_cast<size_t>(parsed.count) : added == 0);
        check(parsed.ok || script.texts.size() == shots_before);
        check(parsed.count >= 0 && parsed.count <= kMaxEventsPerLine);
    }
    for (size_t i = 0; i < script.events.size(); ++i) {
        const ScriptEvent& event = script.events[i];
        check(event.time_ms <= kScriptMaxTimeMs);
        check(i == 0 || script.events[i - 1].time_ms <= event.time_ms);
        if (event.action == script_screenshot) {
            check(event.text < script.texts.size());
            check(script.texts[event.text].size() < kScriptPathSize);
        }
        if (event.action == script_message) check_round_trip(event);
        if (event.action == script_remote) {
            check(event.text < script.remotes.size());
            check_remote_round_trip(event, script.remotes[event.text]);
        }
    }
    return 0;
}
