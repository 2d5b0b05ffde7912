#include "engine/ui/UiScrollGroup.h"

#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/ui/UiDrawContext.h"
#include "engine/ui/UiSystem.h"

#include <algorithm>
#include <string>
#include <utility>

namespace Ostrel {

namespace {

constexpr const char* kTimeUpdate = "UiTimeUpdate";

CoreSystem* Core() {
    Engine* engine = Engine::Instance();
    return engine ? engine->GetCoreSystem() : nullptr;
}

}  // namespace

UiScrollGroup::UiScrollGroup(const UiScrollGroup& source)
    : UiElementBase(source), m_scrollRate(source.m_scrollRate), m_contentBottom(source.m_contentBottom) {
    m_resetY = GetAbsoluteY();
    m_children.reserve(source.m_children.size());
    for (const auto& child : source.m_children) {
        std::unique_ptr<UiElementBase> copy = child->Clone();
        copy->SetParent(this);
        m_children.push_back(std::move(copy));
    }
}

UiScrollGroup::~UiScrollGroup() {
    if (m_listening) {
        if (CoreSystem* core = Core()) core->Unlisten(kTimeUpdate, MakeDelegate(this, &UiScrollGroup::OnScrollTime));
    }
    // Children go first: they may look at their parent while leaving.
    m_children.clear();
}

std::unique_ptr<UiElementBase> UiScrollGroup::Clone() const {
    return std::unique_ptr<UiElementBase>(new UiScrollGroup(*this));
}

void UiScrollGroup::AddElement(std::unique_ptr<UiElementBase> element) {
    if (!element) return;
    element->SetParent(this);
    m_contentBottom = std::max(m_contentBottom, element->GetTop() + element->GetHeight());
    m_children.push_back(std::move(element));
}

bool UiScrollGroup::CanHold(const UiElementBase& element, std::string& why) const {
    int groupsAbove = 0;  // this group and the groups that hold it
    for (const UiBase* owner = this; owner != nullptr; owner = owner->GetParent()) {
        if (owner == &element) {
            why = "an element cannot hold itself";
            return false;
        }
        if (dynamic_cast<const UiScrollGroup*>(owner) != nullptr) ++groupsAbove;
        if (groupsAbove > kMaxNesting) break;  // deeper than allowed already
    }
    if (groupsAbove + NestingBelow(element) > kMaxNesting) {
        why = "groups nested more than " + std::to_string(kMaxNesting) + " deep";
        return false;
    }
    return true;
}

int UiScrollGroup::NestingBelow(const UiElementBase& element) {
    int deepest = 0;
    std::vector<std::pair<const UiElementBase*, int>> pending{{&element, 0}};
    while (!pending.empty()) {
        auto [current, above] = pending.back();
        pending.pop_back();
        const auto* group = dynamic_cast<const UiScrollGroup*>(current);
        if (group == nullptr) continue;
        deepest = std::max(deepest, above + 1);
        for (const auto& child : group->m_children) pending.emplace_back(child.get(), above + 1);
    }
    return deepest;
}

void UiScrollGroup::Enter() {
    UiElementBase::Enter();
    if (!m_listening) {
        if (CoreSystem* core = Core()) {
            core->Listen(kTimeUpdate, MakeDelegate(this, &UiScrollGroup::OnScrollTime));
            m_listening = true;
        }
    }
    for (const auto& child : m_children) child->Enter();
}

void UiScrollGroup::Leave() {
    for (const auto& child : m_children) child->Leave();
    if (m_listening) {
        m_listening = false;
        if (CoreSystem* core = Core()) core->Unlisten(kTimeUpdate, MakeDelegate(this, &UiScrollGroup::OnScrollTime));
    }
    UiElementBase::Leave();
}

void UiScrollGroup::OnScrollTime(float dt) {
    float y = GetAbsoluteY() - dt * m_scrollRate;
    Engine* engine = Engine::Instance();
    if (engine == nullptr || engine->GetSystem(UiSystem::kId) == nullptr) return;
    if (m_contentBottom + y < kScreenTop) y = m_resetY;
    SetY(y);
}

void UiScrollGroup::Draw(UiDrawContext& context) {
    bool first = true;
    for (const auto& child : m_children) {
        if (!first) context.Flush();
        first = false;
        child->Draw(context);
    }
}

}  // namespace Ostrel
