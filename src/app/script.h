// Scripted input: a text file of timed events played through the real message routing,
// and the same format written by --record, so any session can be replayed.
//
// One event per line; blank lines and lines starting with '#' are ignored. Each line starts
// with a time in milliseconds of game time (0 = the loop's start, at most one day), never
// earlier than the line before. An event at time T happens before the ticks due at T.
//
//   500 key down A             press a key: A..Z, 0..9, escape, enter, space, backspace,
//   520 key up A               tab, left, up, right, down, ctrl, F3, or vkN for virtual-key
//                              code N (names in any case)
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
//   1000 screenshot out.png    save the world as it stands after the ticks due at 1000
//   1100 wait file go          hold the lines after this one until the file go exists; their
//                              times then count from the moment it appeared
//   1200 quit                  close the program, as closing the window does
//
// What a record adds, so that it replays a hosted game with no network (names, settings
// and values are percent-encoded: a blank is %20):
//
//   0 screen 1024 768          the window's size the game ran in
//   0 setting input forward 22     a setting the game started with
//   0 start host               what the command line started: play, host, dedicated or
//                              join ADDRESS
//   1500 connect 1             a host's remote player: a connection takes slot 1..11
//   1510 join 1 2 ann          its player says hello: element 0..3 and name
//   1520 action 1 move 0 -100  it acts: move A B (-100..100), down BUTTON or up BUTTON (0..2)
//   1530 view 1 5 5 0 0 0 0    the camera its moves turn by: eye x y z, target x y z
//   1540 leave 1               its connection ended
//   1550 refused 1             a connection was turned away, with the reason's number
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "input/gamepad_input.h"
#include "net/remote_event.h"
#include "platform/message.h"

constexpr uint64_t kScriptMaxTimeMs = 24ull * 60 * 60 * 1000;
constexpr size_t kScriptPathSize = 256;
constexpr size_t kScriptLineSize = 2048;
constexpr int kScriptMaxCoordinate = 32767;
// A script is read whole: bounds far beyond any session a person would replay.
constexpr size_t kScriptFileSizeLimit = size_t{64} << 20;
constexpr size_t kScriptMaxEvents = 4000000;
constexpr size_t kScriptMaxSettings = 1000;
// Bad lines reported one by one; the rest are counted.
constexpr int kScriptReportedErrors = 20;

enum ScriptAction {
    script_message,     // route msg
    script_screenshot,  // save the world after the ticks due at its time: texts[text]
    script_quit,
    script_wait_file,  // hold the lines after it until texts[text] exists
    script_start,      // start: play, host, dedicated, or join texts[text]
    script_remote,     // a host's remote event: remotes[text]
};

enum StartKind : uint8_t { start_play, start_host, start_join, start_dedicated };

struct ScriptEvent {
    uint64_t time_ms;
    ScriptAction action;
    // For mouse messages wparam holds only the button the line names; the player merges
    // in the buttons held at the time (script_message_at).
    Message msg;
    uint32_t text;  // the index of the event's file, address or remote event
    StartKind start;
};

// A setting the recorded game started with.
struct ScriptSetting {
    std::string section, key, value;
};

struct Script {
    std::vector<ScriptEvent> events;
    std::vector<std::string> texts;
    std::vector<RemoteEvent> remotes;
    std::vector<ScriptSetting> settings;
    int screen_width = 0, screen_height = 0;  // 0: not recorded
    bool waits = false;                       // holds a wait line
};

// Events one line can make: a click is two.
constexpr int kMaxEventsPerLine = 2;

struct LineParse {
    int count;                   // events written; 0 for a blank, comment or header line
    bool ok;                     // false: error says why
    char error[256];             // empty when ok
    char text[kScriptLineSize];  // a screenshot's or wait's file, a join's address; a
                                 // setting's value
    char section[kScriptPathSize], key[kScriptPathSize];  // a setting line's names
    bool setting;                                         // a setting line
    int screen_width, screen_height;                      // a screen line; else 0
    RemoteEvent remote;                                   // a remote event's line
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

// The line of a host's remote event, without a line break; false when it does not fit.
bool format_remote_line(uint64_t time_ms, const RemoteEvent& event, char* buffer, size_t size);
// The record's header lines: the window's size, and one setting.
std::string format_screen_line(int width, int height);
std::string format_setting_line(const char* section, const char* key, const char* value);
// The line of a start from the command line.
std::string format_start_line(uint64_t time_ms, StartKind kind, const char* address);
