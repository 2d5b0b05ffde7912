#pragma once
// What UI drawing ends in: the UI system implements it on the render device
// (the unit quad, the "ui-effect" programs, the orthographic projection and
// the font manager); tests record the calls. UiDrawContext keeps the pending
// state of the next draw and hands over one finished quad or text at a time.

#include "engine/core/Matrix4.h"
#include "engine/core/Vec4.h"

namespace Ostrel {

class Texture;

// "UiTech" draws the texture times the colour, "UiSolidTech" the colour.
enum class UiTechnique { Textured, Solid };

struct UiQuadDraw {
    UiTechnique technique = UiTechnique::Textured;
    // Maps the unit quad (corners at +-0.5) into projection units (720 UI
    // units are 1.0, y upward); the target multiplies its projection on.
    Matrix4 world;
    Vec4 colour;
    Texture* texture = nullptr;  // may be null
};

struct UiTextDraw {
    const char* text = nullptr;  // borrowed for the call
    float x = 0.0f;              // UI units
    float y = 0.0f;
    int wrapWidth = 0;  // 0: one line
    int alignment = 0;  // FontAlignment
};

class UiDrawTarget {
public:
    virtual ~UiDrawTarget() = default;
    virtual void DrawQuad(const UiQuadDraw& quad) = 0;
    virtual void DrawText(const UiTextDraw& text) = 0;
    // The layout editor is on: scenes draw hidden elements too.
    virtual bool IsEditMode() const { return false; }
    // How many times 720 units the screen's height shows (above 1 on a
    // screen narrower than 4:3), so a scene's background fill covers it.
    virtual float FillScale() const { return 1.0f; }
};

}  // namespace Ostrel
