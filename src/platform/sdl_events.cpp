#include "platform/sdl_events.h"

namespace {

uint32_t buttons_held(Uint32 state) {
    return ((state & SDL_BUTTON_LMASK) ? mouse_bit_left : 0u) |
           ((state & SDL_BUTTON_RMASK) ? mouse_bit_right : 0u) |
           ((state & SDL_BUTTON_MMASK) ? mouse_bit_middle : 0u);
}

bool mouse_button_message(const SDL_MouseButtonEvent& button, const GameWindow& window,
                          Message& out) {
    const bool down = button.state == SDL_PRESSED;
    MessageId id;
    switch (button.button) {
        case SDL_BUTTON_LEFT:
            id = down ? (button.clicks >= 2 ? msg_lbutton_dblclk : msg_lbutton_down)
                      : msg_lbutton_up;
            break;
        case SDL_BUTTON_RIGHT:
            id = down ? msg_rbutton_down : msg_rbutton_up;
            break;
        case SDL_BUTTON_MIDDLE:
            id = down ? msg_mbutton_down : msg_mbutton_up;
            break;
        default:
            return false;
    }
    int x = button.x;
    int y = button.y;
    window.to_pixels(x, y);
    out = mouse_message(id, buttons_held(SDL_GetMouseState(nullptr, nullptr)), x, y);
    return true;
}

// The window shows what was drawn last only as long as nothing covered or resized it.
bool picture_lost(Uint8 window_event) {
    switch (window_event) {
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            return true;
        default:
            return false;
    }
}

}  // namespace

int virtual_key(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    switch (key) {
        case SDLK_BACKSPACE:
            return vk_backspace;
        case SDLK_TAB:
            return vk_tab;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return vk_enter;
        case SDLK_ESCAPE:
            return vk_escape;
        case SDLK_SPACE:
            return vk_space;
        case SDLK_LEFT:
            return vk_left;
        case SDLK_UP:
            return vk_up;
        case SDLK_RIGHT:
            return vk_right;
        case SDLK_DOWN:
            return vk_down;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return vk_control;
        case SDLK_MINUS:
        case SDLK_KP_MINUS:
            return vk_minus;
        case SDLK_F3:
            return vk_f3;
        default:
            return -1;
    }
}

bool translate_event(const SDL_Event& event, GameWindow& window, Message& out) {
    switch (event.type) {
        case SDL_QUIT:
            out = close_message();
            return true;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                out = close_message();
                return true;
            }
            if (event.window.event == SDL_WINDOWEVENT_LEAVE) {
                out = {msg_mouse_leave, 0, 0};
                return true;
            }
            if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) handle_window_resize(window);
            if (picture_lost(event.window.event)) {
                out = {msg_paint, 0, 0};
                return true;
            }
            return false;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            int vk = virtual_key(event.key.keysym.sym);
            if (vk == vk_minus && (event.key.keysym.mod & KMOD_SHIFT)) vk = vk_underscore;
            if (vk < 0) return false;
            out = key_message(event.type == SDL_KEYDOWN, vk, event.key.repeat != 0);
            return true;
        }
        case SDL_MOUSEMOTION: {
            int x = event.motion.x;
            int y = event.motion.y;
            window.to_pixels(x, y);
            out = mouse_message(msg_mouse_move, buttons_held(event.motion.state), x, y);
            return true;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            return mouse_button_message(event.button, window, out);
        default:
            return false;
    }
}
