#pragma once
// Batching of text quads between Begin and End, and the interface through
// which they reach the screen. A TextFont lays text out into quads (screen
// pixels and atlas pixels); the sprite collects them and hands each run that
// shares an atlas to its TextRenderer. The renderer is the device side: it
// saves the device state that text changes when the sprite begins, draws with
// alpha blending, and restores that state when the sprite ends, so text can be
// drawn in the middle of a frame without disturbing it.
//
// Main thread only.

#include "engine/base/Types.h"

#include <span>
#include <vector>

namespace Ostrel {

class GlyphAtlas;

struct TextQuad {
    float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;  // screen pixels
    int atlasX = 0, atlasY = 0;  // top-left of the glyph's pixels in the atlas; same size as the quad
    u32 argb = 0;
};

class TextRenderer {
public:
    virtual ~TextRenderer() = default;
    // Saves the state text drawing changes and sets up alpha-blended drawing.
    virtual void BeginText() = 0;
    // Draws quads whose pixels come from atlas (uploading it when its version changed).
    virtual void DrawQuads(const GlyphAtlas& atlas, std::span<const TextQuad> quads) = 0;
    // Restores what BeginText saved.
    virtual void EndText() = 0;
};

class TextSprite {
public:
    // Flag of Begin: blend the text over the picture by its coverage.
    static constexpr u32 kAlphaBlend = 0x10;

    explicit TextSprite(TextRenderer* renderer) : m_renderer(renderer) {}

    void Begin(u32 flags);
    // Draws what was collected and restores the state; End without Begin does nothing.
    void End();
    bool IsDrawing() const { return m_drawing; }

    // Outside Begin/End the quad is drawn at once (a sprite of its own).
    void Add(const GlyphAtlas& atlas, const TextQuad& quad);
    // Draws what is collected so far.
    void Flush();

    TextRenderer* GetRenderer() const { return m_renderer; }
    void SetRenderer(TextRenderer* renderer) { m_renderer = renderer; }

private:
    TextRenderer* m_renderer;
    bool m_drawing = false;
    const GlyphAtlas* m_atlas = nullptr;
    std::vector<TextQuad> m_quads;
};

}  // namespace Ostrel
