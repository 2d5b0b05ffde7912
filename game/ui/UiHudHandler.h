#pragma once
// The in-game heads-up display's behaviour, attached by the HUD scene's
// script to its scene. It finds the HUD's elements by name (any may be
// missing: each reaction skips what it lacks) and drives them from global
// game messages: the player's health and energy bars, boss bars named by
// "BossHealthChanged", the room counter (polled every 0.5 s), the level
// title during the camera fly-over, the checkpoint notice, and the scene
// changes on defeat, victory and level loading. "LostFocus" presses Escape
// for the player (pausing the game) unless a fly-over runs or the handler
// is inactive.
//
// Elements appear and disappear through 0.25 s alpha fades that the handler
// steps on "UiTimeUpdate" (HudFade): at most one fade per element; a new
// fade of an element already fading continues from its present alpha.
//
// It listens between Attach and Detach, whether or not its scene is on top.

#include "engine/base/Types.h"
#include "engine/core/Vec3.h"
#include "engine/platform/SubscriptionList.h"
#include "engine/ui/UiEventHandler.h"

#include <map>
#include <string>
#include <vector>

namespace Ostrel {
class CoreSystem;
class UiElementBase;
}  // namespace Ostrel

namespace Vandle {

class UiEnergyBar;

// One running alpha fade of an element. A default record is done; one made
// from values is not.
struct HudFade {
    HudFade() = default;
    HudFade(Ostrel::UiElementBase* element, float from, float to, float duration);

    // Moves the element's alpha one step toward the target (see the .cpp).
    void Step(float dt);

    Ostrel::UiElementBase* element = nullptr;
    float start = 0.0f;
    float target = 0.0f;
    bool done = true;
    float duration = 0.0f;
    float rate = 0.0f;  // alpha per second
};

class UiHudHandler : public Ostrel::UiEventHandler {
public:
    static constexpr float kFadeTime = 0.25f;
    static constexpr float kRoomPollPeriod = 0.5f;
    // Health fractions below this count as dead; alphas below it as hidden.
    static constexpr float kEpsilon = 0.001f;

    UiHudHandler() = default;
    ~UiHudHandler() override;

    // Finds the elements in the owner, asks for the room count, shows the
    // counter when a player exists, then listens to the twelve messages.
    void Attach(Ostrel::UiBase* owner) override;
    // Hides every element found, then fades the health bar in.
    void Start() override;
    void Detach() override;
    // Carries over the loading screen name and the checkpoint display time.
    std::unique_ptr<Ostrel::UiEventHandler> Clone() const override;
    void SetActive(bool active) override { m_active = active; }

    void SetLoadingScreenName(const std::string& name) { m_loadingScreenName = name; }
    void SetCheckpointDisplayTime(float seconds) { m_checkpointDisplayTime = seconds; }
    const std::string& GetLoadingScreenName() const { return m_loadingScreenName; }
    float GetCheckpointDisplayTime() const { return m_checkpointDisplayTime; }

    // Starts (or redirects) the element's fade; see the file comment.
    void FadeElement(Ostrel::UiElementBase* element, float from, float to, float duration);
    const std::map<Ostrel::UiElementBase*, HudFade>& GetFades() const { return m_fades; }
    int GetHighestRoom() const { return m_highestRoom; }
    int GetRoomCount() const { return m_roomCount; }

    void OnPlayerHealthChanged(float fraction);
    void OnGameLost();
    void OnGameComplete();
    void OnPlayerAttackChanged(std::string* attack);
    void OnPlayerEnergyChanged(float fraction);
    void OnBossHealthChanged(std::string* barName, float fraction);
    void OnLevelLoadStarted();
    void OnUiTimeUpdate(float dt);
    void OnCameraFlyOver(Ostrel::Vec3* points, int count);
    void OnCameraPathFinished();
    void OnCheckpointUpdated(Ostrel::Vec3 position);
    void OnLostFocus();

private:
    void FindElements();
    void Subscribe(bool listen);
    void ChangeScene(const std::string& name, int method);
    void FadeIn(Ostrel::UiElementBase* element, float alpha = 1.0f);
    void FadeOut(Ostrel::UiElementBase* element, float alpha = 1.0f);
    void UpdateFades(float dt);
    void UpdateRoomProgress();
    void ShowRoomProgress(bool show);
    void ShowCheckpointText(bool show);

    Ostrel::UiBase* m_owner = nullptr;
    bool m_active = true;
    UiEnergyBar* m_healthBar = nullptr;
    UiEnergyBar* m_energyBar = nullptr;
    UiEnergyBar* m_bossBars[4] = {};
    Ostrel::UiElementBase* m_roomBackground = nullptr;
    Ostrel::UiElementBase* m_roomLabel = nullptr;
    Ostrel::UiElementBase* m_roomProgress = nullptr;
    int m_highestRoom = 1;
    int m_roomCount = 0;
    float m_roomPollTimer = 0.0f;
    Ostrel::u32 m_playerId = 0;
    std::vector<Ostrel::UiElementBase*> m_elements;  // in table order; null when missing
    std::string m_loadingScreenName = "level-loading-ui";
    Ostrel::UiElementBase* m_levelName = nullptr;
    Ostrel::UiElementBase* m_titleBar = nullptr;
    Ostrel::UiElementBase* m_continue = nullptr;
    float m_checkpointDisplayTime = 0.5f;
    float m_checkpointTimer = 0.0f;
    bool m_flyOver = false;
    Ostrel::SubscriptionList m_globals;
    std::map<Ostrel::UiElementBase*, HudFade> m_fades;
};

}  // namespace Vandle
