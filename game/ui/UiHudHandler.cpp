#include "game/ui/UiHudHandler.h"

#include "engine/core/Composition.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Reflect.h"
#include "engine/core/ScriptEnums.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/io/PropertyManager.h"
#include "engine/script/ScriptBinding.h"
#include "engine/script/ScriptValues.h"
#include "engine/ui/UiScriptClasses.h"
#include "engine/ui/UiText.h"
#include "game/common/GameSupport.h"
#include "game/ui/UiEnergyBar.h"
#include "game/ui/UiSceneElements.h"

#include <algorithm>

namespace Vandle {

using namespace Ostrel;

namespace {

// Alpha of the backdrops (room counter background, title bar).
constexpr float kBackdropAlpha = 0.4f;

const char* const kBossBarNames[] = {"ui-yak", "ui-bird", "ui-fox0", "ui-fox1"};

ObjectManager* Objects() {
    Engine* engine = Engine::Instance();
    return engine ? static_cast<ObjectManager*>(engine->GetObjectManager()) : nullptr;
}

}  // namespace

// ---- HudFade

HudFade::HudFade(UiElementBase* element_, float from, float to, float duration_)
    : element(element_), start(from), target(to), done(false), duration(duration_),
      rate(duration_ > 0.0f ? (to - from) / duration_ : 0.0f) {}

// A fade has arrived once the alpha reached the target in its direction (a
// fade without a direction at once); arriving at (about) 0 hides the
// element. The alpha stays within [0, 1].
void HudFade::Step(float dt) {
    if (done || element == nullptr) return;
    float alpha = element->GetAlpha();
    const bool arrived = rate == 0.0f || (rate > 0.0f && alpha >= target) || (rate < 0.0f && alpha <= target);
    if (arrived) {
        alpha = target;
        done = true;
        if (alpha < UiHudHandler::kEpsilon) element->SetVisible(false);
    } else {
        alpha += rate * dt;
    }
    element->SetAlpha(std::clamp(alpha, 0.0f, 1.0f));
}

// ---- UiHudHandler

UiHudHandler::~UiHudHandler() {
    Subscribe(false);
}

void UiHudHandler::Attach(UiBase* owner) {
    m_owner = owner;
    FindElements();
    m_highestRoom = 1;
    m_roomCount = 0;  // kept when nobody answers
    if (CoreSystem* core = GameCore()) core->SendMessageValues("QueryRoomCount", &m_roomCount);
    UpdateRoomProgress();
    Subscribe(true);
}

void UiHudHandler::FindElements() {
    constexpr const char* kHandler = "UiHudHandler";
    auto find = [this](const char* name) { return FindSceneElement(m_owner, kHandler, name); };
    auto bar = [this](const char* name) {
        return FindSceneElementAs<UiEnergyBar>(m_owner, kHandler, name, "UiEnergyBar");
    };
    m_healthBar = bar("ui-health");
    m_energyBar = bar("ui-energy");
    for (int i = 0; i < 4; ++i) m_bossBars[i] = bar(kBossBarNames[i]);
    m_roomBackground = find("ui-room-bg");
    m_roomLabel = find("ui-room-label");
    m_roomProgress = find("ui-room-progress");
    m_levelName = find("ui-level-name");
    m_titleBar = find("ui-bar");
    m_continue = find("ui-continue");
    m_elements = {m_healthBar,      m_energyBar, m_bossBars[0],  m_bossBars[1], m_bossBars[2], m_bossBars[3],
                  m_roomBackground, m_roomLabel, m_roomProgress, m_levelName,   m_titleBar,    m_continue};
}

void UiHudHandler::Subscribe(bool listen) {
    if (!listen) {
        m_globals.Clear();
        return;
    }
    if (!m_globals.Empty() || GameCore() == nullptr) return;
    m_globals.Listen("PlayerHealthChanged", MakeDelegate(this, &UiHudHandler::OnPlayerHealthChanged));
    m_globals.Listen("GameLost", MakeDelegate(this, &UiHudHandler::OnGameLost));
    m_globals.Listen("GameComplete", MakeDelegate(this, &UiHudHandler::OnGameComplete));
    m_globals.Listen("PlayerAttackChanged", MakeDelegate(this, &UiHudHandler::OnPlayerAttackChanged));
    m_globals.Listen("PlayerEnergyChanged", MakeDelegate(this, &UiHudHandler::OnPlayerEnergyChanged));
    m_globals.Listen("BossHealthChanged", MakeDelegate(this, &UiHudHandler::OnBossHealthChanged));
    m_globals.Listen("LevelLoadStarted", MakeDelegate(this, &UiHudHandler::OnLevelLoadStarted));
    m_globals.Listen("UiTimeUpdate", MakeDelegate(this, &UiHudHandler::OnUiTimeUpdate));
    m_globals.Listen("CameraFlyOver", MakeDelegate(this, &UiHudHandler::OnCameraFlyOver));
    m_globals.Listen("CameraPathFinished", MakeDelegate(this, &UiHudHandler::OnCameraPathFinished));
    m_globals.Listen("CheckpointUpdated", MakeDelegate(this, &UiHudHandler::OnCheckpointUpdated));
    m_globals.Listen("LostFocus", MakeDelegate(this, &UiHudHandler::OnLostFocus));
}

// A player found while attaching had its counter shown before everything
// was hidden here: forgetting it lets the first poll (the next time update)
// find it again and fade the counter in.
void UiHudHandler::Start() {
    for (UiElementBase* element : m_elements) {
        if (element) element->SetVisible(false);
    }
    m_playerId = 0;
    if (m_healthBar) FadeIn(m_healthBar);
}

void UiHudHandler::Detach() {
    Subscribe(false);
    m_fades.clear();
}

std::unique_ptr<UiEventHandler> UiHudHandler::Clone() const {
    auto copy = std::make_unique<UiHudHandler>();
    copy->m_loadingScreenName = m_loadingScreenName;
    copy->m_checkpointDisplayTime = m_checkpointDisplayTime;
    return copy;
}

// ---- fades

// A new record starts from `from` at once; a running one is redirected and
// continues from the alpha the element has now.
void UiHudHandler::FadeElement(UiElementBase* element, float from, float to, float duration) {
    if (element == nullptr) return;
    HudFade& record = m_fades[element];
    const bool wasDone = record.done;
    record = HudFade(element, from, to, duration);
    if (wasDone) element->SetAlpha(from);
}

void UiHudHandler::FadeIn(UiElementBase* element, float alpha) {
    element->SetVisible(true);
    FadeElement(element, 0.0f, alpha, kFadeTime);
}

void UiHudHandler::FadeOut(UiElementBase* element, float alpha) {
    FadeElement(element, alpha, 0.0f, kFadeTime);
}

void UiHudHandler::UpdateFades(float dt) {
    for (auto& [element, fade] : m_fades) fade.Step(dt);
    std::erase_if(m_fades, [](const auto& entry) { return entry.second.done; });
}

// ---- messages

void UiHudHandler::OnPlayerHealthChanged(float fraction) {
    if (m_healthBar == nullptr || m_energyBar == nullptr) return;
    m_healthBar->SetPercent(fraction);
    if (fraction >= kEpsilon) return;
    FadeOut(m_healthBar);
    FadeOut(m_energyBar);
    for (UiEnergyBar* boss : m_bossBars) {
        if (boss) FadeOut(boss);
    }
}

void UiHudHandler::OnGameLost() {
    ChangeScene("game-lost-menu", int(UiSceneChangeMethod::Replace));
}

void UiHudHandler::OnGameComplete() {
    ChangeScene("game-complete-menu", int(UiSceneChangeMethod::Replace));
}

void UiHudHandler::OnLevelLoadStarted() {
    ChangeScene(m_loadingScreenName, int(UiSceneChangeMethod::Goto));
}

void UiHudHandler::ChangeScene(const std::string& name, int method) {
    std::string scene = name;
    const UiSceneChangeMethod how = UiSceneChangeMethod(method);
    if (CoreSystem* core = GameCore()) core->SendMessageValues("UiChangeScene", &scene, how);
}

// The bar images of the attack come from the pages "hud-bar-borders" and
// "hud-bar-fills"; a missing entry gives an empty name (no image).
void UiHudHandler::OnPlayerAttackChanged(std::string* attack) {
    if (attack == nullptr) return;
    std::string border;
    std::string fill;
    if (PropertyManager* pages = PropertyManager::Instance()) {
        pages->GetPageProperty("hud-bar-fills", *attack, fill);
        pages->GetPageProperty("hud-bar-borders", *attack, border);
    }
    if (m_energyBar == nullptr) return;
    m_energyBar->SetBorder(border);
    m_energyBar->SetBar(fill);
}

void UiHudHandler::OnPlayerEnergyChanged(float fraction) {
    if (m_energyBar == nullptr) return;
    if (fraction == 0.0f) {
        FadeOut(m_energyBar);
        return;
    }
    if (!m_energyBar->IsVisible()) FadeIn(m_energyBar);
    m_energyBar->SetPercent(fraction);
}

void UiHudHandler::OnBossHealthChanged(std::string* barName, float fraction) {
    if (barName == nullptr || m_owner == nullptr) return;
    auto* bar = dynamic_cast<UiEnergyBar*>(m_owner->FindElement(*barName));
    if (bar == nullptr) return;
    if (!bar->IsVisible()) FadeIn(bar);
    bar->SetPercent(fraction);
    if (fraction < kEpsilon && bar->IsVisible()) FadeOut(bar);
}

void UiHudHandler::OnUiTimeUpdate(float dt) {
    m_roomPollTimer -= dt;
    if (m_roomPollTimer < 0.0f) {
        m_roomPollTimer = kRoomPollPeriod;
        UpdateRoomProgress();
    }
    if (m_checkpointTimer > 0.0f) {
        m_checkpointTimer -= dt;
        if (m_checkpointTimer < 0.0f) ShowCheckpointText(false);
    }
    UpdateFades(dt);
}

void UiHudHandler::OnCameraFlyOver(Vec3*, int) {
    std::string title;  // stays empty when nobody answers
    if (CoreSystem* core = GameCore()) core->SendMessageValues("QueryLevelTitle", &title);
    if (m_levelName && m_titleBar) {
        SetElementText(m_levelName, title);
        FadeIn(m_levelName);
        FadeIn(m_titleBar, kBackdropAlpha);
    }
    m_flyOver = true;
}

void UiHudHandler::OnCameraPathFinished() {
    if (m_levelName && m_titleBar) {
        FadeOut(m_levelName);
        FadeOut(m_titleBar, kBackdropAlpha);
    }
    m_flyOver = false;
}

void UiHudHandler::OnCheckpointUpdated(Vec3) {
    ShowCheckpointText(true);
}

// Escape as if pressed: the game's pause menu opens when focus goes.
void UiHudHandler::OnLostFocus() {
    if (!m_active || m_flyOver) return;
    const int escape = 27;
    const bool pressed = true;
    if (CoreSystem* core = GameCore()) core->SendMessageValues("KeyTriggered", escape, pressed);
}

// ---- room counter and checkpoint notice

void UiHudHandler::UpdateRoomProgress() {
    ObjectManager* objects = Objects();
    if (m_playerId == 0) {
        ShowRoomProgress(false);
        std::vector<u32> players;
        if (objects && objects->FindPlayerObjects(players)) {
            m_playerId = players.front();
            ShowRoomProgress(true);
        }
    } else {
        Composition* player = objects ? objects->GetObject(m_playerId) : nullptr;
        if (player == nullptr) {
            m_playerId = 0;
        } else if (TransformComponent* transform = player->GetTransform()) {
            int room = 0;  // no answer: no higher room
            const Vec3 position = transform->GetPosition();
            if (CoreSystem* core = GameCore()) core->SendMessageValues("QueryCurrentRoom", position, &room);
            m_highestRoom = std::max(m_highestRoom, room);
        }
    }
    if (m_roomProgress) SetElementText(m_roomProgress, std::to_string(m_highestRoom) + "/" + std::to_string(m_roomCount));
}

void UiHudHandler::ShowRoomProgress(bool show) {
    if (!m_roomBackground || !m_roomLabel || !m_roomProgress) return;
    if (show && !m_roomBackground->IsVisible()) {
        FadeIn(m_roomBackground, kBackdropAlpha);
        FadeIn(m_roomLabel);
        FadeIn(m_roomProgress);
    } else if (!show && m_roomBackground->IsVisible()) {
        FadeOut(m_roomBackground, kBackdropAlpha);
        FadeOut(m_roomLabel);
        FadeOut(m_roomProgress);
    }
}

void UiHudHandler::ShowCheckpointText(bool show) {
    if (!m_continue || !m_titleBar) return;
    if (show) {
        if (!m_continue->IsVisible()) {
            FadeIn(m_continue);
            FadeIn(m_titleBar, kBackdropAlpha);
        }
        m_checkpointTimer = m_checkpointDisplayTime;
    } else {
        FadeOut(m_continue);
        FadeOut(m_titleBar, kBackdropAlpha);
    }
}

// ---- script binding

namespace {

ScriptOwnership* HudOwnership(void* object) {
    return &static_cast<UiHudHandler*>(object)->Ownership();
}

int SetLoadingScreenName(lua_State* L);
int SetCheckpointDisplayTime(lua_State* L);

constexpr ScriptMethod kHudMethods[] = {
    {"SetLoadingScreenName", &SetLoadingScreenName},
    {"SetCheckpointDisplayTime", &SetCheckpointDisplayTime},
};

}  // namespace

const ScriptClass kUiHudHandlerScript{"UiHudHandler", "missing uihudhandler instance", kHudMethods,
                                      ScriptClass::kCreatable, nullptr, "Vandle.", &HudOwnership};

namespace {

int SetLoadingScreenName(lua_State* L) {
    UiHudHandler& hud = ScriptArgs(L).Self<UiHudHandler>(kUiHudHandlerScript);
    hud.SetLoadingScreenName(CheckScriptText(L, 2));
    return 0;
}

int SetCheckpointDisplayTime(lua_State* L) {
    UiHudHandler& hud = ScriptArgs(L).Self<UiHudHandler>(kUiHudHandlerScript);
    hud.SetCheckpointDisplayTime(CheckScriptNumber(L, 2));
    return 0;
}

}  // namespace

}  // namespace Vandle

LV_REFLECT_CLASS(Vandle::UiHudHandler, [](Ostrel::MetaClass& m) {
    Ostrel::BindScriptClass(m, Vandle::kUiHudHandlerScript);
    Ostrel::RegisterUiHandlerClass(Vandle::kUiHudHandlerScript);
});
