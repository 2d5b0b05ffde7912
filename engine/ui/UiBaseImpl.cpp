#include "engine/ui/UiBaseImpl.h"

namespace Ostrel {

UiBaseImpl::UiBaseImpl() : m_table(std::make_unique<MessageListenerTable>()) {}

UiBaseImpl::UiBaseImpl(const UiBaseImpl& source) : UiBase(), m_table(std::make_unique<MessageListenerTable>()) {
    m_handlers.reserve(source.m_handlers.size());
    for (const auto& handler : source.m_handlers) m_handlers.push_back(handler->Clone());
}

UiBaseImpl::~UiBaseImpl() = default;

void UiBaseImpl::SetActive(bool active) {
    m_active = active;
    for (const auto& handler : m_handlers) handler->SetActive(active);
}

void UiBaseImpl::AddHandler(UiEventHandler* handler) {
    if (handler != nullptr) m_handlers.emplace_back(handler);
}

void UiBaseImpl::AttachAndStartHandlers() {
    for (const auto& handler : m_handlers) handler->Attach(this);
    for (const auto& handler : m_handlers) handler->Start();
}

void UiBaseImpl::DetachAndDeleteHandlers() {
    for (const auto& handler : m_handlers) handler->Detach();
    m_handlers.clear();
}

void UiBaseImpl::Listen(const std::string& name, const FunctionRef& function) {
    m_table->Listen(name, function);
}

void UiBaseImpl::Unlisten(const std::string& name, const FunctionRef& function) {
    m_table->Unlisten(name, function);
}

void UiBaseImpl::RemoveEvent(const std::string& name) {
    m_table->Remove(name);
}

void UiBaseImpl::ClearEvents() {
    m_table->Clear();
}

void UiBaseImpl::SendEvent(const std::string& name, const VariantList& arguments) {
    m_table->SendArgs(name, arguments);
}

}  // namespace Ostrel
