#include "engine/graphics/text/FontFace.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
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

// FreeType's own message for an error code; its FT_Error_String answers null
// when the library was built without the messages, as distributions do.
const char* FreeTypeMessage(FT_Error error) {
    if (const char* text = FT_Error_String(error)) return text;
#undef FTERRORS_H_
#define FT_ERRORDEF(e, v, s) {v, s},
#define FT_ERROR_START_LIST {
#define FT_ERROR_END_LIST {0, nullptr}};
    static const struct {
        int code;
        const char* message;
    } kMessages[] =
#include FT_ERRORS_H
    for (const auto& entry : kMessages) {
        if (entry.message && entry.code == error) return entry.message;
    }
    return nullptr;
}

std::string ErrorText(const char* what, FT_Error error) {
    const char* text = FreeTypeMessage(error);
    return std::string(what) + " (FreeType error " + std::to_string(error) + (text ? std::string(": ") + text : "") + ")";
}

int RoundToInt(double v) {
    return static_cast<int>(std::lround(v));
}

int PixelsOf26Dot6(FT_Pos v) {
    return static_cast<int>((v + 32) >> 6);
}

// Family names compare as fontconfig compares them: without case or blanks.
std::string FamilyKey(const char* name) {
    std::string key;
    for (const char* c = name; *c; ++c) {
        if (*c != ' ') key += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    }
    return key;
}

struct Pattern {
    FcPattern* handle = nullptr;
    explicit Pattern(FcPattern* p) : handle(p) {}
    ~Pattern() {
        if (handle) FcPatternDestroy(handle);
    }
    Pattern(const Pattern&) = delete;
    Pattern& operator=(const Pattern&) = delete;
};

// The families the request names for itself after the configuration's
// substitutions: the family asked for and its strong or same-binding aliases
// (the metric-compatible faces), but not the weakly bound generic defaults
// every request ends in.
std::vector<std::string> FamiliesAskedFor(const FcPattern* pattern) {
    std::vector<std::string> keys;
    FcValue value;
    FcValueBinding binding;
    for (int i = 0; FcPatternGetWithBinding(pattern, FC_FAMILY, i, &value, &binding) == FcResultMatch; ++i) {
        if (value.type == FcTypeString && binding != FcValueBindingWeak) {
            keys.push_back(FamilyKey(reinterpret_cast<const char*>(value.u.s)));
        }
    }
    return keys;
}

bool HasFamilyOf(const FcPattern* font, const std::vector<std::string>& keys) {
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
        if (std::find(keys.begin(), keys.end(), FamilyKey(reinterpret_cast<const char*>(name))) != keys.end()) {
            return true;
        }
    }
    return false;
}

// fontconfig loads its configuration and font list on first use and keeps
// them for the process; they are released at exit (after the last lookup),
// so that a leak checker sees a clean end.
void KeepFontconfigUntilExit() {
    static struct Release {
        ~Release() { FcFini(); }
    } s_release;
}

}  // namespace

std::string FindSystemFontFile(const std::string& family, bool bold, bool italic) {
    if (family.empty()) return {};
    KeepFontconfigUntilExit();
    Pattern pattern(FcPatternCreate());
    if (!pattern.handle) return {};
    FcPatternAddString(pattern.handle, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern.handle, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.handle, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    // Null: the process's default configuration, loaded on first use.
    if (!FcConfigSubstitute(nullptr, pattern.handle, FcMatchPattern)) return {};
    FcDefaultSubstitute(pattern.handle);
    FcResult result = FcResultNoMatch;
    Pattern match(FcFontMatch(nullptr, pattern.handle, &result));
    if (!match.handle || !HasFamilyOf(match.handle, FamiliesAskedFor(pattern.handle))) return {};
    // Only outline faces draw at every size, and only a file's first face
    // is read.
    FcBool outline = FcFalse;
    int index = 0;
    FcChar8* file = nullptr;
    if (FcPatternGetBool(match.handle, FC_OUTLINE, 0, &outline) != FcResultMatch || !outline) return {};
    if (FcPatternGetInteger(match.handle, FC_INDEX, 0, &index) == FcResultMatch && index != 0) return {};
    if (FcPatternGetString(match.handle, FC_FILE, 0, &file) != FcResultMatch || !file) return {};
    return reinterpret_cast<const char*>(file);
}

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
