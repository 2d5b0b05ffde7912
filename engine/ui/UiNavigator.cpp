#include "engine/ui/UiNavigator.h"

#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/platform/ControllerData.h"

#include <cmath>

namespace Ostrel {

namespace {

bool IsLinkDirection(int direction) {
    return direction >= int(UiDirection::Up) && direction <= int(UiDirection::Left);
}

void PlayClick() {
    Engine* engine = Engine::Instance();
    CoreSystem* core = engine ? engine->GetCoreSystem() : nullptr;
    if (core == nullptr) return;
    std::string sound = "new-menu-click-sfx";
    core->SendMessageStringPtr("PlayUiSound", &sound);
}

}  // namespace

void UiNavigator::AddNavigation(const std::string& from, int direction, const std::string& to) {
    if (!IsLinkDirection(direction)) return;
    m_links[from][std::size_t(direction)] = to;
    if (m_current.empty()) m_current = from;
}

std::unique_ptr<UiNavigator> UiNavigator::Clone() const {
    auto copy = std::make_unique<UiNavigator>();
    copy->m_links = m_links;
    copy->m_current = m_current;
    return copy;
}

std::string UiNavigator::Move(int direction) {
    if (!IsLinkDirection(direction)) return {};
    auto links = m_links.find(m_current);
    if (links == m_links.end()) return {};
    std::string target = links->second[std::size_t(direction)];
    if (!target.empty()) {
        m_current = target;
        PlayClick();
    }
    return target;
}

UiDirection UiKeyToDirection(int key, bool& found) {
    found = true;
    switch (key) {
        case 38:
        case 255:
            return UiDirection::Up;
        case 39:
        case 258:
            return UiDirection::Right;
        case 40:
        case 256:
            return UiDirection::Down;
        case 37:
        case 257:
            return UiDirection::Left;
        default:
            found = false;
            return UiDirection::None;
    }
}

UiDirection StickToDirection(const ControllerData& data, bool& found) {
    const float x = data.leftStick.x;
    const float y = data.leftStick.y;
    found = false;
    if (x == 0.0f && y == 0.0f) return UiDirection::None;
    found = true;
    if (std::fabs(y) >= std::fabs(x)) return y > 0.0f ? UiDirection::Up : UiDirection::Down;
    return x > 0.0f ? UiDirection::Right : UiDirection::Left;
}

}  // namespace Ostrel
