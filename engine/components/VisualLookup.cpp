#include "engine/components/VisualLookup.h"

namespace Ostrel {

namespace {
VisualLookup* s_current = nullptr;
}  // namespace

VisualLookup* VisualLookup::Current() { return s_current; }

VisualLookup* VisualLookup::Install(VisualLookup* lookup) {
    VisualLookup* previous = s_current;
    s_current = lookup;
    return previous;
}

void VisualLookup::GetPaletteAtlas(const TilePaletteRecord&, Texture** atlas, float* tileU, float* tileV) const {
    *atlas = nullptr;
    *tileU = 1.0f;
    *tileV = 1.0f;
}

Texture* FindTextureByName(const std::string& name) {
    VisualLookup* lookup = VisualLookup::Current();
    return lookup ? lookup->FindTexture(name) : nullptr;
}

TilePaletteRecord* FindTilePaletteByName(const std::string& name) {
    VisualLookup* lookup = VisualLookup::Current();
    return lookup && !name.empty() ? lookup->FindTilePalette(name) : nullptr;
}

void GetPaletteAtlas(const TilePaletteRecord& palette, Texture** atlas, float* tileU, float* tileV) {
    if (VisualLookup* lookup = VisualLookup::Current()) {
        lookup->GetPaletteAtlas(palette, atlas, tileU, tileV);
        return;
    }
    *atlas = nullptr;
    *tileU = 1.0f;
    *tileV = 1.0f;
}

}  // namespace Ostrel
