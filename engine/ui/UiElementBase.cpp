#include "engine/ui/UiElementBase.h"

#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/ui/UiElementManager.h"

namespace Ostrel {

namespace {

constexpr float kPi = 3.1415927f;
constexpr const char* kTimeUpdate = "UiTimeUpdate";

CoreSystem* Core() {
    Engine* engine = Engine::Instance();
    return engine ? engine->GetCoreSystem() : nullptr;
}

}  // namespace

UiElementBase::UiElementBase() : m_table(std::make_unique<MessageListenerTable>()) {
    UiElementManager::RegisterElement(this);
}

UiElementBase::UiElementBase(const UiElementBase& source)
    : UiElement(),
      m_centre(source.m_centre),
      m_halfSize(source.m_halfSize),
      m_rotation(source.m_rotation),
      m_scaleX(source.m_scaleX),
      m_scaleY(source.m_scaleY),
      m_colour(source.m_colour),
      m_name(source.m_name),
      m_table(std::make_unique<MessageListenerTable>()),
      m_rotationVelocity(source.m_rotationVelocity),
      m_rotating(source.m_rotating),
      m_visible(source.m_visible) {
    m_handlers.reserve(source.m_handlers.size());
    for (const auto& handler : source.m_handlers) m_handlers.push_back(handler->Clone());
    UiElementManager::RegisterElement(this);
}

UiElementBase::~UiElementBase() {
    UnsubscribeTime();
    m_handlers.clear();
    m_table.reset();
    UiElementManager::UnregisterElement(this);
}

void UiElementBase::Enter() {
    if (m_rotating) SubscribeTime();
    for (const auto& handler : m_handlers) handler->Attach(this);
    for (const auto& handler : m_handlers) handler->Start();
}

void UiElementBase::Leave() {
    for (const auto& handler : m_handlers) handler->Detach();
    UnsubscribeTime();
}

void UiElementBase::SubscribeTime() {
    if (m_timeSubscribed) return;
    CoreSystem* core = Core();
    if (core == nullptr) return;
    core->Listen(kTimeUpdate, MakeDelegate(this, &UiElementBase::OnUiTimeUpdate));
    m_timeSubscribed = true;
}

void UiElementBase::UnsubscribeTime() {
    if (!m_timeSubscribed) return;
    m_timeSubscribed = false;
    if (CoreSystem* core = Core()) core->Unlisten(kTimeUpdate, MakeDelegate(this, &UiElementBase::OnUiTimeUpdate));
}

void UiElementBase::OnUiTimeUpdate(float dt) {
    SetRotation(GetRotation() + m_rotationVelocity * dt);
}

float UiElementBase::GetAbsoluteX() const {
    return AbsoluteCoordinate(m_centre.x, m_parent, false);
}

float UiElementBase::GetAbsoluteY() const {
    return AbsoluteCoordinate(m_centre.y, m_parent, true);
}

float UiElementBase::AbsoluteCoordinate(float own, const UiBase* parent, bool vertical) {
    // Each owner's absolute position is added to the own one: an element in
    // a group in a scene is at centre + group centre; with two nested groups
    // the outer group counts twice. The owners' values are summed from the
    // top down so that the walk stays linear in the depth.
    const UiBase* chain[kMaxOwnerDepth] = {};
    int count = 0;
    for (const UiBase* owner = parent; owner != nullptr && count < kMaxOwnerDepth; owner = owner->GetParent()) {
        chain[count++] = owner;
    }
    float aboveSum = 0.0f;  // sum of the absolute values of the owners above
    for (int i = count - 1; i >= 0; --i) {
        // The top of a chain cut off at the depth limit counts as a plain
        // element.
        const bool top = i == count - 1;
        const UiBase& owner = *chain[i];
        float absolute = 0.0f;
        if (top && owner.GetParent() == nullptr) {
            // The root (a scene is at 0, a lone element at its position).
            absolute = vertical ? owner.GetAbsoluteY() : owner.GetAbsoluteX();
        } else {
            absolute = (vertical ? owner.GetY() : owner.GetX()) + aboveSum;
        }
        aboveSum += absolute;
    }
    return own + aboveSum;
}

void UiElementBase::AddHandler(UiEventHandler* handler) {
    if (handler != nullptr) m_handlers.emplace_back(handler);
}

void UiElementBase::OnKey(int key, bool down) {
    for (const auto& handler : m_handlers) handler->OnKey(key, down);
}

void UiElementBase::OnController(ControllerData* data) {
    for (const auto& handler : m_handlers) handler->OnController(data);
}

void UiElementBase::Listen(const std::string& name, const FunctionRef& function) {
    m_table->Listen(name, function);
}

void UiElementBase::Unlisten(const std::string& name, const FunctionRef& function) {
    m_table->Unlisten(name, function);
}

void UiElementBase::RemoveEvent(const std::string& name) {
    m_table->Remove(name);
}

void UiElementBase::ClearEvents() {
    m_table->Clear();
}

void UiElementBase::SendEvent(const std::string& name, const VariantList& arguments) {
    m_table->SendArgs(name, arguments);
}

float UiElementBase::GetRotationDeg() const {
    return m_rotation * (180.0f / kPi);
}

void UiElementBase::SetRotationDeg(float degrees) {
    m_rotation = (kPi / 180.0f) * degrees;
}

void UiElementBase::SetRotationVelocity(float radiansPerSecond) {
    m_rotationVelocity = radiansPerSecond;
    m_rotating = radiansPerSecond != 0.0f;
}

}  // namespace Ostrel
