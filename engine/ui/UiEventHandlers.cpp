#include "engine/ui/UiEventHandlers.h"

#include "engine/base/Log.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/ui/UiBase.h"
#include "engine/ui/UiElementBase.h"
#include "engine/ui/UiText.h"

#include <cmath>

namespace Ostrel {

namespace {

constexpr const char* kTimeUpdate = "UiTimeUpdate";

CoreSystem* Core() {
    Engine* engine = Engine::Instance();
    return engine ? engine->GetCoreSystem() : nullptr;
}

void DeactivateRoot(UiBase* owner) {
    if (UiBase* root = owner ? owner->GetRoot() : nullptr) root->SetActive(false);
}

void Raise(UiBase* owner, const std::string& name) {
    if (owner) owner->RaiseEvent(name);
}


}  // namespace

// ---- UiSendMessageHandler

void UiSendMessageHandler::Attach(UiBase* owner) {
    m_owner = owner;
    if (!m_responseEvent.empty() && owner) {
        owner->Listen(m_responseEvent, MakeDelegate(this, &UiSendMessageHandler::OnEvent));
        m_listening = true;
    }
}

void UiSendMessageHandler::Start() {
    if (m_responseEvent.empty()) SendRaiseEvent();
}

void UiSendMessageHandler::Detach() {
    if (m_listening && m_owner) m_owner->Unlisten(m_responseEvent, MakeDelegate(this, &UiSendMessageHandler::OnEvent));
    m_listening = false;
}

void UiSendMessageHandler::OnEvent() {
    if (!m_active) return;
    if (m_deactivateOnSend) DeactivateRoot(m_owner);
    SendRaiseEvent();
}

void UiSendMessageHandler::SendRaiseEvent() {
    CoreSystem* core = Core();
    if (core == nullptr) return;
    // Scene data can name any message; one whose receivers take arguments
    // cannot be sent without them.
    for (const FunctionRef& listener : core->GetTable().GetListeners(m_raiseEvent)) {
        if (listener->GetArgCount() > 0) {
            LogMessagef("UiSendMessageHandler: message '%s' takes arguments and cannot be sent from a scene; "
                        "not sent\n",
                        m_raiseEvent.c_str());
            return;
        }
    }
    core->Send(m_raiseEvent);
}

std::unique_ptr<UiEventHandler> UiSendMessageHandler::Clone() const {
    auto copy = std::make_unique<UiSendMessageHandler>();
    copy->m_raiseEvent = m_raiseEvent;
    copy->m_responseEvent = m_responseEvent;
    copy->m_deactivateOnSend = m_deactivateOnSend;
    return copy;
}

// ---- UiTimerHandler

void UiTimerHandler::Attach(UiBase* owner) {
    m_owner = owner;
    m_elapsed = 0.0f;
    if (CoreSystem* core = Core(); core && !m_listening) {
        core->Listen(kTimeUpdate, MakeDelegate(this, &UiTimerHandler::OnUiTimeUpdate));
        m_listening = true;
    }
}

void UiTimerHandler::Detach() {
    if (!m_listening) return;
    m_listening = false;
    if (CoreSystem* core = Core()) core->Unlisten(kTimeUpdate, MakeDelegate(this, &UiTimerHandler::OnUiTimeUpdate));
}

void UiTimerHandler::OnUiTimeUpdate(float dt) {
    m_elapsed += dt;
    if (!m_active || !(m_elapsed > m_timeout)) return;
    if (!m_repeating) m_active = false;
    m_elapsed = 0.0f;
    Raise(m_owner, m_raiseEvent);
}

std::unique_ptr<UiEventHandler> UiTimerHandler::Clone() const {
    auto copy = std::make_unique<UiTimerHandler>();
    copy->m_timeout = m_timeout;
    copy->m_elapsed = m_elapsed;
    copy->m_raiseEvent = m_raiseEvent;
    copy->m_repeating = m_repeating;
    return copy;
}

// ---- UiAnyKeyHandler

void UiAnyKeyHandler::OnKey(int, bool down) {
    if (!down || !m_active) return;
    m_active = false;
    Raise(m_owner, m_raiseEvent);
}

std::unique_ptr<UiEventHandler> UiAnyKeyHandler::Clone() const {
    auto copy = std::make_unique<UiAnyKeyHandler>();
    copy->m_raiseEvent = m_raiseEvent;
    return copy;
}

// ---- UiAutoMessageHandler

void UiAutoMessageHandler::Start() {
    Raise(m_owner, m_raiseEvent);
}

std::unique_ptr<UiEventHandler> UiAutoMessageHandler::Clone() const {
    auto copy = std::make_unique<UiAutoMessageHandler>();
    copy->m_raiseEvent = m_raiseEvent;
    return copy;
}

// ---- UiQueryTextHandler

void UiQueryTextHandler::Start() {
    CoreSystem* core = Core();
    if (core == nullptr || m_query.empty()) return;
    std::string answer;
    core->SendMessageStringPtr(m_query, &answer);
    if (!answer.empty()) SetElementText(dynamic_cast<UiElementBase*>(m_owner), answer);
}

std::unique_ptr<UiEventHandler> UiQueryTextHandler::Clone() const {
    auto copy = std::make_unique<UiQueryTextHandler>();
    copy->m_query = m_query;
    return copy;
}

// ---- UiKeyHandler

void UiKeyHandler::OnKey(int key, bool down) {
    if (!down || !m_active || !m_keys.contains(key)) return;
    m_active = false;
    Raise(m_owner, m_raiseEvent);
}

std::unique_ptr<UiEventHandler> UiKeyHandler::Clone() const {
    auto copy = std::make_unique<UiKeyHandler>();
    copy->m_raiseEvent = m_raiseEvent;
    copy->m_keys = m_keys;
    return copy;
}

// ---- UiSceneChangeHandler

void UiSceneChangeHandler::Attach(UiBase* owner) {
    m_owner = owner;
    if (owner) {
        owner->Listen(m_responseEvent, MakeDelegate(this, &UiSceneChangeHandler::OnEvent));
        m_listening = true;
    }
}

void UiSceneChangeHandler::Detach() {
    if (m_listening && m_owner) m_owner->Unlisten(m_responseEvent, MakeDelegate(this, &UiSceneChangeHandler::OnEvent));
    m_listening = false;
}

void UiSceneChangeHandler::OnEvent() {
    if (!m_active) return;
    if (m_deactivateOnChange) DeactivateRoot(m_owner);
    if (CoreSystem* core = Core()) core->SendMessageValues("UiChangeScene", &m_targetScene, m_method);
}

std::unique_ptr<UiEventHandler> UiSceneChangeHandler::Clone() const {
    auto copy = std::make_unique<UiSceneChangeHandler>();
    copy->m_responseEvent = m_responseEvent;
    copy->m_targetScene = m_targetScene;
    copy->m_method = m_method;
    copy->m_deactivateOnChange = m_deactivateOnChange;
    return copy;
}

// ---- UiBobHandler

void UiBobHandler::Attach(UiBase* owner) {
    m_owner = owner;
    m_phase = 0.0f;
    m_base = owner ? owner->GetY() : 0.0f;
    if (CoreSystem* core = Core(); core && !m_listening) {
        core->Listen(kTimeUpdate, MakeDelegate(this, &UiBobHandler::OnUiTimeUpdate));
        m_listening = true;
    }
}

void UiBobHandler::Detach() {
    if (!m_listening) return;
    m_listening = false;
    if (CoreSystem* core = Core()) core->Unlisten(kTimeUpdate, MakeDelegate(this, &UiBobHandler::OnUiTimeUpdate));
}

void UiBobHandler::OnUiTimeUpdate(float dt) {
    // A period of 0 has no phase: the owner rests at its base.
    if (!(m_length > 0.0f)) {
        m_phase = 0.0f;
        if (m_active && m_owner) m_owner->SetY(m_base);
        return;
    }
    m_phase = std::fmod(m_phase + dt, m_length);
    if (!m_active) return;
    float offset = std::sin(kTwoPi * m_phase / m_length) * m_height;
    if (m_forceSign >= 0.9f || m_forceSign <= -0.9f) offset = std::fabs(offset) * m_forceSign;
    if (m_owner) m_owner->SetY(m_base + offset);
}

std::unique_ptr<UiEventHandler> UiBobHandler::Clone() const {
    auto copy = std::make_unique<UiBobHandler>();
    copy->m_phase = m_phase;
    copy->m_active = m_active;
    copy->m_length = m_length;
    copy->m_height = m_height;
    copy->m_forceSign = m_forceSign;
    return copy;
}

// ---- UiPauseHandler

void UiPauseHandler::Start() {
    if (CoreSystem* core = Core()) {
        core->SendMessageBool("UiCaptureInput", true);
        core->SendMessageBool("UiPause", true);
    }
}

void UiPauseHandler::Detach() {
    if (CoreSystem* core = Core()) {
        core->SendMessageBool("UiCaptureInput", false);
        core->SendMessageBool("UiPause", false);
    }
}

std::unique_ptr<UiEventHandler> UiPauseHandler::Clone() const {
    return std::make_unique<UiPauseHandler>();
}

}  // namespace Ostrel
