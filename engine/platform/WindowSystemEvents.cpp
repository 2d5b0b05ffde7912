// The window system's event pump: SDL events turned into the cases of a
// window procedure. Keyboard and mouse become Input's raw packets.

#include "engine/platform/Input.h"
#include "engine/platform/PlatformMessages.h"
#include "engine/platform/VirtualKeys.h"
#include "engine/platform/WindowSystem.h"

#include <SDL.h>

#include <string>
#include <vector>

namespace Ostrel {

namespace {

// Context bit and repeat count of a system-key message.
constexpr long kSysKeyLParam = 0x20000001;

// Decodes UTF-8 text into code points; a malformed byte is skipped.
std::vector<unsigned> CodePoints(const char* text) {
    std::vector<unsigned> points;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        unsigned c = *p;
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0) {
            ++p;
            continue;
        }
        unsigned point = extra == 0 ? c : c & (0x3Fu >> extra);
        ++p;
        bool ok = true;
        for (int i = 0; i < extra; ++i, ++p) {
            if ((*p & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            point = (point << 6) | (*p & 0x3Fu);
        }
        if (ok) points.push_back(point);
    }
    return points;
}

void SendKey(const SDL_KeyboardEvent& key, PlatformMessages& messages) {
    const int vk = VirtualKeyFromScancode(key.keysym.scancode);
    if (vk == 0) return;
    const bool down = key.type == SDL_KEYDOWN;
    if (down && (vk == Vk::kF10 || (key.keysym.mod & KMOD_ALT))) {
        // A system key. Alt alone and F10 would open the system menu: swallowed.
        if (vk != Vk::kMenu && vk != Vk::kF10) {
            messages.WindowMessage(WindowMessageId::kSysKeyDown, unsigned(vk), kSysKeyLParam);
        }
    }
    if (Input* input = Input::Current()) input->OnRawKeyboard({vk, !down});
}

void SendMouseButton(const SDL_MouseButtonEvent& button) {
    RawMousePacket packet;
    const bool down = button.type == SDL_MOUSEBUTTONDOWN;
    if (button.button == SDL_BUTTON_LEFT) {
        packet.buttonFlags = down ? RawMousePacket::kLeftDown : RawMousePacket::kLeftUp;
    } else if (button.button == SDL_BUTTON_RIGHT) {
        packet.buttonFlags = down ? RawMousePacket::kRightDown : RawMousePacket::kRightUp;
    } else {
        return;  // the middle and extra buttons are not used
    }
    if (Input* input = Input::Current()) input->OnRawMouse(packet);
}

void SendMouseWheel(const SDL_MouseWheelEvent& wheel) {
    int notches = wheel.y;
    if (wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
    if (notches == 0) return;
    RawMousePacket packet;
    packet.buttonFlags = RawMousePacket::kWheel;
    packet.buttonData = static_cast<s16>(notches * 120);
    if (Input* input = Input::Current()) input->OnRawMouse(packet);
}

void SendMouseMotion(const SDL_MouseMotionEvent& motion) {
    Input* input = Input::Current();
    if (!input) return;
    RawMousePacket packet;
    packet.lastX = motion.xrel;
    packet.lastY = motion.yrel;
    input->OnRawMouse(packet);
    input->OnMouseMove(motion.x, motion.y);
}

}  // namespace

void WindowSystem::PumpEvents() {
    SDL_Event event;
    m_pendingWidth = m_pendingHeight = 0;
    while (SDL_PollEvent(&event)) {
        if (m_rawHook) m_rawHook(&event);
        HandleEvent(&event);
    }
    // A drag of the frame reports many sizes a frame; the renderer is reset
    // for the last one only.
    if (m_pendingWidth > 0) OnResize(m_pendingWidth, m_pendingHeight);
}

void WindowSystem::HandleEvent(const void* sdlEvent) {
    const SDL_Event& event = *static_cast<const SDL_Event*>(sdlEvent);
    switch (event.type) {
    case SDL_QUIT:
        OnClose();
        break;
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            OnClose();
            break;
        case SDL_WINDOWEVENT_MOVED:
            OnMove(event.window.data1, event.window.data2);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            m_pendingWidth = event.window.data1;
            m_pendingHeight = event.window.data2;
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            m_messages->SetFocus();
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            m_messages->LostFocus();
            break;
        case SDL_WINDOWEVENT_ENTER:
            OnSetCursor();
            break;
        default:
            break;
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        SendKey(event.key, *m_messages);
        break;
    case SDL_TEXTINPUT:
        for (unsigned point : CodePoints(event.text.text)) {
            // The handled flag of a character message is not consulted.
            m_messages->WindowMessage(WindowMessageId::kChar, point, 1);
        }
        break;
    case SDL_MOUSEMOTION:
        SendMouseMotion(event.motion);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        SendMouseButton(event.button);
        break;
    case SDL_MOUSEWHEEL:
        SendMouseWheel(event.wheel);
        break;
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
        m_messages->DeviceChange();
        break;
    case SDL_DROPBEGIN:
        m_inDrop = true;
        m_dropSent = false;
        break;
    case SDL_DROPFILE: {
        // A file outside a begin/complete group is a drop of its own.
        const bool first = !m_inDrop || !m_dropSent;
        m_dropSent = true;
        if (event.drop.file) {
            OnDropFile(event.drop.file, first);
            SDL_free(event.drop.file);
        }
        break;
    }
    case SDL_DROPTEXT:
        SDL_free(event.drop.file);
        break;
    case SDL_DROPCOMPLETE:
        m_inDrop = false;
        m_dropSent = false;
        break;
    default:
        break;
    }
}

}  // namespace Ostrel
