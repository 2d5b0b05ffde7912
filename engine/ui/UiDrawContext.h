#pragma once
// Elements draw themselves through the context: an element's Draw sets up
// one pending draw (technique, quad placement, texture and colour, or a
// text), and Flush hands it to the target, then switches text mode off and
// sets wrap width and alignment back to 0. Technique, matrix, colour and
// texture stay until changed.
//
// Main thread only, inside the frame.

#include "engine/ui/UiDrawTarget.h"

#include <string_view>

namespace Ostrel {

class UiElement;

class UiDrawContext {
public:
    // Virtual screen height: 720 UI units make 1.0 of the projection.
    static constexpr float kScreenUnits = 720.0f;
    // The background quad of FillColor, in UI units.
    static constexpr float kFillWidth = 1280.0f;
    static constexpr float kFillHeight = 800.0f;

    explicit UiDrawContext(UiDrawTarget& target) : m_target(target) {}

    // The element's Draw, then Flush.
    void DrawElement(UiElement& element);
    // Draws at once a solid, unrotated quad of 1280 x 800 units centred on
    // the screen in colour; the pending state is not touched.
    void FillColor(const Vec4& colour);
    // "UiTech" or "UiSolidTech"; any other name keeps the current one.
    void SetTechnique(std::string_view name);
    // Places the next quad over the element (QuadMatrix).
    void DrawQuad(const UiElement& element);
    void SetTexture(Texture* texture) { m_quad.texture = texture; }
    void SetColor(float r, float g, float b, float a) { m_quad.colour = Vec4(r, g, b, a); }
    // Text mode on; the text is borrowed until the flush.
    void SetText(const char* text);
    void SetTextPosition(float x, float y);
    void SetWrapWidth(int width) { m_text.wrapWidth = width; }
    void SetAlignment(int alignment) { m_text.alignment = alignment; }
    void Flush();
    // The pending draw is dropped: the next Flush draws nothing (an image
    // whose texture is missing).
    void CancelDraw() { m_cancelled = true; }
    // Text mode off, wrap width and alignment 0 (a scene does it before its
    // elements, so each starts from the quad state).
    void ResetTextState();

    bool IsEditMode() const { return m_target.IsEditMode(); }
    bool IsTextMode() const { return m_textMode; }
    UiTechnique GetTechnique() const { return m_quad.technique; }
    int GetWrapWidth() const { return m_text.wrapWidth; }
    int GetAlignment() const { return m_text.alignment; }

    // The world matrix of an element's quad, row vectors:
    //   row 1 = ( cos r * sx * w / 720, sin r * sx * w / 720, 0, 0)
    //   row 2 = (-sin r * sy * h / 720, cos r * sy * h / 720, 0, 0)
    //   row 3 = (0, 0, 1, 0)
    //   row 4 = (X / 720, -Y / 720, 0, 1)
    // from the element's width, height, scales, rotation and absolute
    // position; the sign of row 4's y turns the UI's downward y upward.
    static Matrix4 QuadMatrix(const UiElement& element);
    static Matrix4 QuadMatrix(float width, float height, float scaleX, float scaleY, float rotation, float x,
                              float y);

private:
    UiDrawTarget& m_target;
    UiQuadDraw m_quad;
    UiTextDraw m_text;
    bool m_textMode = false;
    bool m_cancelled = false;
};

}  // namespace Ostrel
