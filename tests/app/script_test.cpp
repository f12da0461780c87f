#include "app/script.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "support/temp_folder.h"

namespace {

struct Parsed {
    LineParse result;
    ScriptEvent events[kMaxEventsPerLine];
};

Parsed parse(const char* line) {
    Parsed p{};
    p.result = parse_script_line(line, p.events);
    return p;
}

// Each kind of message is parsed in the round trip below, screenshots in the app runs, and
// comments and blank lines with whole files; here the spellings a hand-written script may
// use for keys, the two events of a click, commands and blanks around the words.
TEST(ScriptLine, KeyNamesClicksCommandsAndBlanksAroundTheWords) {
    const std::pair<const char*, uint32_t> keys[] = {
        {"1 key up w", 'W'},           {"1 key down 7", '7'},     {"1 key down escape", 27},
        {"1 key down up", 38},         {"1 key down vk112", 112}, {"1 key down f3", vk_f3},
        {"1 key down underscore", '_'}};
    for (const auto& [line, vk] : keys) {
        const Parsed p = parse(line);
        ASSERT_TRUE(p.result.ok) << line << ": " << p.result.error;
        EXPECT_EQ(p.events[0].msg.wparam, vk) << line;
    }
    const Parsed click = parse("820 mouse click right 10 20");
    ASSERT_EQ(click.result.count, 2);
    EXPECT_EQ(click.events[0].msg.id, static_cast<uint32_t>(msg_rbutton_down));
    EXPECT_EQ(click.events[1].msg.id, static_cast<uint32_t>(msg_rbutton_up));
    EXPECT_EQ(click.events[1].time_ms, 820u);
    const Parsed p = parse("900 command 26");
    EXPECT_EQ(p.events[0].msg.id, static_cast<uint32_t>(msg_gui_command));
    EXPECT_EQ(p.events[0].msg.wparam, 26u);
    EXPECT_EQ(parse("\t 1200   quit \r").events[0].action, script_quit);
}

TEST(ScriptLine, GarbageIsRejectedWithAReason) {
    const char* garbage[] = {
        // times: none, negative, overflowing, past a day, junk after the number
        "key down A", "-5 key down A", "99999999999999999999 quit", "86400001 quit",
        "10x key down A",
        // keys: neither down nor up, no such key or code, missing
        "10 key sideways A", "10 key down AB", "10 key down vk256", "10 key down",
        // mouse: missing y, coordinates out of range, no such button or verb
        "10 mouse move 1", "10 mouse move -1 5", "10 mouse move 40000 5",
        "10 mouse click thumb 1 1", "10 mouse wiggle 1 1",
        // missing or extra words, unknown events, too many words
        "10 command", "10 command 1 2", "10 screenshot", "10 screenshot a b", "10 quit now",
        "10 jump", "10 key down A 1 2 3 4 5 6 7 8 9",
        // gamepads: no such axis, past the range, not a number, off the pad, extra word
        "10 gamepad axis w 5", "10 gamepad axis x 101", "10 gamepad axis x --5",
        "10 gamepad button 128 down", "10 gamepad button 1 sideways", "10 gamepad attach now",
        // a record's lines: slots 1..11, elements 0..3, finite moves within -100..100,
        // buttons 0..2, headers at time 0 only, escapes of two hex digits, one start
        "10 connect 0", "10 connect 12", "10 join 1 4 ann", "10 join 1 0", "10 join 1 0 a%2",
        "10 action 1 move nan 0", "10 action 1 move 0 101", "10 action 1 down 3",
        "10 action 1 sideways 1", "10 view 1 1 2 3 4 5", "10 view 1 1 2 3 4 5 inf", "10 leave",
        "5 screen 1024 768", "0 screen 0 768", "5 setting a b c", "0 setting a", "0 setting a%zz b",
        "10 start", "10 start join", "10 start fly", "10 wait 5", "10 wait file",
        "\x01\xff\xfe garbage"};
    for (const char* line : garbage) {
        const Parsed p = parse(line);
        EXPECT_FALSE(p.result.ok) << line;
        EXPECT_NE(p.result.error[0], '\0') << line;
    }
    const std::string huge(5000, '7');
    EXPECT_FALSE(parse(huge.c_str()).result.ok);
}

TEST(ScriptMessages, MouseButtonsMergeWithTheHeldOnes) {
    auto wparam = [](const char* line, uint32_t held) {
        return script_message_at(parse(line).events[0], held).wparam;
    };
    EXPECT_EQ(wparam("1 mouse down right 5 5", mouse_bit_left),
              static_cast<uint32_t>(mouse_bit_left | mouse_bit_right));
    EXPECT_EQ(wparam("1 mouse up left 5 5", mouse_bit_left | mouse_bit_middle),
              static_cast<uint32_t>(mouse_bit_middle));
    EXPECT_EQ(wparam("1 mouse move 5 5", mouse_bit_right), static_cast<uint32_t>(mouse_bit_right));
    EXPECT_EQ(wparam("1 key down A", mouse_bit_right), 65u);
}

TEST(ScriptRecord, FormattedLinesParseBackToTheSameMessage) {
    const Message messages[] = {key_message(true, 'Q'),
                                key_message(false, vk_space),
                                key_message(true, 200),
                                key_message(true, vk_control),
                                mouse_message(msg_mouse_move, 0, 1023, 767),
                                Message{msg_mouse_leave, 0, 0},
                                mouse_message(msg_lbutton_down, mouse_bit_left, 4, 5),
                                mouse_message(msg_mbutton_up, 0, 6, 7),
                                mouse_message(msg_lbutton_dblclk, mouse_bit_left, 8, 9),
                                gamepad_axis_message(3, -100),
                                gamepad_button_message(127, true),
                                gamepad_button_message(0, false),
                                gamepad_device_message(true),
                                gamepad_device_message(false)};
    for (const Message& msg : messages) {
        char line[128];
        ASSERT_TRUE(format_script_line(1234, msg, line, sizeof line));
        const Parsed p = parse(line);
        ASSERT_TRUE(p.result.ok) << line << ": " << p.result.error;
        EXPECT_EQ(p.events[0].time_ms, 1234u) << line;
        EXPECT_EQ(p.events[0].msg.id, msg.id) << line;
        EXPECT_EQ(p.events[0].msg.lparam, msg.id >= msg_mouse_move ? msg.lparam : 0u) << line;
        if (is_key_message(msg.id) || is_gamepad_message(msg.id)) {
            EXPECT_EQ(p.events[0].msg.wparam, msg.wparam) << line;
        }
    }
    char line[128];
    ASSERT_TRUE(format_script_line(1, key_message(true, vk_f3), line, sizeof line));
    EXPECT_STREQ(line, "1 key down F3");  // as the key is labelled
    EXPECT_FALSE(format_script_line(1, command_message(11), line, sizeof line));
    // A drag outside the window is recorded at the edge, which a script can replay.
    ASSERT_TRUE(format_script_line(1, mouse_message(msg_mouse_move, 0, -4, 3), line, sizeof line));
    EXPECT_STREQ(line, "1 mouse move 0 3");
}

// A host's record: every kind of remote event, the header and a start read back as written,
// names and values with blanks, '%' and bytes past ASCII included.
TEST(ScriptRecord, RemoteEventsHeadersAndStartsParseBackAsWritten) {
    RemoteEvent events[6]{};
    const RemoteKind kinds[6] = {remote_connect, remote_join, remote_action,
                                 remote_action,  remote_view, remote_leave};
    for (int i = 0; i < 6; ++i) {
        events[i].kind = kinds[i];
        events[i].slot = 3;
    }
    events[1].element = 2;
    std::snprintf(events[1].name, sizeof events[1].name, "Ann Lee 100%%\xc3\xa9");
    events[2].action = ActionMessage{0, kind_move, -37.25f, 0.1f};
    events[3].action = ActionMessage{0, kind_button_up, 2.0f, 0.0f};
    events[4].view = Camera{{1.0f / 3.0f, 5.0f, -1e-7f}, {-2.5f, 0.0f, 3e8f}};
    Script script;
    for (const RemoteEvent& event : events) {
        char line[kScriptLineSize];
        ASSERT_TRUE(format_remote_line(77, event, line, sizeof line));
        ASSERT_TRUE(append_script_line(script, line).ok) << line;
    }
    ASSERT_EQ(script.remotes.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(std::memcmp(&script.remotes[i], &events[i], sizeof events[i]), 0) << i;
        EXPECT_EQ(script.events[i].time_ms, 77u);
    }
    for (const std::string& line :
         {format_screen_line(800, 600), format_setting_line("player", "name", "Ann Lee 100%"),
          format_setting_line("net", "enumerate", ""), format_start_line(77, start_join, "h:9")}) {
        ASSERT_TRUE(append_script_line(script, line.c_str()).ok) << line;
    }
    EXPECT_EQ(script.screen_width, 800);
    EXPECT_EQ(script.screen_height, 600);
    ASSERT_EQ(script.settings.size(), 2u);
    EXPECT_EQ(script.settings[0].value, "Ann Lee 100%");
    EXPECT_EQ(script.settings[1].value, "");
    EXPECT_EQ(script.events.back().start, start_join);
    EXPECT_EQ(script.texts.at(script.events.back().text), "h:9");
}

// Whole files, in a folder of the test's own.
TEST(ScriptFile, AGoodScriptLoadsInOrderAndAnyBadLineOrAMissingFileRejectsTheWholeScript) {
    const TempFolder folder("torvi-script-");
    const std::string path = folder.file("s.txt");
    Script script;
    const std::vector<ScriptEvent>& events = script.events;
    auto load = [&](const std::string& text) {
        write_text(path, text);
        return load_script(path.c_str(), script);
    };
    ASSERT_TRUE(
        load("# walk\n100 key down W\n100 mouse click left 1 1\n\n300 key up W\r\n"
             "350 screenshot a.png\n400 quit"));
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[3].time_ms, 300u);
    EXPECT_EQ(script.texts.at(events[4].text), "a.png");
    EXPECT_EQ(events[5].action, script_quit);

    testing::internal::CaptureStderr();
    EXPECT_FALSE(load("100 key down W\n50 key up W\n60 fly\n"));
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(load("1 key down A\n" + std::string(3000, 'x') + "\n2 quit\n"));
    const char with_nul[] = "1 key down A\n2 key\0 up A\n3 fly\n";
    EXPECT_FALSE(load(std::string(with_nul, sizeof with_nul - 1)));
    EXPECT_FALSE(load_script(folder.file("none.txt").c_str(), script));
    EXPECT_FALSE(load_script(folder.path().c_str(), script));
    std::string many;
    for (int i = 0; i < 1000; ++i) many += "1 fly\n";
    EXPECT_FALSE(load(many));
    const std::string err = testing::internal::GetCapturedStderr();
    for (const char* reason : {"s.txt:2: time goes backwards", "s.txt:3:", ":2: line too long",
                               ":2: a NUL byte", ":3: unknown event", "cannot open script",
                               "not a regular file", ":20: unknown", "s.txt: 980 more bad lines"}) {
        EXPECT_NE(err.find(reason), std::string::npos) << reason << " not in\n" << err;
    }
    EXPECT_EQ(err.find(":21: unknown"), std::string::npos);
}

}  // namespace
