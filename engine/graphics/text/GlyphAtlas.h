#pragma once
// The CPU side of a font's glyph texture: one 8-bit coverage image into which
// each glyph is rendered once, packed in shelves (rows of glyphs) with one
// blank pixel between neighbours so that filtering never bleeds. When a glyph
// no longer fits, the image grows downward by doubling its height (up to
// kMaxHeight); placements already made keep their pixel positions, so
// texture coordinates are taken as pixels and divided by the current size
// when the text is drawn. Version() changes with every change of the pixels,
// which tells the drawing side to upload again.

#include "engine/base/Types.h"

#include <vector>

namespace Ostrel {

class GlyphAtlas {
public:
    static constexpr int kMaxHeight = 4096;

    explicit GlyphAtlas(int width = 512, int height = 128);

    // Copies a width x height coverage block (top row first) into free space
    // and answers its top-left pixel. False when it cannot fit even at the
    // largest size (or is wider than the atlas); nothing changes then.
    bool Add(int width, int height, const u8* coverage, int& x, int& y);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    const std::vector<u8>& Pixels() const { return m_pixels; }
    u32 Version() const { return m_version; }
    // Unique in the process: tells atlases apart after one is destroyed and
    // another made at the same address.
    u64 Id() const { return m_id; }

private:
    bool Reserve(int width, int height, int& x, int& y);

    int m_width;
    int m_height;
    std::vector<u8> m_pixels;
    int m_shelfX = 1;
    int m_shelfY = 1;
    int m_shelfHeight = 0;
    u32 m_version = 1;
    u64 m_id;
};

}  // namespace Ostrel
