#pragma once
// The UiBase of objects that own handlers but are not elements: the scene.
// It holds the active flag (passed on to every handler by SetActive), its own
// message table, the attached handlers in the order they were added, and a
// parent link. The copy made for Clone starts inactive, without parent, with
// a fresh empty table and clones of the handlers in order; nothing else is
// copied here.

#include "engine/core/MessageListenerTable.h"
#include "engine/ui/UiBase.h"
#include "engine/ui/UiEventHandler.h"

#include <memory>
#include <vector>

namespace Ostrel {

class UiBaseImpl : public UiBase {
public:
    UiBaseImpl();
    ~UiBaseImpl() override;

    void SetActive(bool active) override;
    bool IsActive() const override { return m_active; }
    float GetAbsoluteX() const override { return 0.0f; }
    float GetAbsoluteY() const override { return 0.0f; }
    float GetX() const override { return 0.0f; }
    float GetY() const override { return 0.0f; }
    void SetX(float) override {}
    void SetY(float) override {}
    void AddHandler(UiEventHandler* handler) override;
    void SetParent(UiBase* parent) override { m_parent = parent; }
    UiBase* GetParent() const override { return m_parent; }
    void Listen(const std::string& name, const FunctionRef& function) override;
    void Unlisten(const std::string& name, const FunctionRef& function) override;
    void RemoveEvent(const std::string& name) override;
    void ClearEvents() override;
    void SendEvent(const std::string& name, const VariantList& arguments) override;

    const std::vector<std::unique_ptr<UiEventHandler>>& GetHandlers() const { return m_handlers; }
    // Lets a script that kept the scene learn that it is gone.
    const ScriptLiveness& Liveness() const { return m_liveness; }

protected:
    // The copy step of Clone (see the file comment).
    UiBaseImpl(const UiBaseImpl& source);

    // Detach on every handler in order, then deletes them all.
    void DetachAndDeleteHandlers();
    void AttachAndStartHandlers();
    std::vector<std::unique_ptr<UiEventHandler>>& Handlers() { return m_handlers; }

private:
    bool m_active = false;
    std::unique_ptr<MessageListenerTable> m_table;
    std::vector<std::unique_ptr<UiEventHandler>> m_handlers;
    UiBase* m_parent = nullptr;
    ScriptLiveness m_liveness;
};

}  // namespace Ostrel
