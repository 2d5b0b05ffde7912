#include "engine/ui/UiScene.h"

#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/platform/ControllerData.h"
#include "engine/sound/SoundFamily.h"
#include "engine/ui/UiDrawContext.h"

#include <algorithm>

namespace Ostrel {

namespace {

constexpr const char* kPlayBackgroundSound = "PlayBackgroundSound";
// Backgrounds this transparent are not drawn.
constexpr float kBackgroundAlphaThreshold = 0.001f;

CoreSystem* Core() {
    Engine* engine = Engine::Instance();
    return engine ? engine->GetCoreSystem() : nullptr;
}

}  // namespace

UiScene::UiScene() = default;

UiScene::UiScene(const UiScene& source)
    : UiBaseImpl(source),
      m_name(source.m_name),
      m_colour(source.m_colour),
      m_path(source.m_path),
      m_backgroundMusic(source.m_backgroundMusic),
      m_pauseSoundsInScene(source.m_pauseSoundsInScene),
      m_stopEffectsInScene(source.m_stopEffectsInScene),
      m_inputDelay(source.m_inputDelay),
      m_acceptsInput(source.m_acceptsInput),
      m_clock(source.m_clock) {
    m_elements.reserve(source.m_elements.size());
    for (const auto& element : source.m_elements) {
        std::unique_ptr<UiElementBase> copy = element->Clone();
        m_byName.emplace(copy->GetName(), copy.get());
        copy->SetParent(this);
        m_elements.push_back(std::move(copy));
    }
    if (source.m_navigator) m_navigator = source.m_navigator->Clone();
}

UiScene::~UiScene() {
    // A template was never entered: its elements and handlers are deleted as
    // they are. A live scene destroyed without Leave is torn down first, so
    // that no listener of it or of its handlers stays behind.
    if (IsEntered()) Teardown();
}

std::unique_ptr<UiScene> UiScene::Clone() const {
    return std::unique_ptr<UiScene>(new UiScene(*this));
}

void UiScene::AddElement(std::unique_ptr<UiElementBase> element) {
    if (!element) return;
    if (element->GetName().empty()) element->SetName("el_" + std::to_string(m_elements.size()));
    m_byName.emplace(element->GetName(), element.get());
    element->SetParent(this);
    m_elements.push_back(std::move(element));
}

void UiScene::SetNavigator(std::unique_ptr<UiNavigator> navigator) {
    m_navigator = std::move(navigator);
}

UiElementBase* UiScene::FindElement(const std::string& name) {
    auto it = m_byName.find(name);
    return it == m_byName.end() ? nullptr : it->second;
}

void UiScene::Enter() {
    m_inputTimer = std::make_unique<Timer>(m_clock ? *m_clock : DefaultClock());
    m_inputTimer->Tick();
    m_timeSinceEnter = 0.0f;
    m_heldAtEnter.clear();
    m_editSelection = nullptr;
    for (const auto& element : m_elements) element->Enter();
    AttachAndStartHandlers();
    SelectInitialElement();
    if (CoreSystem* core = Core()) {
        core->Listen(kPlayBackgroundSound, MakeDelegate(this, &UiScene::OnPlayBackgroundSound));
        m_musicSubscribed = true;
    }
}

void UiScene::SelectInitialElement() {
    UiElementBase* first = nullptr;
    if (m_navigator) first = FindElement(m_navigator->GetCurrentElement());
    if (first == nullptr && !m_elements.empty()) first = m_elements.front().get();
    if (first != nullptr) first->SetSelected(true);
}

void UiScene::Leave() {
    if (CoreSystem* core = Core()) {
        core->SendMessageSoundFamilyBool("PauseSounds", SoundFamilies::Music, m_musicMuted);
        core->SendMessageSoundFamilyBool("PauseSounds", SoundFamilies::Effects, m_musicMuted);
    }
    Teardown();
}

void UiScene::Teardown() {
    if (m_musicSubscribed) {
        m_musicSubscribed = false;
        if (CoreSystem* core = Core()) {
            core->Unlisten(kPlayBackgroundSound, MakeDelegate(this, &UiScene::OnPlayBackgroundSound));
        }
    }
    m_inputTimer.reset();
    m_editSelection = nullptr;
    for (const auto& element : m_elements) element->Leave();
    m_elements.clear();
    m_byName.clear();
    DetachAndDeleteHandlers();
}

void UiScene::Reload() {
    Teardown();
    Load(m_path);
    Enter();
}

void UiScene::SetActive(bool active) {
    CoreSystem* core = Core();
    if (active && core != nullptr) {
        if (!m_backgroundMusic.empty()) core->SendMessageStringPtr(kPlayBackgroundSound, &m_backgroundMusic);
        core->SendMessageSoundFamilyBoolPtr("QueryMuteSounds", SoundFamilies::Music, &m_musicMuted);
        core->SendMessageSoundFamilyBool("PauseSounds", SoundFamilies::Music, m_pauseSoundsInScene);
        core->SendMessageSoundFamilyBool("PauseSounds", SoundFamilies::Effects, m_pauseSoundsInScene);
        if (m_stopEffectsInScene) core->SendMessageValues("StopSounds", SoundFamilies::Effects);
    }
    UiBaseImpl::SetActive(active);
}

void UiScene::OnPlayBackgroundSound(std::string* name) {
    if (IsActive() && name != nullptr) m_backgroundMusic = *name;
}

bool UiScene::IsInputReady() {
    if (m_inputDelay <= 0.0f) return true;
    if (!m_inputTimer) return false;  // not entered: no time has passed
    m_inputTimer->Tick();
    m_timeSinceEnter += m_inputTimer->GetDelta();
    return m_inputDelay <= m_timeSinceEnter;
}

bool UiScene::TakeHeldKey(int key, bool down) {
    auto held = std::find(m_heldAtEnter.begin(), m_heldAtEnter.end(), key);
    if (held == m_heldAtEnter.end()) return false;
    m_heldAtEnter.erase(held);
    // Keys send a press only after a release: a press of a key held since
    // Enter means its release went elsewhere (a handler that held every key,
    // a scene above this one), so the key is up since then and this press
    // is a new one, for the input delay's gate to judge.
    return !down;
}

bool UiScene::IsSelectKey(int key) {
    return key == 13 || key == 88 || key == 90 || key == 263 || key == 271;
}

void UiScene::Navigate(UiDirection direction) {
    if (!m_navigator) return;
    const std::string target = m_navigator->Move(int(direction));
    if (!target.empty()) SelectElement(FindElement(target), true);
}

void UiScene::OnKey(int key, bool down) {
    // Before the delay's gate, so that a release during the delay is seen.
    if (TakeHeldKey(key, down)) return;
    if (!IsInputReady()) return;
    bool consumed = false;
    if (down && m_navigator) {
        bool isDirection = false;
        const UiDirection direction = UiKeyToDirection(key, isDirection);
        if (isDirection) Navigate(direction);
        const std::string current = m_navigator->GetCurrentElement();
        if (IsSelectKey(key) && !current.empty()) {
            consumed = true;
            if (CoreSystem* core = Core()) {
                std::string sound = "new-menu-select-sfx";
                core->SendMessageStringPtr("PlayUiSound", &sound);
            }
            if (UiElementBase* element = FindElement(current)) element->Activate();
        }
    }
    if (consumed) return;
    for (const auto& element : m_elements) element->OnKey(key, down);
    for (const auto& handler : GetHandlers()) handler->OnKey(key, down);
}

void UiScene::OnController(ControllerData* data) {
    if (!IsInputReady() || data == nullptr) return;
    bool found = false;
    const UiDirection direction = StickToDirection(*data, found);
    bool used = false;
    if (direction != UiDirection::None && direction != m_lastStick) {
        Navigate(direction);
        used = true;
    }
    m_lastStick = direction;
    if (used) return;
    for (const auto& element : m_elements) element->OnController(data);
    for (const auto& handler : GetHandlers()) handler->OnController(data);
}

void UiScene::SelectElement(UiElementBase* element, bool selected) {
    for (const auto& each : m_elements) each->SelectElement(element, selected);
}

void UiScene::Draw(UiDrawContext& context) {
    if (m_colour.w > kBackgroundAlphaThreshold) context.FillColor(m_colour);
    context.ResetTextState();
    const bool editMode = context.IsEditMode();
    for (const auto& element : m_elements) {
        if (editMode || element->IsVisible()) context.DrawElement(*element);
    }
}

std::size_t UiScene::IndexOf(const UiElementBase* element) const {
    for (std::size_t i = 0; i < m_elements.size(); ++i) {
        if (m_elements[i].get() == element) return i;
    }
    return m_elements.size();
}

UiElementBase* UiScene::EditSelectFirst() {
    if (m_editSelection == nullptr && !m_elements.empty()) m_editSelection = m_elements.front().get();
    return m_editSelection;
}

UiElementBase* UiScene::EditSelectPrevious() {
    if (m_elements.empty()) return m_editSelection = nullptr;
    if (m_editSelection == nullptr) return m_editSelection = m_elements.front().get();
    const std::size_t index = IndexOf(m_editSelection);
    // A selection no longer in the list counts as past the end.
    const std::size_t previous = index == 0 ? m_elements.size() - 1 : index - 1;
    return m_editSelection = m_elements[previous].get();
}

UiElementBase* UiScene::EditSelectNext() {
    if (m_elements.empty()) return m_editSelection = nullptr;
    if (m_editSelection == nullptr) return m_editSelection = m_elements.front().get();
    const std::size_t index = IndexOf(m_editSelection);
    const std::size_t next = index + 1 >= m_elements.size() ? 0 : index + 1;
    return m_editSelection = m_elements[next].get();
}

}  // namespace Ostrel
