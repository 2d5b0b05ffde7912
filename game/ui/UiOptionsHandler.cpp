#include "game/ui/UiOptionsHandler.h"

#include "engine/core/Reflect.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/graphics/RenderDevice.h"
#include "engine/platform/ControllerData.h"
#include "engine/script/ScriptBinding.h"
#include "engine/script/ScriptValues.h"
#include "engine/sound/SoundFamily.h"
#include "engine/ui/UiElementBase.h"
#include "engine/ui/UiNavigator.h"
#include "engine/ui/UiScriptClasses.h"
#include "engine/ui/UiText.h"
#include "engine/ui/UiToggleImage.h"
#include "game/common/GameSupport.h"
#include "game/ui/UiSceneElements.h"

namespace Vandle {

using namespace Ostrel;

namespace {

constexpr const char* kCommand = "UiCommand";

// A check box is ticked while its first texture (the ticked look) shows.
bool IsTicked(const UiToggleImage& box) {
    return box.GetCurrentIndex() == 0;
}

void SetTicked(UiToggleImage& box, bool ticked) {
    box.SetCurrentTexture(ticked ? 0 : 1);
}

// Flips the box; the new state.
bool Toggle(UiToggleImage& box) {
    SetTicked(box, !IsTicked(box));
    return IsTicked(box);
}

void SendMute(SoundFamily family, bool muted) {
    if (CoreSystem* core = GameCore()) core->SendMessageSoundFamilyBool("MuteSounds", family, muted);
}

// A mode as its integer size.
int Pixels(float size) {
    return int(size);
}

}  // namespace

UiOptionsHandler::~UiOptionsHandler() {
    Subscribe(false);
}

void UiOptionsHandler::Attach(UiBase* owner) {
    m_owner = owner;
    FindElements();
    ReadResolutions();
    UpdateLabels();
    ReadSettings();
    Subscribe(true);
}

void UiOptionsHandler::FindElements() {
    constexpr const char* kHandler = "UiOptionsHandler";
    auto find = [this](const char* name) { return FindSceneElement(m_owner, kHandler, name); };
    auto box = [this](const char* name) {
        return FindSceneElementAs<UiToggleImage>(m_owner, kHandler, name, "UiToggleImage");
    };
    m_fullscreenButton = find("btn_0");
    m_muteSfxButton = find("btn_1");
    m_muteBgmButton = find("btn_2");
    m_resolutionButton = find("btn_res");
    m_fullscreenBox = box("cbx_0");
    m_muteSfxBox = box("cbx_1");
    m_muteBgmBox = box("cbx_2");
    m_lowerLabel = find("lbl_lo");
    m_currentLabel = find("lbl_mid");
    m_higherLabel = find("lbl_hi");
    m_lowerIndicator = find("lbl_lower");
    m_higherIndicator = find("lbl_higher");
}

// The device's list, and the entry of the size in use (-1 when absent).
void UiOptionsHandler::ReadResolutions() {
    m_resolutions.clear();
    m_resolutionIndex = -1;
    const RenderDevice* device = GetRenderDevice();
    if (device == nullptr) return;
    m_resolutions = device->GetDisplayModes();
    for (std::size_t i = 0; i < m_resolutions.size(); ++i) {
        if (Pixels(m_resolutions[i].x) == int(device->GetWidth()) &&
            Pixels(m_resolutions[i].y) == int(device->GetHeight())) {
            m_resolutionIndex = int(i);
            break;
        }
    }
}

// Unanswered questions read as windowed and not muted.
void UiOptionsHandler::ReadSettings() {
    CoreSystem* core = GameCore();
    bool windowed = true;
    bool effectsMuted = false;
    bool musicMuted = false;
    if (core) {
        core->SendMessageBoolPtr("QueryWindowed", &windowed);
        core->SendMessageSoundFamilyBoolPtr("QueryMuteSounds", SoundFamilies::Effects, &effectsMuted);
        core->SendMessageSoundFamilyBoolPtr("QueryMuteSounds", SoundFamilies::Music, &musicMuted);
    }
    if (m_fullscreenBox) SetTicked(*m_fullscreenBox, !windowed);
    if (m_muteSfxBox) SetTicked(*m_muteSfxBox, effectsMuted);
    if (m_muteBgmBox) SetTicked(*m_muteBgmBox, musicMuted);
}

void UiOptionsHandler::Subscribe(bool listen) {
    if (listen == m_listening) return;
    m_listening = listen;
    // A scene deletes its elements before it detaches its handlers: a button
    // its owner no longer holds is gone, and its commands with it.
    auto bind = [this, listen](const char* name, UiElementBase* button, const FunctionRef& function) {
        if (button == nullptr || m_owner == nullptr || m_owner->FindElement(name) != button) return;
        if (listen) {
            button->Listen(kCommand, function);
        } else {
            button->Unlisten(kCommand, function);
        }
    };
    bind("btn_0", m_fullscreenButton, MakeDelegate(this, &UiOptionsHandler::OnUiCommandFullscreen));
    bind("btn_1", m_muteSfxButton, MakeDelegate(this, &UiOptionsHandler::OnUiCommandMuteSfx));
    bind("btn_2", m_muteBgmButton, MakeDelegate(this, &UiOptionsHandler::OnUiCommandMuteBgm));
    bind("btn_res", m_resolutionButton, MakeDelegate(this, &UiOptionsHandler::OnUiCommandResolution));
    if (CoreSystem* core = GameCore()) {
        const FunctionRef time = MakeDelegate(this, &UiOptionsHandler::OnUiTimeUpdate);
        if (listen) {
            core->Listen("UiTimeUpdate", time);
        } else {
            core->Unlisten("UiTimeUpdate", time);
        }
    }
}

// The buttons' commands are removed too, from the buttons that still exist.
void UiOptionsHandler::Detach() {
    Subscribe(false);
}

std::unique_ptr<UiEventHandler> UiOptionsHandler::Clone() const {
    auto copy = std::make_unique<UiOptionsHandler>();
    copy->m_blinkPeriod = m_blinkPeriod;
    copy->m_blinkTimer = m_blinkTimer;
    copy->m_blinkOn = m_blinkOn;
    return copy;
}

// ---- toggles

void UiOptionsHandler::OnUiCommandFullscreen() {
    if (m_fullscreenBox == nullptr) return;
    const bool windowed = !Toggle(*m_fullscreenBox);
    if (CoreSystem* core = GameCore()) core->SendMessageBool("SetWindowed", windowed);
}

void UiOptionsHandler::OnUiCommandMuteSfx() {
    if (m_muteSfxBox == nullptr) return;
    const bool muted = Toggle(*m_muteSfxBox);
    SendMute(SoundFamilies::Effects, muted);
    SendMute(SoundFamilies::UserInterface, muted);
}

void UiOptionsHandler::OnUiCommandMuteBgm() {
    if (m_muteBgmBox == nullptr) return;
    SendMute(SoundFamilies::Music, Toggle(*m_muteBgmBox));
}

// ---- resolutions

void UiOptionsHandler::OnUiCommandResolution() {
    if (m_resolutionIndex < 0 || std::size_t(m_resolutionIndex) >= m_resolutions.size()) return;
    const Vec2& mode = m_resolutions[std::size_t(m_resolutionIndex)];
    const int width = Pixels(mode.x);
    const int height = Pixels(mode.y);
    const RenderDevice* device = GetRenderDevice();
    if (device && width == int(device->GetWidth()) && height == int(device->GetHeight())) return;
    if (CoreSystem* core = GameCore()) core->SendMessageInt2("SetResolution", width, height);
}

// At the ends the index stays and nothing sounds. Left from "not in the
// list" (-1) lands on the first entry: the labels then follow, so that the
// button applies the entry the current label shows.
void UiOptionsHandler::ChangeResolution(UiDirection direction) {
    const int count = int(m_resolutions.size());
    if (count == 0) return;
    if (direction == UiDirection::Left) {
        const int before = m_resolutionIndex;
        if (--m_resolutionIndex < 0) {
            m_resolutionIndex = 0;
            if (before != 0) UpdateLabels();
            return;
        }
        Stepped();
    } else if (direction == UiDirection::Right) {
        if (++m_resolutionIndex >= count) {
            m_resolutionIndex = count - 1;
            return;
        }
        Stepped();
    }
}

void UiOptionsHandler::Stepped() {
    std::string click = "new-menu-click-sfx";
    if (CoreSystem* core = GameCore()) core->SendMessageStringPtr("PlayUiSound", &click);
    UpdateLabels();
}

void UiOptionsHandler::UpdateLabels() {
    auto show = [this](UiElementBase* label, int index) {
        const bool exists = index >= 0 && index < int(m_resolutions.size());
        std::string text;
        if (exists) {
            const Vec2& mode = m_resolutions[std::size_t(index)];
            text = std::to_string(Pixels(mode.x)) + "x" + std::to_string(Pixels(mode.y));
        }
        if (label) SetElementText(label, text);
        return exists;
    };
    m_lowerAvailable = show(m_lowerLabel, m_resolutionIndex - 1);
    show(m_currentLabel, m_resolutionIndex);
    m_higherAvailable = show(m_higherLabel, m_resolutionIndex + 1);
    UpdateIndicators();
}

void UiOptionsHandler::UpdateIndicators() {
    const bool selected = IsResolutionSelected();
    if (m_lowerIndicator) m_lowerIndicator->SetVisible(selected && m_lowerAvailable && m_blinkOn);
    if (m_higherIndicator) m_higherIndicator->SetVisible(selected && m_higherAvailable && m_blinkOn);
}

bool UiOptionsHandler::IsResolutionSelected() const {
    return m_resolutionButton != nullptr && m_resolutionButton->IsSelected();
}

// ---- input and time

void UiOptionsHandler::OnKey(int key, bool pressed) {
    if (!pressed || !IsResolutionSelected()) return;
    bool found = false;
    const UiDirection direction = UiKeyToDirection(key, found);
    if (found) ChangeResolution(direction);
}

// One step per push: the stick must come back (or turn) before the next.
void UiOptionsHandler::OnController(ControllerData* data) {
    if (data == nullptr || !IsResolutionSelected()) return;
    bool found = false;
    const UiDirection direction = StickToDirection(*data, found);
    if (direction != UiDirection::None && direction != m_lastStick) ChangeResolution(direction);
    m_lastStick = direction;
}

// The indicators show at once when the button becomes selected; losing the
// selection hides them at the next blink toggle.
void UiOptionsHandler::OnUiTimeUpdate(float dt) {
    const bool selected = IsResolutionSelected();
    const bool justSelected = selected && !m_resolutionSelected;
    m_resolutionSelected = selected;
    if (justSelected) {
        m_blinkOn = true;
        UpdateIndicators();
    }
    m_blinkTimer += dt;
    if (m_blinkTimer > m_blinkPeriod) {
        m_blinkOn = !m_blinkOn;
        m_blinkTimer = 0.0f;
        UpdateIndicators();
    }
}

// ---- script binding

namespace {

ScriptOwnership* OptionsOwnership(void* object) {
    return &static_cast<UiOptionsHandler*>(object)->Ownership();
}

int SetBlink(lua_State* L);

constexpr ScriptMethod kOptionsMethods[] = {{"SetBlink", &SetBlink}};

}  // namespace

const ScriptClass kUiOptionsHandlerScript{"UiOptionsHandler", "missing uioptionshandler instance", kOptionsMethods,
                                          ScriptClass::kCreatable, nullptr, "Vandle.", &OptionsOwnership};

namespace {

int SetBlink(lua_State* L) {
    UiOptionsHandler& options = ScriptArgs(L).Self<UiOptionsHandler>(kUiOptionsHandlerScript);
    options.SetBlink(CheckScriptNumber(L, 2));
    return 0;
}

}  // namespace

}  // namespace Vandle

LV_REFLECT_CLASS(Vandle::UiOptionsHandler, [](Ostrel::MetaClass& m) {
    Ostrel::BindScriptClass(m, Vandle::kUiOptionsHandlerScript);
    Ostrel::RegisterUiHandlerClass(Vandle::kUiOptionsHandlerScript);
});
