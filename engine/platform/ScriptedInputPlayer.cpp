#include "engine/platform/ScriptedInputPlayer.h"

#include "engine/base/Log.h"
#include "engine/platform/VirtualKeys.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace Ostrel {

namespace {

SDL_Joystick* AsJoystick(void* pad) {
    return static_cast<SDL_Joystick*>(pad);
}

int PadButtonOf(int code) {
    switch (code) {
    case 255: return SDL_CONTROLLER_BUTTON_DPAD_UP;
    case 256: return SDL_CONTROLLER_BUTTON_DPAD_DOWN;
    case 257: return SDL_CONTROLLER_BUTTON_DPAD_LEFT;
    case 258: return SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
    case 263: return SDL_CONTROLLER_BUTTON_START;
    case 264: return SDL_CONTROLLER_BUTTON_BACK;
    case 265: return SDL_CONTROLLER_BUTTON_LEFTSTICK;
    case 266: return SDL_CONTROLLER_BUTTON_RIGHTSTICK;
    case 267: return SDL_CONTROLLER_BUTTON_LEFTSHOULDER;
    case 268: return SDL_CONTROLLER_BUTTON_RIGHTSHOULDER;
    case 271: return SDL_CONTROLLER_BUTTON_A;
    case 272: return SDL_CONTROLLER_BUTTON_B;
    case 273: return SDL_CONTROLLER_BUTTON_X;
    case 274: return SDL_CONTROLLER_BUTTON_Y;
    default: return SDL_CONTROLLER_BUTTON_INVALID;
    }
}

// A virtual controller's trigger axis spans the full joystick range, and
// SDL maps it onto 0..32767: -32768 is released.
constexpr Sint16 kTriggerReleased = -32768;

Sint16 DownPositive(int up) {
    return static_cast<Sint16>(std::clamp(-up, -32768, 32767));
}

}  // namespace

std::unique_ptr<ScriptedInputPlayer> ScriptedInputPlayer::Load(const std::string& path, unsigned windowId,
                                                               std::vector<std::string>& errors) {
    const size_t before = errors.size();
    InputScript script = InputScript::Load(path, errors);
    if (script.Empty() && errors.size() > before && errors[before].find("cannot read") != std::string::npos) {
        return nullptr;
    }
    return std::make_unique<ScriptedInputPlayer>(std::move(script), windowId);
}

ScriptedInputPlayer::ScriptedInputPlayer(InputScript script, unsigned windowId)
    : m_script(std::move(script)), m_windowId(windowId) {
    if (m_script.UsesPad()) AttachPad();
}

ScriptedInputPlayer::~ScriptedInputPlayer() {
    if (m_pad) SDL_JoystickClose(AsJoystick(m_pad));
    if (m_padDevice >= 0) SDL_JoystickDetachVirtual(m_padDevice);
    if (m_joystickStarted) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void ScriptedInputPlayer::AttachPad() {
    // A headless run never has the input focus; the virtual pad must still count.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        LogMessagef("Input script: cannot start SDL game controllers: %s; pad lines ignored\n", SDL_GetError());
        return;
    }
    m_joystickStarted = true;
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "Scripted pad";
    m_padDevice = SDL_JoystickAttachVirtualEx(&desc);
    SDL_Joystick* pad = m_padDevice >= 0 ? SDL_JoystickOpen(m_padDevice) : nullptr;
    if (!pad) {
        LogMessagef("Input script: cannot attach a virtual pad: %s; pad lines ignored\n", SDL_GetError());
        return;
    }
    m_pad = pad;
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT, kTriggerReleased);
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, kTriggerReleased);
}

void ScriptedInputPlayer::Inject(long frame) {
    for (const ScriptedEvent& event : m_script.TakeUntil(frame)) Push(event);
}

void ScriptedInputPlayer::Push(const ScriptedEvent& event) {
    using Kind = ScriptedEvent::Kind;
    switch (event.kind) {
    case Kind::Key:
        PushKey(event);
        break;
    case Kind::Text:
        PushText(event);
        break;
    case Kind::MouseMove:
    case Kind::MouseButton:
    case Kind::MouseWheel:
        PushMouse(event);
        break;
    case Kind::MouseItem:
        PushMouseToItem(event);
        break;
    case Kind::PadButton:
    case Kind::PadStick:
        SetPad(event);
        break;
    case Kind::Close: {
        SDL_Event close;
        SDL_zero(close);
        close.type = SDL_WINDOWEVENT;
        close.window.event = SDL_WINDOWEVENT_CLOSE;
        close.window.windowID = m_windowId;
        SDL_PushEvent(&close);
        break;
    }
    case Kind::Drop: {
        // One file dropped on its own; the window system frees the copy.
        SDL_Event drop;
        SDL_zero(drop);
        drop.type = SDL_DROPFILE;
        drop.drop.file = SDL_strdup(event.text.c_str());
        drop.drop.windowID = m_windowId;
        if (SDL_PushEvent(&drop) != 1) SDL_free(drop.drop.file);
        break;
    }
    case Kind::Resize:
        // The window itself is resized; SDL reports the new size with the
        // same event a user's drag of the frame produces.
        if (SDL_Window* window = SDL_GetWindowFromID(m_windowId)) SDL_SetWindowSize(window, event.x, event.y);
        break;
    }
}

void ScriptedInputPlayer::PushKey(const ScriptedEvent& event) {
    if (event.code == Vk::kLeftButton || event.code == Vk::kRightButton) {
        ScriptedEvent button = event;
        button.kind = ScriptedEvent::Kind::MouseButton;
        PushMouse(button);
        return;
    }
    const int scancode = ScancodeFromVirtualKey(event.code);
    if (scancode == 0) {
        LogMessagef("Input script line %d: no key produces code %d, skipped\n", event.line, event.code);
        return;
    }
    SDL_Event key;
    SDL_zero(key);
    key.type = event.down ? SDL_KEYDOWN : SDL_KEYUP;
    key.key.windowID = m_windowId;
    key.key.state = event.down ? SDL_PRESSED : SDL_RELEASED;
    key.key.keysym.scancode = static_cast<SDL_Scancode>(scancode);
    key.key.keysym.sym = SDL_GetKeyFromScancode(key.key.keysym.scancode);
    SDL_PushEvent(&key);
}

void ScriptedInputPlayer::PushText(const ScriptedEvent& event) {
    SDL_Event text;
    SDL_zero(text);
    text.type = SDL_TEXTINPUT;
    text.text.windowID = m_windowId;
    // SDL's text event holds at most 31 bytes; longer text goes in pieces.
    const std::string& all = event.text;
    for (size_t start = 0; start < all.size();) {
        size_t length = std::min<size_t>(all.size() - start, SDL_TEXTINPUTEVENT_TEXT_SIZE - 1);
        // Do not split a UTF-8 sequence.
        while (start + length < all.size() && (static_cast<unsigned char>(all[start + length]) & 0xC0) == 0x80) {
            --length;
        }
        std::memset(text.text.text, 0, sizeof(text.text.text));
        std::memcpy(text.text.text, all.data() + start, length);
        SDL_PushEvent(&text);
        start += length;
    }
}

void ScriptedInputPlayer::PushMouseToItem(const ScriptedEvent& event) {
    int x = 0, y = 0;
    if (!m_locator || !m_locator(event.text, x, y)) {
        LogMessagef("Input script line %d: no place '%s' on the window, skipped\n", event.line, event.text.c_str());
        return;
    }
    ScriptedEvent move = event;
    move.kind = ScriptedEvent::Kind::MouseMove;
    move.x = x, move.y = y, move.dx = 0, move.dy = 0;
    PushMouse(move);
}

void ScriptedInputPlayer::PushMouse(const ScriptedEvent& event) {
    SDL_Event mouse;
    SDL_zero(mouse);
    using Kind = ScriptedEvent::Kind;
    if (event.kind == Kind::MouseMove) {
        mouse.type = SDL_MOUSEMOTION;
        mouse.motion.windowID = m_windowId;
        mouse.motion.x = event.x;
        mouse.motion.y = event.y;
        mouse.motion.xrel = event.dx;
        mouse.motion.yrel = event.dy;
    } else if (event.kind == Kind::MouseButton) {
        mouse.type = event.down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        mouse.button.windowID = m_windowId;
        mouse.button.button = event.code == 1 ? SDL_BUTTON_LEFT : SDL_BUTTON_RIGHT;
        mouse.button.state = event.down ? SDL_PRESSED : SDL_RELEASED;
        mouse.button.clicks = 1;
    } else {
        mouse.type = SDL_MOUSEWHEEL;
        mouse.wheel.windowID = m_windowId;
        mouse.wheel.y = event.x;
        mouse.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    }
    SDL_PushEvent(&mouse);
}

void ScriptedInputPlayer::SetPad(const ScriptedEvent& event) {
    SDL_Joystick* pad = AsJoystick(m_pad);
    if (!pad) return;
    if (event.kind == ScriptedEvent::Kind::PadStick) {
        const bool left = event.code == 0;
        SDL_JoystickSetVirtualAxis(pad, left ? SDL_CONTROLLER_AXIS_LEFTX : SDL_CONTROLLER_AXIS_RIGHTX,
                                   static_cast<Sint16>(event.x));
        SDL_JoystickSetVirtualAxis(pad, left ? SDL_CONTROLLER_AXIS_LEFTY : SDL_CONTROLLER_AXIS_RIGHTY,
                                   DownPositive(event.y));
        return;
    }
    if (event.code == 269 || event.code == 270) {
        const auto axis = event.code == 269 ? SDL_CONTROLLER_AXIS_TRIGGERLEFT : SDL_CONTROLLER_AXIS_TRIGGERRIGHT;
        SDL_JoystickSetVirtualAxis(pad, axis, event.down ? Sint16(32767) : kTriggerReleased);
        return;
    }
    const int button = PadButtonOf(event.code);
    if (button != SDL_CONTROLLER_BUTTON_INVALID) {
        SDL_JoystickSetVirtualButton(pad, button, event.down ? SDL_PRESSED : SDL_RELEASED);
    }
}

}  // namespace Ostrel
