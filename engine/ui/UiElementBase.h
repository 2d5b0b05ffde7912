#pragma once
// The concrete base of every UI element: geometry (centre, half size,
// rotation, scales), colour, name, its own message table, the handlers
// attached to it, selection, visibility and a constant rotation speed.
//
// Life: made by a script's "new", by Clone or by code, and registered with
// the UiElementManager, which deletes elements nobody else deleted at exit.
// A scene or scroll group that takes an element owns it from then on.
// Entering attaches and starts the handlers and, for a rotating element,
// subscribes to the global "UiTimeUpdate"; leaving detaches the handlers and
// removes that subscription. Whether the element is subscribed is recorded,
// so a rotation speed changed between Enter and Leave, or an element
// destroyed while entered, never leaves a listener behind.
//
// Copies (the base of every Clone): geometry, colour, name, rotation speed
// and visibility are copied; the copy is active, unselected, without parent,
// with a fresh empty message table and clones of the handlers in order.
//
// Threads: elements of scene templates are made by scene scripts on the
// loading thread (under the render device lock); entered elements live on
// the main thread.

#include "engine/core/MessageListenerTable.h"
#include "engine/core/Vec2.h"
#include "engine/script/ScriptBinding.h"
#include "engine/ui/UiElement.h"
#include "engine/ui/UiEventHandler.h"

#include <memory>
#include <vector>

namespace Ostrel {

class UiElementBase : public UiElement {
public:
    UiElementBase();
    ~UiElementBase() override;

    // A new element of the same class made from this one (see above).
    virtual std::unique_ptr<UiElementBase> Clone() const = 0;

    // UiBase
    void Enter() override;
    void Leave() override;
    void SetActive(bool active) override { m_active = active; }
    bool IsActive() const override { return m_active; }
    float GetAbsoluteX() const override;
    float GetAbsoluteY() const override;
    float GetX() const override { return m_centre.x; }
    float GetY() const override { return m_centre.y; }
    void SetX(float x) override { m_centre.x = x; }
    void SetY(float y) override { m_centre.y = y; }
    UiElementBase* FindElement(const std::string&) override { return nullptr; }
    void AddHandler(UiEventHandler* handler) override;
    void OnKey(int key, bool down) override;
    void OnController(ControllerData* data) override;
    void SelectElement(UiElementBase*, bool) override {}
    void SetParent(UiBase* parent) override { m_parent = parent; }
    UiBase* GetParent() const override { return m_parent; }
    void Listen(const std::string& name, const FunctionRef& function) override;
    void Unlisten(const std::string& name, const FunctionRef& function) override;
    void RemoveEvent(const std::string& name) override;
    void ClearEvents() override;
    void SendEvent(const std::string& name, const VariantList& arguments) override;

    // UiElement
    float GetWidth() const override { return 2.0f * m_halfSize.x; }
    void SetWidth(float width) override { m_halfSize.x = width / 2.0f; }
    float GetHeight() const override { return 2.0f * m_halfSize.y; }
    void SetHeight(float height) override { m_halfSize.y = height / 2.0f; }
    float GetTop() const override { return m_centre.y - m_halfSize.y; }
    void SetTop(float top) override { m_centre.y = top + m_halfSize.y; }
    float GetLeft() const override { return m_centre.x - m_halfSize.x; }
    void SetLeft(float left) override { m_centre.x = left + m_halfSize.x; }
    float GetRotation() const override { return m_rotation; }
    void SetRotation(float radians) override { m_rotation = radians; }
    float GetRotationDeg() const override;
    void SetRotationDeg(float degrees) override;
    void SetScale(float scale) override { m_scaleX = m_scaleY = scale; }
    float GetScaleX() const override { return m_scaleX; }
    void SetScaleX(float scale) override { m_scaleX = scale; }
    float GetScaleY() const override { return m_scaleY; }
    void SetScaleY(float scale) override { m_scaleY = scale; }
    Vec4 GetColor() const override { return m_colour; }
    void SetColor(const Vec4& colour) override { m_colour = colour; }
    float GetAlpha() const override { return m_colour.w; }
    void SetAlpha(float alpha) override { m_colour.w = alpha; }
    const std::string& GetName() const override { return m_name; }
    void SetName(const std::string& name) override { m_name = name; }
    void SetRotationVelocity(float radiansPerSecond) override;
    float GetRotationVelocity() const override { return m_rotationVelocity; }
    void SetSelected(bool selected) override { m_selected = selected; }
    bool IsSelected() const override { return m_selected; }
    void SetVisible(bool visible) override { m_visible = visible; }
    bool IsVisible() const override { return m_visible; }
    void Activate() override {}

    // "UiTimeUpdate" while entered and rotating: turns by speed x dt.
    void OnUiTimeUpdate(float dt);

    // Whether a script handed the element to an owner (a clone has none).
    ScriptOwnership& Ownership() { return m_ownership; }

    bool IsRotating() const { return m_rotating; }
    bool IsSubscribedToTime() const { return m_timeSubscribed; }
    const std::vector<std::unique_ptr<UiEventHandler>>& GetHandlers() const { return m_handlers; }

protected:
    // The copy step of Clone (see the file comment).
    UiElementBase(const UiElementBase& source);

private:
    void SubscribeTime();
    void UnsubscribeTime();
    // own plus the owners' contributions, along y when vertical.
    static float AbsoluteCoordinate(float own, const UiBase* parent, bool vertical);

    Vec2 m_centre;
    Vec2 m_halfSize;
    float m_rotation = 0.0f;
    float m_scaleX = 1.0f;
    float m_scaleY = 1.0f;
    Vec4 m_colour{1.0f, 1.0f, 1.0f, 1.0f};
    std::string m_name;
    std::unique_ptr<MessageListenerTable> m_table;
    std::vector<std::unique_ptr<UiEventHandler>> m_handlers;
    bool m_active = true;
    UiBase* m_parent = nullptr;
    float m_rotationVelocity = 0.0f;
    bool m_rotating = false;
    bool m_selected = false;
    bool m_visible = true;
    bool m_timeSubscribed = false;
    ScriptOwnership m_ownership;
};

}  // namespace Ostrel
