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

Texture* FindTextureByName(const std::string& name) {
    VisualLookup* lookup = VisualLookup::Current();
    return lookup ? lookup->FindTexture(name) : nullptr;
}

TilePaletteRecord* FindTilePaletteByName(const std::string& name) {
    VisualLookup* lookup = VisualLookup::Current();
    return lookup && !name.empty() ? lookup->FindTilePalette(name) : nullptr;
}

}  // namespace Ostrel
