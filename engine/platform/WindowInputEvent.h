#pragma once
// The keyboard, mouse and focus part of one window event, in our own terms,
// for overlays that take their input straight from the window's events (the
// tools' panels see every event through WindowSystem::SetRawEventHook before
// the window system handles it). Keys are virtual-key codes (VirtualKeys.h).

#include <string>

namespace Ostrel {

struct WindowInputEvent {
    enum class Kind { None, MouseMove, MouseButton, MouseWheel, Key, Text, FocusGained, FocusLost };
    enum Button { kLeft = 0, kRight = 1, kMiddle = 2 };

    Kind kind = Kind::None;
    int x = 0;  // MouseMove: cursor in client pixels
    int y = 0;
    int button = kLeft;  // MouseButton
    bool down = false;   // MouseButton, Key
    float wheelX = 0.0f;  // MouseWheel: notches, up and right positive
    float wheelY = 0.0f;
    int virtualKey = 0;  // Key; 0 for keys without a code
    bool shift = false;  // Key: modifiers held with the key
    bool ctrl = false;
    bool alt = false;
    std::string text;  // Text: UTF-8
};

// Decodes a const SDL_Event*; other events (and null) give Kind::None.
WindowInputEvent DecodeWindowInputEvent(const void* sdlEvent);

}  // namespace Ostrel
