// Message stand-in: SDL events become Win32-shaped messages, one per call.
#include "platform/messages.h"

#include <SDL.h>

#include <deque>

namespace {
std::deque<Message> queued;
bool ignoreEvents = false;

// Windows virtual-key code for an SDL key, 0 when there is none.
uintptr_t virtualKey(SDL_Keycode key)
{
    if (key >= 'a' && key <= 'z') return static_cast<uintptr_t>(key - 'a' + 'A');
    if (key >= '0' && key <= '9') return static_cast<uintptr_t>(key);
    if (key >= SDLK_F1 && key <= SDLK_F12) return static_cast<uintptr_t>(112 + (key - SDLK_F1));
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return static_cast<uintptr_t>(97 + (key - SDLK_KP_1));
    switch (key) {
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_BACKSPACE: return 8;
    case SDLK_TAB: return 9;
    case SDLK_RETURN: return 13;
    case SDLK_PAUSE: return 19;
    case SDLK_PAGEUP: return 33;
    case SDLK_PAGEDOWN: return 34;
    case SDLK_END: return 35;
    case SDLK_HOME: return 36;
    case SDLK_INSERT: return 45;
    case SDLK_DELETE: return 46;
    case SDLK_PRINTSCREEN: return 44;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return 16;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return 17;
    case SDLK_LALT:
    case SDLK_RALT: return 18;
    case SDLK_CAPSLOCK: return 20;
    case SDLK_LGUI: return 91;
    case SDLK_RGUI: return 92;
    case SDLK_APPLICATION: return 93;
    case SDLK_NUMLOCKCLEAR: return 144;
    case SDLK_SCROLLLOCK: return 145;
    // The keypad: digits 96 to 105, then its operators; its Enter is Return, as on Windows.
    case SDLK_KP_0: return 96;
    case SDLK_KP_MULTIPLY: return 106;
    case SDLK_KP_PLUS: return 107;
    case SDLK_KP_MINUS: return 109;
    case SDLK_KP_PERIOD: return 110;
    case SDLK_KP_DIVIDE: return 111;
    case SDLK_KP_ENTER: return 13;
    // Punctuation by its place on a US keyboard, as Windows' OEM codes number it.
    case SDLK_SEMICOLON: return 186;
    case SDLK_EQUALS: return 187;
    case SDLK_COMMA: return 188;
    case SDLK_MINUS: return 189;
    case SDLK_PERIOD: return 190;
    case SDLK_SLASH: return 191;
    case SDLK_BACKQUOTE: return 192;
    case SDLK_LEFTBRACKET: return 219;
    case SDLK_BACKSLASH: return 220;
    case SDLK_RIGHTBRACKET: return 221;
    case SDLK_QUOTE: return 222;
    default: return 0;
    }
}

bool translate(const SDL_Event& event, Message& out)
{
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        uintptr_t key = virtualKey(event.key.keysym.sym);
        if (key == 0 || key > 255) return false;
        out = {event.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP, key, 0};
        return true;
    }
    case SDL_QUIT:
        out = {WM_CLOSE, 0, 0};
        return true;
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE: out = {WM_CLOSE, 0, 0}; return true;
        // A hidden window (unmapped, as X11 iconifies without a window manager) has no
        // picture to draw, just like a minimised one.
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_HIDDEN: out = {WM_ACTIVATE, uintptr_t{1} << 16, 0}; return true;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_FOCUS_GAINED: out = {WM_ACTIVATE, 0, 0}; return true;
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
            auto w = static_cast<uint32_t>(event.window.data1) & 0xFFFF;
            auto h = static_cast<uint32_t>(event.window.data2) & 0xFFFF;
            out = {WM_SIZE, 0, static_cast<intptr_t>(w | (h << 16))};
            return true;
        }
        default: return false;
        }
    default: return false;
    }
}
}  // namespace

bool peekMessage(Message& message)
{
    if (!queued.empty()) {
        message = queued.front();
        queued.pop_front();
        return true;
    }
    if (ignoreEvents || SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (translate(event, message)) return true;
    }
    return false;
}

void postQuitMessage(int exitCode) { queued.push_back({WM_QUIT, static_cast<uintptr_t>(exitCode), 0}); }
void postMessage(const Message& message) { queued.push_back(message); }
void clearMessages() { queued.clear(); }
void setIgnoreEvents(bool ignore) { ignoreEvents = ignore; }
