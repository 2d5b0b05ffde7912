#include "engine/platform/WindowInputEvent.h"

#include "engine/platform/VirtualKeys.h"

#include <SDL.h>

#include <cstring>

namespace Ostrel {

namespace {

WindowInputEvent DecodeKey(const SDL_KeyboardEvent& key) {
    WindowInputEvent out;
    out.kind = WindowInputEvent::Kind::Key;
    out.down = key.type == SDL_KEYDOWN;
    out.virtualKey = VirtualKeyFromScancode(key.keysym.scancode);
    out.shift = (key.keysym.mod & KMOD_SHIFT) != 0;
    out.ctrl = (key.keysym.mod & KMOD_CTRL) != 0;
    out.alt = (key.keysym.mod & KMOD_ALT) != 0;
    return out;
}

WindowInputEvent DecodeButton(const SDL_MouseButtonEvent& button) {
    WindowInputEvent out;
    switch (button.button) {
    case SDL_BUTTON_LEFT: out.button = WindowInputEvent::kLeft; break;
    case SDL_BUTTON_RIGHT: out.button = WindowInputEvent::kRight; break;
    case SDL_BUTTON_MIDDLE: out.button = WindowInputEvent::kMiddle; break;
    default: return out;  // extra buttons: none of ours
    }
    out.kind = WindowInputEvent::Kind::MouseButton;
    out.down = button.type == SDL_MOUSEBUTTONDOWN;
    out.x = button.x;
    out.y = button.y;
    return out;
}

WindowInputEvent DecodeWindowEvent(const SDL_WindowEvent& window) {
    WindowInputEvent out;
    if (window.event == SDL_WINDOWEVENT_FOCUS_GAINED) out.kind = WindowInputEvent::Kind::FocusGained;
    if (window.event == SDL_WINDOWEVENT_FOCUS_LOST) out.kind = WindowInputEvent::Kind::FocusLost;
    return out;
}

}  // namespace

WindowInputEvent DecodeWindowInputEvent(const void* sdlEvent) {
    if (!sdlEvent) return {};
    const SDL_Event& event = *static_cast<const SDL_Event*>(sdlEvent);
    WindowInputEvent out;
    switch (event.type) {
    case SDL_MOUSEMOTION:
        out.kind = WindowInputEvent::Kind::MouseMove;
        out.x = event.motion.x;
        out.y = event.motion.y;
        return out;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        return DecodeButton(event.button);
    case SDL_MOUSEWHEEL: {
        const float flip = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1.0f : 1.0f;
        out.kind = WindowInputEvent::Kind::MouseWheel;
        out.wheelX = flip * float(event.wheel.x);
        out.wheelY = flip * float(event.wheel.y);
        return out;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        return DecodeKey(event.key);
    case SDL_TEXTINPUT:
        out.kind = WindowInputEvent::Kind::Text;
        out.text.assign(event.text.text, strnlen(event.text.text, sizeof(event.text.text)));
        return out;
    case SDL_WINDOWEVENT:
        return DecodeWindowEvent(event.window);
    default:
        return out;
    }
}

}  // namespace Ostrel
