// SDL events turned into the window messages the routing works on.
#pragma once
#include <SDL.h>

#include "platform/message.h"
#include "platform/sdl_window.h"

constexpr int kMaxMessagesPerEvent = 1;

// The virtual key of an SDL key, or -1 for keys the game does not know.
int virtual_key(SDL_Keycode key);

// The message an event becomes, if any. Mouse positions come in back-buffer pixels; a
// second left press within the double-click time becomes a double click; closing the
// window becomes msg_close. A size change updates the window's back-buffer size.
bool translate_event(const SDL_Event& event, GameWindow& window, Message& out);
