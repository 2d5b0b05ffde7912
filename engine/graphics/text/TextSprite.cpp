#include "engine/graphics/text/TextSprite.h"

namespace Ostrel {

void TextSprite::Begin(u32) {
    if (m_drawing) return;
    m_drawing = true;
    if (m_renderer) m_renderer->BeginText();
}

void TextSprite::End() {
    if (!m_drawing) return;
    Flush();
    m_drawing = false;
    if (m_renderer) m_renderer->EndText();
}

void TextSprite::Add(const GlyphAtlas& atlas, const TextQuad& quad) {
    if (!m_drawing) {
        Begin(kAlphaBlend);
        Add(atlas, quad);
        End();
        return;
    }
    if (m_atlas != &atlas) Flush();
    m_atlas = &atlas;
    m_quads.push_back(quad);
}

void TextSprite::Flush() {
    if (m_renderer && m_atlas && !m_quads.empty()) m_renderer->DrawQuads(*m_atlas, m_quads);
    m_quads.clear();
    m_atlas = nullptr;
}

}  // namespace Ostrel
