#pragma once
// A font ready to draw: one face at one pixel size and style, its glyph
// cache and its glyph atlas. DrawText lays text out with the DT_ format
// rules (TextLayout.h) and either measures it (DT_CALCRECT: the rectangle is
// updated, nothing is drawn) or sends one quad per visible glyph to a sprite.
// Each glyph is rendered into the atlas once, the first time it is drawn;
// measuring needs only advances.
//
// Main thread only (it is made and used by the font manager and the
// graphics system).

#include "engine/graphics/text/FontFace.h"
#include "engine/graphics/text/GlyphAtlas.h"
#include "engine/graphics/text/TextLayout.h"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace Ostrel {

class TextSprite;
class TextRenderer;

struct TextFontDesc {
    std::string family;
    int height = 0;   // pixels: < 0 em height, > 0 cell height
    int width = 0;    // average character width in pixels, 0 = the face's
    int weight = 0;   // 0 regular; 600 and above bold
    bool italic = false;
};

class TextFont final : public GlyphMetrics {
public:
    static constexpr int kBoldFrom = 600;
    // Heights and widths beyond this many pixels are cut to it (logged): a
    // glyph must fit the atlas, and a huge size from data must not make
    // FreeType render gigabyte bitmaps.
    static constexpr int kMaxPixelSize = 400;

    // Null when no face at all is available (the registry logs why). The
    // renderer draws text given no sprite; it may be null (measuring only).
    static std::unique_ptr<TextFont> Create(const TextFontDesc& desc, TextRenderer* renderer);

    // Measures (DT_CALCRECT) or draws text in rect; answers the text's height.
    // With a null sprite the text is drawn through a sprite of its own.
    int DrawText(TextSprite* sprite, std::string_view text, TextRect& rect, u32 format, u32 argb);

    int Advance(char32_t c) override;
    int Kerning(char32_t left, char32_t right) override;
    int LineHeight() const override { return m_face->Ascent() + m_face->Descent(); }
    int Ascent() const { return m_face->Ascent(); }

    const TextFontDesc& GetDesc() const { return m_desc; }
    // The family the face came from (the fallback's when the asked one is missing).
    const std::string& GetFaceFamily() const { return m_faceFamily; }
    const GlyphAtlas& GetAtlas() const { return m_atlas; }

private:
    struct Glyph {
        u32 index = 0;
        int advance = 0;
        bool rendered = false;  // tried to place in the atlas
        bool visible = false;   // has pixels in the atlas
        int left = 0, top = 0, width = 0, height = 0;
        int atlasX = 0, atlasY = 0;
    };

    TextFont(TextFontDesc desc, std::unique_ptr<FontFace> face, std::string faceFamily, TextRenderer* renderer);
    Glyph& Lookup(char32_t c);
    void Place(Glyph& glyph);
    void DrawLines(TextSprite& sprite, std::u32string_view text, const TextLayout& layout, const TextRect& rect,
                   u32 format, u32 argb);

    TextFontDesc m_desc;
    std::unique_ptr<FontFace> m_face;
    std::string m_faceFamily;
    TextRenderer* m_renderer;
    GlyphAtlas m_atlas;
    std::unordered_map<char32_t, Glyph> m_glyphs;
    std::unordered_map<u64, int> m_kerning;
    bool m_reportedFull = false;
};

}  // namespace Ostrel
