// Scripted input: a text file of timed events played through the real message routing,
// and the same format written by --record, so any session can be replayed.
//
// One event per line; blank lines and lines starting with '#' are ignored. Each line starts
// with a time in milliseconds on the scheduler's clock (0 = the loop's start, at most one
// day), never earlier than the line before:
//
//   500 key down A             press a key: A..Z, 0..9, escape, enter, space, backspace,
//   520 key up A               left, up, right, down, ctrl, or vkN for virtual-key code N
//   800 mouse move 512 300     move the cursor to back-buffer pixel (x, y), 0..32767
//   820 mouse down left 512 300    press or release left, right or middle at (x, y)
//   840 mouse up left 512 300
//   860 mouse click left 512 300   a press and a release at the same moment
//   880 mouse dblclick 512 300     a left double click
//   890 mouse leave                the cursor leaves the window
//   860 gamepad attach         a gamepad is chosen (detach: it is pulled out)
//   870 gamepad axis x -100    move axis x, y, z or rz to -100..100
//   880 gamepad button 6 down  press or release button 0..127
//   900 command 26             a GUI command message with that id, as a widget sends it
//   1000 screenshot out.png    save the next frame drawn as PNG
//   1200 quit                  close the program, as closing the window does
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "input/gamepad_input.h"
#include "platform/message.h"

constexpr uint64_t kScriptMaxTimeMs = 24ull * 60 * 60 * 1000;
constexpr size_t kScriptPathSize = 256;
constexpr size_t kScriptLineSize = 512;
constexpr int kScriptMaxCoordinate = 32767;
// A script is read whole: bounds far beyond any session a person would replay.
constexpr size_t kScriptFileSizeLimit = size_t{64} << 20;
constexpr size_t kScriptMaxEvents = 4000000;
// Bad lines reported one by one; the rest are counted.
constexpr int kScriptReportedErrors = 20;

enum ScriptAction {
    script_message,     // route msg
    script_screenshot,  // save the next frame to path
    script_quit,
};

struct ScriptEvent {
    uint64_t time_ms;
    ScriptAction action;
    // For mouse messages wparam holds only the button the line names; the player merges
    // in the buttons held at the time (script_message_at).
    Message msg;
    uint32_t shot;  // script_screenshot: the index of its file in Script::shot_paths
};

struct Script {
    std::vector<ScriptEvent> events;
    std::vector<std::string> shot_paths;
};

// Events one line can make: a click is two.
constexpr int kMaxEventsPerLine = 2;

struct LineParse {
    int count;                        // events written; 0 for a blank or comment line
    bool ok;                          // false: error says why
    char error[128];                  // empty when ok
    char shot_path[kScriptPathSize];  // a screenshot line's file
};

// Parses one line (without its line break) into up to two events.
LineParse parse_script_line(const char* line, ScriptEvent out[kMaxEventsPerLine]);

// Parses one line onto the end of script; false, and script unchanged, for a bad line,
// which the result says.
LineParse append_script_line(Script& script, const char* line);

// Reads a whole script, a regular file. A missing or unusable file and the first bad lines
// give a line each on stderr naming the file and line (the rest are counted); the result
// is false if there was any, and script is then empty.
bool load_script(const char* path, Script& script);

// The message of an event, with the mouse buttons held before it (mouse_bit_* flags).
Message script_message_at(const ScriptEvent& event, uint32_t held_buttons);

// The script line for an input message (key and mouse messages), without a line break.
// Returns false, writing nothing useful, for messages a script cannot express.
bool format_script_line(uint64_t time_ms, const Message& msg, char* buffer, size_t size);
// Name of a virtual key as a script writes it (into buffer, at least 8 bytes).
void key_name(int vk, char* buffer, size_t size);
