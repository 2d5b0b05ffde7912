#include "engine/platform/SdlPadSource.h"

#include "engine/platform/QuitSignal.h"

#include <SDL.h>

#include <algorithm>
#include <array>

namespace Ostrel {

namespace {

// SDL rumble lasts at most about 65 s per call; a running rumble is sent again
// well before it would run out.
constexpr Uint32 kRumbleDurationMs = 60000;
constexpr Uint32 kRumbleRefreshMs = 30000;

struct ButtonBit {
    SDL_GameControllerButton button;
    u16 bit;
};
constexpr ButtonBit kButtons[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_UP, PadButton::kDpadUp},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PadButton::kDpadDown},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, PadButton::kDpadLeft},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PadButton::kDpadRight},
    {SDL_CONTROLLER_BUTTON_START, PadButton::kStart},
    {SDL_CONTROLLER_BUTTON_BACK, PadButton::kBack},
    {SDL_CONTROLLER_BUTTON_LEFTSTICK, PadButton::kLeftThumb},
    {SDL_CONTROLLER_BUTTON_RIGHTSTICK, PadButton::kRightThumb},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, PadButton::kLeftShoulder},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, PadButton::kRightShoulder},
    {SDL_CONTROLLER_BUTTON_A, PadButton::kA},
    {SDL_CONTROLLER_BUTTON_B, PadButton::kB},
    {SDL_CONTROLLER_BUTTON_X, PadButton::kX},
    {SDL_CONTROLLER_BUTTON_Y, PadButton::kY},
};

u8 TriggerValue(Sint16 axis) {
    return static_cast<u8>(std::clamp(int(axis), 0, 32767) * 255 / 32767);
}

s16 UpPositive(Sint16 axis) {
    return static_cast<s16>(std::min(-int(axis), 32767));
}

struct Slot {
    SDL_GameController* controller = nullptr;
    SDL_JoystickID id = -1;
    PadState last;
    u16 left = 0;
    u16 right = 0;
    Uint32 rumbleSentAt = 0;
};

PadState ReadPad(SDL_GameController* pad) {
    PadState state;
    for (const ButtonBit& entry : kButtons) {
        if (SDL_GameControllerGetButton(pad, entry.button)) state.buttons |= entry.bit;
    }
    state.leftTrigger = TriggerValue(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT));
    state.rightTrigger = TriggerValue(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
    state.thumbLX = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    state.thumbLY = UpPositive(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY));
    state.thumbRX = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTX);
    state.thumbRY = UpPositive(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_RIGHTY));
    return state;
}

}  // namespace

struct SdlPadSource::Impl {
    bool ready = false;
    std::array<Slot, PadSource::kMaxPads> slots;

    Slot* Find(int index) {
        if (index < 0 || index >= PadSource::kMaxPads) return nullptr;
        Slot& slot = slots[static_cast<size_t>(index)];
        return slot.controller ? &slot : nullptr;
    }

    bool IsOpen(SDL_JoystickID id) const {
        return std::any_of(slots.begin(), slots.end(), [id](const Slot& s) { return s.controller && s.id == id; });
    }

    void CloseDetached() {
        for (Slot& slot : slots) {
            if (slot.controller && !SDL_GameControllerGetAttached(slot.controller)) {
                SDL_GameControllerClose(slot.controller);
                slot = Slot{};
            }
        }
    }

    void OpenAttached() {
        const int count = SDL_NumJoysticks();
        for (int device = 0; device < count; ++device) {
            if (!SDL_IsGameController(device)) continue;
            if (IsOpen(SDL_JoystickGetDeviceInstanceID(device))) continue;
            auto freeSlot = std::find_if(slots.begin(), slots.end(), [](const Slot& s) { return !s.controller; });
            if (freeSlot == slots.end()) return;
            SDL_GameController* pad = SDL_GameControllerOpen(device);
            if (!pad) continue;
            *freeSlot = Slot{};
            freeSlot->controller = pad;
            freeSlot->id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
            // A new pad's first read counts as a fresh packet, so Input reports it.
            freeSlot->last.packetNumber = 1;
        }
    }
};

SdlPadSource::SdlPadSource() : m_impl(std::make_unique<Impl>()) {
    QuitSignal::Install();
    m_impl->ready = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
}

SdlPadSource::~SdlPadSource() {
    if (!m_impl->ready) return;
    for (Slot& slot : m_impl->slots) {
        if (slot.controller) SDL_GameControllerClose(slot.controller);
    }
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void SdlPadSource::Refresh() {
    if (!m_impl->ready) return;
    SDL_GameControllerUpdate();
    m_impl->CloseDetached();
    m_impl->OpenAttached();
}

bool SdlPadSource::GetState(int index, PadState& out) {
    Slot* slot = m_impl->Find(index);
    if (!slot) return false;
    PadState state = ReadPad(slot->controller);
    state.packetNumber = slot->last.packetNumber;
    if (!state.SameInputAs(slot->last)) ++state.packetNumber;
    slot->last = state;
    out = state;
    return true;
}

void SdlPadSource::SetVibration(int index, u16 left, u16 right) {
    Slot* slot = m_impl->Find(index);
    if (!slot) return;
    const Uint32 now = SDL_GetTicks();
    const bool changed = left != slot->left || right != slot->right;
    const bool running = left != 0 || right != 0;
    if (!changed && !(running && now - slot->rumbleSentAt >= kRumbleRefreshMs)) return;
    // A pad without motors answers -1; that is fine.
    SDL_GameControllerRumble(slot->controller, left, right, running ? kRumbleDurationMs : 0);
    slot->left = left;
    slot->right = right;
    slot->rumbleSentAt = now;
}

}  // namespace Ostrel
