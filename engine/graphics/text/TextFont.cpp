#include "engine/graphics/text/TextFont.h"

#include "engine/graphics/text/FontRegistry.h"
#include "engine/graphics/text/TextSprite.h"
#include "engine/base/Log.h"

#include <algorithm>

namespace Ostrel {

namespace {

bool IsControl(char32_t c) {
    return c < 0x20 || c == 0x7F;
}

int Limited(int size, const char* what, const std::string& family) {
    if (size >= -TextFont::kMaxPixelSize && size <= TextFont::kMaxPixelSize) return size;
    const int limited = size < 0 ? -TextFont::kMaxPixelSize : TextFont::kMaxPixelSize;
    LogMessagef("font '%s': %s %d pixels is out of range; using %d\n", family.c_str(), what, size, limited);
    return limited;
}

}  // namespace

std::unique_ptr<TextFont> TextFont::Create(const TextFontDesc& desc, TextRenderer* renderer) {
    const bool bold = desc.weight >= kBoldFrom;
    std::optional<FontRegistry::Match> match = FontRegistry::Instance().Find(desc.family, bold, desc.italic);
    if (!match) return nullptr;
    FaceSize size{Limited(desc.height, "height", desc.family), Limited(desc.width, "width", desc.family),
                  match->syntheticBold, match->syntheticItalic};
    std::string error;
    std::unique_ptr<FontFace> face = FontFace::Open(match->bytes, size, &error);
    if (!face) {
        LogMessagef("font '%s' (face '%s' from %s, height %d): %s; its text is not drawn\n", desc.family.c_str(),
                    match->family.c_str(), match->origin.empty() ? "memory" : match->origin.c_str(), desc.height,
                    error.c_str());
        return nullptr;
    }
    return std::unique_ptr<TextFont>(new TextFont(desc, std::move(face), match->family, renderer));
}

TextFont::TextFont(TextFontDesc desc, std::unique_ptr<FontFace> face, std::string faceFamily,
                   TextRenderer* renderer)
    : m_desc(std::move(desc)), m_face(std::move(face)), m_faceFamily(std::move(faceFamily)), m_renderer(renderer) {}

TextFont::Glyph& TextFont::Lookup(char32_t c) {
    auto it = m_glyphs.find(c);
    if (it != m_glyphs.end()) return it->second;
    Glyph glyph;
    if (!IsControl(c)) {
        glyph.index = m_face->GlyphIndex(c);
        glyph.advance = m_face->Advance(glyph.index);
    }
    return m_glyphs.emplace(c, glyph).first->second;
}

int TextFont::Advance(char32_t c) {
    return Lookup(c).advance;
}

int TextFont::Kerning(char32_t left, char32_t right) {
    const u64 key = (static_cast<u64>(left) << 32) | right;
    auto it = m_kerning.find(key);
    if (it != m_kerning.end()) return it->second;
    const int value = IsControl(left) || IsControl(right) ? 0 : m_face->Kerning(Lookup(left).index, Lookup(right).index);
    m_kerning.emplace(key, value);
    return value;
}

void TextFont::Place(Glyph& glyph) {
    glyph.rendered = true;
    GlyphImage image;
    if (!m_face->Render(glyph.index, image) || image.width == 0 || image.height == 0) return;
    if (!m_atlas.Add(image.width, image.height, image.coverage.data(), glyph.atlasX, glyph.atlasY)) {
        if (!m_reportedFull) {
            LogMessagef("font '%s' (height %d): the glyph atlas is full; further new characters are not drawn\n",
                        m_desc.family.c_str(), m_desc.height);
            m_reportedFull = true;
        }
        return;
    }
    glyph.visible = true;
    glyph.left = image.left;
    glyph.top = image.top;
    glyph.width = image.width;
    glyph.height = image.height;
}

int TextFont::DrawText(TextSprite* sprite, std::string_view text, TextRect& rect, u32 format, u32 argb) {
    const std::u32string chars = DecodeUtf8(text);
    const TextLayout layout = LayOutText(chars, rect, format, *this);
    if (format & DT_CALCRECT) {
        rect = layout.bounds;
        return layout.height;
    }
    if (sprite) {
        DrawLines(*sprite, chars, layout, rect, format, argb);
    } else {
        TextSprite own(m_renderer);
        own.Begin(TextSprite::kAlphaBlend);
        DrawLines(own, chars, layout, rect, format, argb);
        own.End();
    }
    return layout.height;
}

void TextFont::DrawLines(TextSprite& sprite, std::u32string_view text, const TextLayout& layout, const TextRect& rect,
                         u32 format, u32 argb) {
    const bool clip = !(format & DT_NOCLIP);
    const int ascent = m_face->Ascent();
    for (const TextLine& line : layout.lines) {
        int pen = line.x;
        char32_t previous = 0;
        for (size_t i = line.begin; i < line.end; ++i) {
            const char32_t c = text[i];
            if (previous) pen += Kerning(previous, c);
            previous = c;
            Glyph& glyph = Lookup(c);
            if (!glyph.rendered && !IsControl(c)) Place(glyph);
            const int advance = glyph.advance;
            if (glyph.visible) {
                int left = pen + glyph.left;
                int top = line.y + ascent - glyph.top;
                int right = left + glyph.width;
                int bottom = top + glyph.height;
                int atlasX = glyph.atlasX;
                int atlasY = glyph.atlasY;
                if (clip) {
                    const int cutLeft = std::max(0, rect.left - left);
                    const int cutTop = std::max(0, rect.top - top);
                    left += cutLeft;
                    top += cutTop;
                    atlasX += cutLeft;
                    atlasY += cutTop;
                    right = std::min(right, rect.right);
                    bottom = std::min(bottom, rect.bottom);
                }
                if (right > left && bottom > top) {
                    sprite.Add(m_atlas, {float(left), float(top), float(right), float(bottom), atlasX, atlasY, argb});
                }
            }
            pen += advance;
        }
    }
}

}  // namespace Ostrel
