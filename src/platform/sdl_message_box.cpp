#include "platform/sdl_message_box.h"

#include <cstdarg>
#include <cstdio>

#include "platform/sdl_window.h"

namespace {

constexpr int kOkButton = 201;
constexpr int kCopyButton = 202;

SDL_Window*& error_box_window() {
    static SDL_Window* window = nullptr;
    return window;
}

}  // namespace

void set_error_box_window(SDL_Window* window) {
    error_box_window() = window;
}

void ErrorBox(const char* format, ...) {
    char message[kErrorBoxMessageSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);

    if (!has_real_display()) {
        std::fprintf(stderr, "torvi: %s\n", message);
        return;
    }
    const SDL_MessageBoxButtonData buttons[] = {
        {0, kCopyButton, "Copy"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
         kOkButton, "Ok"},
    };
    SDL_Window* owner = error_box_window();
    const SDL_MessageBoxData box = {
        SDL_MESSAGEBOX_ERROR, owner, "MsgWnd", message, SDL_arraysize(buttons), buttons, nullptr,
    };
    if (owner) SDL_HideWindow(owner);
    int pressed = kOkButton;
    if (SDL_ShowMessageBox(&box, &pressed) != 0) {
        std::fprintf(stderr, "torvi: %s\n", message);
    } else if (pressed == kCopyButton) {
        SDL_SetClipboardText(message);
    }
    if (owner) SDL_ShowWindow(owner);
}
