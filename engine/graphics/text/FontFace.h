#pragma once
// One font face at one size and style, read from a font file's bytes: the
// face's metrics, advances, kerning and rasterised glyphs in whole pixels.
// FreeType and fontconfig stay inside FontFace.cpp; callers see only these
// types.
//
// Sizes follow the conventions the engine's text callers use: a negative
// height asks for a character (em) height in pixels, a positive one for a cell
// height (ascent + descent), and a non-zero width for an average character
// width, which stretches or narrows the glyphs. Ascent and descent come from
// the face's Windows metrics (OS/2 table) when it has them, else from its
// horizontal header. Synthetic bold thickens the outlines and widens each
// advance by the same amount; synthetic italic slants the outlines.
//
// A FontFace is used by one thread at a time; each owns its FreeType library
// object, so faces on different threads never share state.

#include "engine/base/Types.h"

#include <memory>
#include <string>
#include <vector>

namespace Ostrel {

using FontBytes = std::shared_ptr<const std::vector<u8>>;

struct FontFileInfo {
    std::string family;
    std::string style;
    bool bold = false;
    bool italic = false;
};

// The names of the first face in a font file's bytes. False, with error set,
// when the bytes are no font file FreeType reads.
bool ReadFontFileInfo(const std::vector<u8>& bytes, FontFileInfo& info, std::string* error);

// The path of the installed font file that the platform's font lookup
// (fontconfig) offers for the family and style: a face of that family, or
// one the platform configures as its metric-compatible stand-in ("Arial" may
// give "Liberation Sans"). Empty when it would only offer a generic default,
// or a face that is not an outline or not the first of its file.
std::string FindSystemFontFile(const std::string& family, bool bold, bool italic);

struct FaceSize {
    int height = 0;   // pixels: < 0 em height, > 0 cell height, 0 the default em of 16
    int width = 0;    // average character width in pixels, 0 = the face's proportions
    bool syntheticBold = false;
    bool syntheticItalic = false;
};

struct GlyphImage {
    int left = 0;     // from the pen on the baseline to the bitmap's left column
    int top = 0;      // from the baseline up to the bitmap's top row
    int width = 0;
    int height = 0;
    std::vector<u8> coverage;  // width * height, top row first
};

class FontFace {
public:
    // Null, with error set, when the bytes cannot be read or sized.
    static std::unique_ptr<FontFace> Open(FontBytes bytes, const FaceSize& size, std::string* error);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    int Ascent() const;   // pixels above the baseline
    int Descent() const;  // pixels below it
    // 0 (the face's "missing" glyph) for characters it lacks.
    u32 GlyphIndex(char32_t c) const;
    // Hinted advance in pixels.
    int Advance(u32 glyph);
    int Kerning(u32 leftGlyph, u32 rightGlyph) const;
    // False when the glyph cannot be loaded; an empty image (a blank) is fine.
    bool Render(u32 glyph, GlyphImage& out);

private:
    struct Impl;
    explicit FontFace(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

}  // namespace Ostrel
