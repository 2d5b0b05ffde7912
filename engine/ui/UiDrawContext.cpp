#include "engine/ui/UiDrawContext.h"

#include "engine/ui/UiElement.h"

#include <algorithm>
#include <cmath>

namespace Ostrel {

void UiDrawContext::DrawElement(UiElement& element) {
    element.Draw(*this);
    Flush();
}

void UiDrawContext::FillColor(const Vec4& colour) {
    UiQuadDraw fill;
    fill.technique = UiTechnique::Solid;
    const float scale = std::max(1.0f, m_target.FillScale());
    fill.world = QuadMatrix(kFillWidth, kFillHeight, scale, scale, 0.0f, 0.0f, 0.0f);
    fill.colour = colour;
    fill.texture = nullptr;
    m_target.DrawQuad(fill);
}

void UiDrawContext::SetTechnique(std::string_view name) {
    if (name == "UiSolidTech") {
        m_quad.technique = UiTechnique::Solid;
    } else if (name == "UiTech") {
        m_quad.technique = UiTechnique::Textured;
    }
}

void UiDrawContext::DrawQuad(const UiElement& element) {
    m_quad.world = QuadMatrix(element);
}

void UiDrawContext::SetText(const char* text) {
    m_textMode = true;
    m_text.text = text;
}

void UiDrawContext::SetTextPosition(float x, float y) {
    m_text.x = x;
    m_text.y = y;
}

void UiDrawContext::Flush() {
    if (m_cancelled) {
        m_cancelled = false;
    } else if (!m_textMode) {
        m_target.DrawQuad(m_quad);
    } else if (m_text.text != nullptr) {
        m_target.DrawText(m_text);
    }
    ResetTextState();
}

void UiDrawContext::ResetTextState() {
    m_textMode = false;
    m_text.wrapWidth = 0;
    m_text.alignment = 0;
}

Matrix4 UiDrawContext::QuadMatrix(const UiElement& element) {
    return QuadMatrix(element.GetWidth(), element.GetHeight(), element.GetScaleX(), element.GetScaleY(),
                      element.GetRotation(), element.GetAbsoluteX(), element.GetAbsoluteY());
}

Matrix4 UiDrawContext::QuadMatrix(float width, float height, float scaleX, float scaleY, float rotation, float x,
                                  float y) {
    const float c = std::cos(rotation);
    const float s = std::sin(rotation);
    const float a = scaleX * width / kScreenUnits;
    const float b = scaleY * height / kScreenUnits;
    Matrix4 world = Matrix4::Identity();
    world(0, 0) = c * a;
    world(0, 1) = s * a;
    world(1, 0) = -s * b;
    world(1, 1) = c * b;
    world(3, 0) = x / kScreenUnits;
    world(3, 1) = -y / kScreenUnits;
    return world;
}

}  // namespace Ostrel
