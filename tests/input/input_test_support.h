// The fixture shared by the keyboard and gamepad input tests: a joined client records every
// action, so each test sees exactly what a tick emits.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "input/gamepad_input.h"
#include "input/keyboard_input.h"

struct SentAction {
    ActionKind kind;
    float a;
    float b;
};

class InputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sent_ = &sent;
        init_keyboard_input(input);
        input.send_action = [](ActionKind kind, float a, float b) {
            sent_->push_back({kind, a, b});
        };
        init_key_state(keys);
        init_player_table(table);
        init_session_state(session);
        session.client = true;
        session.local_player_index = 0;
        set_camera(cam, {0.0f, 5.0f, 5.0f}, {0.0f, 0.0f, 0.0f});
    }
    void TearDown() override { sent_ = nullptr; }

    // The seven bindings as letters, in table order, and the input type.
    void bind(const char (&letters)[8], InputType type) {
        for (int i = 0; i < control_type; ++i) input.controls.entries[i] = letters[i] - 'A';
        input.controls.entries[control_type] = type;
    }
    void press(int vk) { track_message(keys, key_message(true, vk)); }
    void release(int vk) { track_message(keys, key_message(false, vk)); }
    InputTarget target() { return InputTarget{cam, table, session}; }

    std::vector<SentAction> sent;
    KeyboardInput input;
    KeyState keys;
    PlayerTable table;
    SessionState session;
    Camera cam{};
    inline static std::vector<SentAction>* sent_ = nullptr;
};
