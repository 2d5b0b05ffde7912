#pragma once
// The base of the behaviour objects that scene scripts attach to a scene or
// element (their owner). The owner drives them: Attach(owner) then Start when
// it is entered, OnKey / OnController while it takes input, SetActive when it
// is (de)activated, Detach when it is left; then it deletes them. A handler
// listens on its owner's table (UiBase::Listen) or globally, and must remove
// in Detach every listener it added in Attach or Start.
//
// Clone makes the copy a scene instance gets from its template: same
// configuration, no owner.
//
// Scripts create handlers with "new" and give them to a scene or element
// with "AddHandler"; a handler class's script description is announced with
// RegisterUiHandlerClass (UiScriptClasses.h) so that "AddHandler" accepts it.

#include "engine/script/ScriptBinding.h"

#include <memory>

namespace Ostrel {

class UiBase;
struct ControllerData;

class UiEventHandler {
public:
    UiEventHandler() = default;
    virtual ~UiEventHandler() = default;
    UiEventHandler(const UiEventHandler&) = delete;
    UiEventHandler& operator=(const UiEventHandler&) = delete;

    virtual void Attach(UiBase* owner) = 0;
    virtual void Start() {}
    virtual void Detach() {}
    virtual std::unique_ptr<UiEventHandler> Clone() const = 0;
    virtual void SetActive(bool active) = 0;
    virtual void OnKey(int /*key*/, bool /*down*/) {}
    virtual void OnController(ControllerData* /*data*/) {}

    // Whether a script handed the handler to an owner.
    ScriptOwnership& Ownership() { return m_ownership; }

private:
    ScriptOwnership m_ownership;
};

}  // namespace Ostrel
