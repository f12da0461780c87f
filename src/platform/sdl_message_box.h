// The modal error box: a message titled "MsgWnd" with the buttons "Ok" and "Copy".
#pragma once
#include <SDL.h>

constexpr int kErrorBoxMessageSize = 256;

// Where a run's error boxes go: the window a box hides while it is open (none before there
// is one), and whether anyone is there to click. An unattended run (a script, a frame
// count, a screenshot, a replay) must never wait for a click.
struct ErrorBoxes {
    SDL_Window* window = nullptr;
    bool unattended = false;
};

// Formats at most 255 characters and shows them in the box. "Copy" puts the message on the
// clipboard and closes the box, like "Ok" (SDL's box cannot stay open after a button).
// Unattended, or without a real display (offscreen or dummy driver, or no video at all),
// the message goes to stderr instead and the run goes on.
void ErrorBox(const ErrorBoxes& boxes, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
