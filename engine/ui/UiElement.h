#pragma once
// The interface every UI element adds to UiBase: size, placement, rotation,
// scale, colour, name, selection, visibility, activation and drawing.
// UiElementBase implements all of it but Draw (and Clone).

#include "engine/core/Vec4.h"
#include "engine/ui/UiBase.h"

#include <string>

namespace Ostrel {

class UiDrawContext;

class UiElement : public UiBase {
public:
    virtual float GetWidth() const = 0;
    virtual void SetWidth(float width) = 0;
    virtual float GetHeight() const = 0;
    virtual void SetHeight(float height) = 0;
    virtual float GetTop() const = 0;
    virtual void SetTop(float top) = 0;
    virtual float GetLeft() const = 0;
    virtual void SetLeft(float left) = 0;
    virtual float GetRotation() const = 0;
    virtual void SetRotation(float radians) = 0;
    virtual float GetRotationDeg() const = 0;
    virtual void SetRotationDeg(float degrees) = 0;
    virtual void SetScale(float scale) = 0;
    virtual float GetScaleX() const = 0;
    virtual void SetScaleX(float scale) = 0;
    virtual float GetScaleY() const = 0;
    virtual void SetScaleY(float scale) = 0;
    virtual Vec4 GetColor() const = 0;
    virtual void SetColor(const Vec4& colour) = 0;
    virtual float GetAlpha() const = 0;
    virtual void SetAlpha(float alpha) = 0;
    virtual const std::string& GetName() const = 0;
    virtual void SetName(const std::string& name) = 0;
    virtual void SetRotationVelocity(float radiansPerSecond) = 0;
    virtual float GetRotationVelocity() const = 0;
    virtual void SetSelected(bool selected) = 0;
    virtual bool IsSelected() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool IsVisible() const = 0;
    // Confirmed by the player through the navigator (buttons act on it).
    virtual void Activate() = 0;
    // Sets up one pending draw on the context; the context's flush draws it.
    virtual void Draw(UiDrawContext& context) = 0;
};

}  // namespace Ostrel
