#pragma once
// The options screen's behaviour, attached by the options scene's script to
// its scene. It binds to twelve named elements: the buttons "btn_0" (full
// screen), "btn_1" (mute effects), "btn_2" (mute music) with their check
// boxes "cbx_0".."cbx_2" (toggle images: texture 0 ticked, 1 unticked), the
// resolution button "btn_res", the labels "lbl_lo", "lbl_mid", "lbl_hi"
// showing the resolutions below, at and above the chosen one, and the
// indicators "lbl_lower" and "lbl_higher" that blink while "btn_res" is
// selected and a lower or higher resolution exists.
//
// It reads the settings by asking ("QueryWindowed", "QueryMuteSounds"; an
// unanswered question reads as windowed and not muted) and changes them by
// sending "SetWindowed", "MuteSounds" (muting effects also mutes the UI
// sounds) and "SetResolution". Left and Right, by key or stick, step through
// the render device's resolutions (ascending) while "btn_res" is selected;
// its command applies the one shown. A stick held in one direction steps
// once. The scene's navigator must give "btn_res" no Left or Right
// neighbour, or the navigation takes the selection away first.
//
// A missing element disables what needs it. The buttons' commands and the
// time update are listened to between Attach and Detach.

#include "engine/core/ScriptEnums.h"
#include "engine/core/Vec2.h"
#include "engine/ui/UiEventHandler.h"

#include <string>
#include <vector>

namespace Ostrel {
class UiElementBase;
class UiToggleImage;
}  // namespace Ostrel

namespace Vandle {

class UiOptionsHandler : public Ostrel::UiEventHandler {
public:
    UiOptionsHandler() = default;
    ~UiOptionsHandler() override;

    void Attach(Ostrel::UiBase* owner) override;
    void Detach() override;
    // Copies the blink period and phase; everything else starts afresh.
    std::unique_ptr<Ostrel::UiEventHandler> Clone() const override;
    void SetActive(bool active) override { m_active = active; }
    void OnKey(int key, bool pressed) override;
    void OnController(Ostrel::ControllerData* data) override;

    void SetBlink(float seconds) { m_blinkPeriod = seconds; }
    float GetBlink() const { return m_blinkPeriod; }
    int GetResolutionIndex() const { return m_resolutionIndex; }
    const std::vector<Ostrel::Vec2>& GetResolutions() const { return m_resolutions; }

    void OnUiCommandFullscreen();
    void OnUiCommandMuteSfx();
    void OnUiCommandMuteBgm();
    void OnUiCommandResolution();
    void OnUiTimeUpdate(float dt);

    // Steps the chosen resolution Left or Right (other directions do
    // nothing); the new one is applied only by the resolution button.
    void ChangeResolution(Ostrel::UiDirection direction);

private:
    void FindElements();
    void ReadResolutions();
    void ReadSettings();
    void Subscribe(bool listen);
    void UpdateLabels();
    void UpdateIndicators();
    bool IsResolutionSelected() const;
    // The chosen resolution changed: a click and the labels.
    void Stepped();

    Ostrel::UiBase* m_owner = nullptr;
    bool m_active = true;
    Ostrel::UiElementBase* m_fullscreenButton = nullptr;
    Ostrel::UiElementBase* m_muteSfxButton = nullptr;
    Ostrel::UiElementBase* m_muteBgmButton = nullptr;
    Ostrel::UiElementBase* m_resolutionButton = nullptr;
    Ostrel::UiToggleImage* m_fullscreenBox = nullptr;
    Ostrel::UiToggleImage* m_muteSfxBox = nullptr;
    Ostrel::UiToggleImage* m_muteBgmBox = nullptr;
    Ostrel::UiElementBase* m_lowerLabel = nullptr;
    Ostrel::UiElementBase* m_currentLabel = nullptr;
    Ostrel::UiElementBase* m_higherLabel = nullptr;
    Ostrel::UiElementBase* m_lowerIndicator = nullptr;
    Ostrel::UiElementBase* m_higherIndicator = nullptr;
    bool m_lowerAvailable = false;
    bool m_higherAvailable = false;
    bool m_resolutionSelected = false;
    std::vector<Ostrel::Vec2> m_resolutions;
    int m_resolutionIndex = -1;  // -1: the size in use is not in the list
    float m_blinkPeriod = 0.5f;
    float m_blinkTimer = 0.0f;
    bool m_blinkOn = true;
    Ostrel::UiDirection m_lastStick = Ostrel::UiDirection::None;
    bool m_listening = false;
};

}  // namespace Vandle
