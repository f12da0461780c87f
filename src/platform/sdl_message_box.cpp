#include "platform/sdl_message_box.h"

#include <cstdarg>
#include <cstdio>

#include "platform/sdl_window.h"

namespace {

constexpr int kOkButton = 201;
constexpr int kCopyButton = 202;

}  // namespace

void ErrorBox(const ErrorBoxes& boxes, const char* format, ...) {
    char message[kErrorBoxMessageSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);

    if (boxes.unattended || !has_real_display()) {
        std::fprintf(stderr, "torvi: %s\n", message);
        return;
    }
    const SDL_MessageBoxButtonData buttons[] = {
        {0, kCopyButton, "Copy"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
         kOkButton, "Ok"},
    };
    SDL_Window* owner = boxes.window;
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
