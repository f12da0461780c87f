// The modal error box: a message titled "MsgWnd" with the buttons "Ok" and "Copy".
#pragma once
#include <SDL.h>

constexpr int kErrorBoxMessageSize = 256;

// The window the box hides while it is open; nullptr before there is one.
void set_error_box_window(SDL_Window* window);

// Formats at most 255 characters and shows them in the box. "Copy" puts the message on the
// clipboard and closes the box, like "Ok" (SDL's box cannot stay open after a button).
// Without a real display (offscreen or dummy driver, or no video at all) the message goes
// to stderr instead, so a run without a screen never waits for a click.
void ErrorBox(const char* format, ...) __attribute__((format(printf, 1, 2)));
