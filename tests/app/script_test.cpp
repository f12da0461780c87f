#include "app/script.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

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

TEST(ScriptLine, KeysAndMouseEvents) {
    struct Case {
        const char* line;
        MessageId id;
        uint32_t wparam;
    };
    const Case cases[] = {
        {"500 key down A", msg_key_down, 65},
        {"1 key up w", msg_key_up, 87},
        {"1 key down 7", msg_key_down, 55},
        {"1 key down escape", msg_key_down, 27},
        {"1 key down up", msg_key_down, 38},
        {"1 key down vk112", msg_key_down, 112},
        {"9 mouse dblclick 1 2", msg_lbutton_dblclk, 0},
        {"9 mouse up middle 1 2", msg_mbutton_up, 0},
    };
    for (const Case& c : cases) {
        const Parsed p = parse(c.line);
        ASSERT_TRUE(p.result.ok) << c.line << ": " << p.result.error;
        ASSERT_EQ(p.result.count, 1) << c.line;
        EXPECT_EQ(p.events[0].msg.id, static_cast<uint32_t>(c.id)) << c.line;
        if (is_key_message(c.id)) {
            EXPECT_EQ(p.events[0].msg.wparam, c.wparam) << c.line;
        }
    }
    EXPECT_EQ(parse("500 key down A").events[0].time_ms, 500u);
    EXPECT_EQ(parse("800 mouse move 512 300").events[0].msg.lparam, pack_point(512, 300));
    const Parsed click = parse("820 mouse click right 10 20");
    ASSERT_EQ(click.result.count, 2);
    EXPECT_EQ(click.events[0].msg.id, static_cast<uint32_t>(msg_rbutton_down));
    EXPECT_EQ(click.events[1].msg.id, static_cast<uint32_t>(msg_rbutton_up));
    EXPECT_EQ(click.events[1].time_ms, 820u);
}

TEST(ScriptLine, CommandScreenshotQuitCommentsAndBlanks) {
    Parsed p = parse("900 command 26");
    EXPECT_EQ(p.events[0].msg.id, static_cast<uint32_t>(msg_gui_command));
    EXPECT_EQ(p.events[0].msg.wparam, 26u);
    p = parse("1000 screenshot out.png");
    EXPECT_EQ(p.events[0].action, script_screenshot);
    EXPECT_STREQ(p.events[0].path, "out.png");
    EXPECT_EQ(parse("1200 quit").events[0].action, script_quit);
    EXPECT_EQ(parse("\t 1200   quit \r").events[0].action, script_quit);
    for (const char* empty : {"", "   ", "# 10 key down A", "\r"}) {
        p = parse(empty);
        EXPECT_TRUE(p.result.ok) << empty;
        EXPECT_EQ(p.result.count, 0) << empty;
    }
}

TEST(ScriptLine, GarbageIsRejectedWithAReason) {
    const char* garbage[] = {
        "key down A",                       // no time
        "-5 key down A",                    // negative time
        "99999999999999999999 quit",        // overflows
        "86400001 quit",                    // past a day
        "10x key down A",                   // junk after the number
        "10 key sideways A",                // neither down nor up
        "10 key down AB",                   // no such key
        "10 key down vk256",                // out of range code
        "10 key down",                      // missing key
        "10 mouse move 1",                  // missing y
        "10 mouse move -1 5",               // negative coordinate
        "10 mouse move 40000 5",            // too large
        "10 mouse click thumb 1 1",         // no such button
        "10 mouse wiggle 1 1",              // no such verb
        "10 command",                       // missing id
        "10 command 1 2",                   // extra word
        "10 screenshot",                    // missing file
        "10 screenshot a b",                // blanks in the name
        "10 quit now",                      // extra word
        "10 jump",                          // unknown event
        "10 key down A 1 2 3 4 5 6 7 8 9",  // too many words
        "10 gamepad axis w 5",              // no such axis
        "10 gamepad axis x 101",            // past the axis range
        "10 gamepad axis x --5",            // not a number
        "10 gamepad button 128 down",       // off the pad
        "10 gamepad button 1 sideways",     // neither down nor up
        "10 gamepad attach now",            // extra word
        "\x01\xff\xfe garbage",             // binary
    };
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
    const Message messages[] = {
        key_message(true, 'Q'),
        key_message(false, vk_space),
        key_message(true, 200),
        mouse_message(msg_mouse_move, 0, 1023, 767),
        mouse_message(msg_lbutton_down, mouse_bit_left, 4, 5),
        mouse_message(msg_mbutton_up, 0, 6, 7),
        mouse_message(msg_lbutton_dblclk, mouse_bit_left, 8, 9),
        gamepad_axis_message(3, -100),
        gamepad_axis_message(0, 42),
        gamepad_button_message(127, true),
        gamepad_button_message(0, false),
        gamepad_device_message(true),
        gamepad_device_message(false),
    };
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
    EXPECT_FALSE(format_script_line(1, command_message(11), line, sizeof line));
    // A drag outside the window is recorded at the edge, which a script can replay.
    ASSERT_TRUE(format_script_line(1, mouse_message(msg_mouse_move, 0, -4, 3), line, sizeof line));
    EXPECT_STREQ(line, "1 mouse move 0 3");
}

// Whole files, in a folder of the test's own.
class ScriptFile : public ::testing::Test {
  protected:
    bool load(const std::string& text) {
        std::ofstream(path_, std::ios::binary) << text;
        return load_script(path_.c_str(), events_);
    }
    TempFolder folder_{"torvi-script-"};
    const std::string path_ = folder_.file("s.txt");
    std::vector<ScriptEvent> events_;
};

TEST_F(ScriptFile, AGoodScriptLoadsInOrder) {
    ASSERT_TRUE(
        load("# walk\n100 key down W\n100 mouse click left 1 1\n\n300 key up W\r\n400 quit"));
    ASSERT_EQ(events_.size(), 5u);
    EXPECT_EQ(events_[3].time_ms, 300u);
    EXPECT_EQ(events_[4].action, script_quit);
}

TEST_F(ScriptFile, AnyBadOrOverlongLineOrAMissingFileRejectsTheWholeScriptWithAReason) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(load("100 key down W\n50 key up W\n60 fly\n"));
    EXPECT_TRUE(events_.empty());
    EXPECT_FALSE(load("1 key down A\n" + std::string(2000, 'x') + "\n2 quit\n"));
    EXPECT_FALSE(load_script(folder_.file("none.txt").c_str(), events_));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("s.txt:2: time goes backwards"), std::string::npos) << err;
    EXPECT_NE(err.find("s.txt:3:"), std::string::npos) << err;
    EXPECT_NE(err.find(":2: line too long"), std::string::npos) << err;
    EXPECT_NE(err.find("cannot open script"), std::string::npos) << err;
}

}  // namespace
