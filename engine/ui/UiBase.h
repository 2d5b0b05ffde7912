#pragma once
// The user interface's object model. Scenes (UiScene) and elements (images,
// buttons, text, groups) share one interface, UiBase: they are entered when
// their scene goes on the stack and left when it comes off, they own the
// event handlers attached to them, and each has its own message table on
// which those handlers listen and raise UI events. A UI event sent on one
// object's table is seen only by the listeners of that object; global
// messages go through the core system.
//
// Coordinates are UI units: 720 are the screen height, the origin is the
// screen centre, x grows to the right and y downward. Rotations are radians.
//
// Class tree: UiBase <- UiBaseImpl (handlers, table, parent; base of the
// scene) and UiBase <- UiElement (element interface) <- UiElementBase (the
// concrete base of every element).

#include "engine/core/RefPtr.h"
#include "engine/core/VariantFunction.h"

#include <string>

namespace Ostrel {

class UiElementBase;
class UiEventHandler;
class VariantList;
struct ControllerData;

class UiBase {
public:
    // Walks up the owner links stop after this many steps.
    static constexpr int kMaxOwnerDepth = 64;

    UiBase() = default;
    virtual ~UiBase() = default;
    UiBase(const UiBase&) = delete;
    UiBase& operator=(const UiBase&) = delete;

    virtual void Enter() = 0;
    virtual void Leave() = 0;
    virtual void SetActive(bool active) = 0;
    virtual bool IsActive() const = 0;

    // Position on the screen: the own position plus the owners' (a scene is
    // at (0, 0)).
    virtual float GetAbsoluteX() const = 0;
    virtual float GetAbsoluteY() const = 0;
    virtual float GetX() const = 0;
    virtual float GetY() const = 0;
    virtual void SetX(float x) = 0;
    virtual void SetY(float y) = 0;

    // The element of that name held here, or null.
    virtual UiElementBase* FindElement(const std::string& name) = 0;
    // Takes ownership of handler (never null).
    virtual void AddHandler(UiEventHandler* handler) = 0;
    virtual void OnKey(int key, bool down) = 0;
    virtual void OnController(ControllerData* data) = 0;
    // Tells every element which one is selected (null: none).
    virtual void SelectElement(UiElementBase* element, bool selected) = 0;

    // The owner (a scene or group); not owned.
    virtual void SetParent(UiBase* parent) = 0;
    virtual UiBase* GetParent() const = 0;
    // The topmost owner reached through the parent links (this when there is
    // no parent).
    UiBase* GetRoot();

    // The object's own message table.
    virtual void Listen(const std::string& name, const FunctionRef& function) = 0;
    virtual void Unlisten(const std::string& name, const FunctionRef& function) = 0;
    virtual void RemoveEvent(const std::string& name) = 0;
    virtual void ClearEvents() = 0;
    virtual void SendEvent(const std::string& name, const VariantList& arguments) = 0;

    // Sends name with no arguments on the own table (a UI event).
    void RaiseEvent(const std::string& name);
};

}  // namespace Ostrel
