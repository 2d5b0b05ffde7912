#include "engine/graphics/text/FontFace.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Ostrel {

namespace {

constexpr int kDefaultEm = 16;
// The slant of synthetic italic: x += 0.2 y.
constexpr FT_Fixed kItalicShear = 0x3333;

struct Library {
    FT_Library handle = nullptr;
    Library() {
        if (FT_Init_FreeType(&handle) != 0) handle = nullptr;
    }
    ~Library() {
        if (handle) FT_Done_FreeType(handle);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
};

struct Face {
    FT_Face handle = nullptr;
    ~Face() {
        if (handle) FT_Done_Face(handle);
    }
};

std::string ErrorText(const char* what, FT_Error error) {
    const char* text = FT_Error_String(error);
    return std::string(what) + " (FreeType error " + std::to_string(error) + (text ? std::string(": ") + text : "") + ")";
}

int RoundToInt(double v) {
    return static_cast<int>(std::lround(v));
}

int PixelsOf26Dot6(FT_Pos v) {
    return static_cast<int>((v + 32) >> 6);
}

}  // namespace

struct FontFace::Impl {
    FontBytes bytes;
    Library library;
    Face face;
    int ascent = 0;
    int descent = 0;
    bool bold = false;
    FT_Pos boldStrength = 0;  // 26.6
    int boldAdvance = 0;

    bool Load(u32 glyph) {
        return FT_Load_Glyph(face.handle, glyph, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) == 0;
    }
};

bool ReadFontFileInfo(const std::vector<u8>& bytes, FontFileInfo& info, std::string* error) {
    Library library;
    Face face;
    if (!library.handle) {
        if (error) *error = "FreeType could not start";
        return false;
    }
    const FT_Error e = FT_New_Memory_Face(library.handle, bytes.data(), static_cast<FT_Long>(bytes.size()), 0,
                                          &face.handle);
    if (e != 0) {
        if (error) *error = ErrorText("not a font file", e);
        return false;
    }
    if (!face.handle->family_name) {
        if (error) *error = "the font has no family name";
        return false;
    }
    info.family = face.handle->family_name;
    info.style = face.handle->style_name ? face.handle->style_name : "";
    info.bold = (face.handle->style_flags & FT_STYLE_FLAG_BOLD) != 0;
    info.italic = (face.handle->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
    return true;
}

FontFace::FontFace(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
FontFace::~FontFace() = default;

std::unique_ptr<FontFace> FontFace::Open(FontBytes bytes, const FaceSize& size, std::string* error) {
    auto impl = std::make_unique<Impl>();
    impl->bytes = std::move(bytes);
    if (!impl->library.handle || !impl->bytes) {
        if (error) *error = "FreeType could not start";
        return nullptr;
    }
    FT_Error e = FT_New_Memory_Face(impl->library.handle, impl->bytes->data(),
                                    static_cast<FT_Long>(impl->bytes->size()), 0, &impl->face.handle);
    if (e != 0) {
        if (error) *error = ErrorText("not a font file", e);
        return nullptr;
    }
    FT_Face face = impl->face.handle;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
        if (error) *error = "the font has no scalable outlines";
        return nullptr;
    }
    const double unitsPerEm = face->units_per_EM;
    double ascentUnits = face->ascender;
    double descentUnits = -face->descender;
    double averageWidthUnits = 0.0;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2)); os2 && os2->version != 0xFFFF) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            ascentUnits = os2->usWinAscent;
            descentUnits = os2->usWinDescent;
        }
        averageWidthUnits = os2->xAvgCharWidth;
    }
    const double cellUnits = std::max(1.0, ascentUnits + descentUnits);
    double emY = kDefaultEm;
    if (size.height < 0) emY = -size.height;
    if (size.height > 0) emY = size.height * unitsPerEm / cellUnits;
    double emX = emY;
    if (size.width > 0 && averageWidthUnits > 0.0) emX = size.width * unitsPerEm / averageWidthUnits;

    e = FT_Set_Char_Size(face, static_cast<FT_F26Dot6>(std::lround(emX * 64.0)),
                         static_cast<FT_F26Dot6>(std::lround(emY * 64.0)), 72, 72);
    if (e != 0) {
        if (error) *error = ErrorText("the font cannot be sized", e);
        return nullptr;
    }
    if (size.height > 0) {
        impl->ascent = RoundToInt(size.height * ascentUnits / cellUnits);
        impl->descent = size.height - impl->ascent;
    } else {
        impl->ascent = RoundToInt(ascentUnits * emY / unitsPerEm);
        impl->descent = RoundToInt(descentUnits * emY / unitsPerEm);
    }
    if (size.syntheticItalic) {
        FT_Matrix shear{0x10000, kItalicShear, 0, 0x10000};
        FT_Set_Transform(face, &shear, nullptr);
    }
    if (size.syntheticBold) {
        impl->bold = true;
        impl->boldStrength = std::max<FT_Pos>(64, static_cast<FT_Pos>(std::lround(emY * 64.0 / 24.0)));
        impl->boldAdvance = std::max(1, PixelsOf26Dot6(impl->boldStrength));
    }
    return std::unique_ptr<FontFace>(new FontFace(std::move(impl)));
}

int FontFace::Ascent() const {
    return m_impl->ascent;
}

int FontFace::Descent() const {
    return m_impl->descent;
}

u32 FontFace::GlyphIndex(char32_t c) const {
    return FT_Get_Char_Index(m_impl->face.handle, c);
}

int FontFace::Advance(u32 glyph) {
    if (!m_impl->Load(glyph)) return 0;
    return PixelsOf26Dot6(m_impl->face.handle->glyph->advance.x) + (m_impl->bold ? m_impl->boldAdvance : 0);
}

int FontFace::Kerning(u32 leftGlyph, u32 rightGlyph) const {
    FT_Face face = m_impl->face.handle;
    if (!FT_HAS_KERNING(face) || leftGlyph == 0 || rightGlyph == 0) return 0;
    FT_Vector delta{0, 0};
    if (FT_Get_Kerning(face, leftGlyph, rightGlyph, FT_KERNING_DEFAULT, &delta) != 0) return 0;
    return PixelsOf26Dot6(delta.x);
}

bool FontFace::Render(u32 glyph, GlyphImage& out) {
    out = GlyphImage{};
    if (!m_impl->Load(glyph)) return false;
    FT_GlyphSlot slot = m_impl->face.handle->glyph;
    if (m_impl->bold && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        FT_Outline_Embolden(&slot->outline, m_impl->boldStrength);
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return false;
    const FT_Bitmap& bitmap = slot->bitmap;
    out.left = slot->bitmap_left;
    out.top = slot->bitmap_top;
    out.width = static_cast<int>(bitmap.width);
    out.height = static_cast<int>(bitmap.rows);
    out.coverage.resize(static_cast<size_t>(out.width) * out.height);
    for (int row = 0; row < out.height; ++row) {
        const int sourceRow = bitmap.pitch >= 0 ? row : out.height - 1 - row;
        const unsigned char* source = bitmap.buffer + static_cast<ptrdiff_t>(sourceRow) * std::abs(bitmap.pitch);
        std::memcpy(out.coverage.data() + static_cast<size_t>(row) * out.width, source, out.width);
    }
    return true;
}

}  // namespace Ostrel
