// Fuzz target: font files through FreeType as the text layer uses them:
// the name read at registration, then the face opened at a size within the
// text layer's limits (taken from the input's first bytes), and a few glyphs
// measured and rasterised.

#include "engine/graphics/text/FontFace.h"
#include "engine/graphics/text/TextFont.h"
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace Ostrel;
    if (size < 2) return 0;
    const int limit = TextFont::kMaxPixelSize;
    const int height = int(int8_t(data[0])) * limit / 128;
    const int width = int(data[1] % 64);
    auto bytes = std::make_shared<const std::vector<u8>>(data + 2, data + size);
    FontFileInfo info;
    std::string error;
    if (!ReadFontFileInfo(*bytes, info, &error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    std::unique_ptr<FontFace> face = FontFace::Open(bytes, {height, width, (data[0] & 1) != 0, (data[1] & 1) != 0},
                                                    &error);
    if (!face) return 0;
    for (const char32_t c : {U'A', U'g', U'\u00e9', U' '}) {
        const u32 glyph = face->GlyphIndex(c);
        (void)face->Advance(glyph);
        GlyphImage image;
        if (face->Render(glyph, image) &&
            image.coverage.size() != std::size_t(image.width) * std::size_t(image.height))
            std::abort();
    }
    (void)face->Kerning(face->GlyphIndex(U'A'), face->GlyphIndex(U'V'));
    return 0;
}
