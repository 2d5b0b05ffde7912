#pragma once
// How the visual components reach textures and tile palettes. Both registries
// sit above the components (textures in graphics, palettes in world), so the
// components see them only through this interface, in the way MeshLookup
// serves meshes: the world layer installs an implementation for as long as
// the registries live (WorldVisualLookup), and tests install their own. With
// none installed every look-up finds nothing and no tile texture is made,
// which the components treat like unknown names.
//
// Main thread only, like the components that use it.

#include "engine/base/Types.h"

#include <string>
#include <vector>

namespace Ostrel {

class Texture;
class TilePaletteRecord;

class VisualLookup {
public:
    virtual ~VisualLookup() = default;

    // The registry's texture of that name, or null. The registry owns it.
    virtual Texture* FindTexture(const std::string& name) const = 0;
    // The tile palette of that name, or null (also for an empty name).
    virtual TilePaletteRecord* FindTilePalette(const std::string& name) const = 0;
    // The column count of the palette's tile atlas (at least 1).
    virtual int GetPaletteColumns(const TilePaletteRecord& palette) const = 0;
    // Replaces the texture in *slot (destroying it) by a float tile texture
    // of width x height cells taken from grid (row r, column c at
    // r x width + c; grid holds exactly width x height values): cell value v
    // becomes the texel (v mod columns, v div columns, 0). Its generated name
    // goes to *name. The new texture belongs to the caller, who gives it back
    // with DestroyTexture; *slot is null when none could be made.
    virtual void BuildTileTexture(Texture** slot, const std::vector<s32>& grid, int width, int height,
                                  int columns, std::string* name) = 0;
    // Destroys a texture that BuildTileTexture made.
    virtual void DestroyTexture(Texture* texture) = 0;
    // What a mesh drawn with the palette samples: the atlas texture (null
    // while unknown) and the fraction of the atlas one tile covers in u and
    // v. The default answers no atlas and (1, 1).
    virtual void GetPaletteAtlas(const TilePaletteRecord& palette, Texture** atlas, float* tileU,
                                 float* tileV) const;

    // The installed look-up, or null.
    static VisualLookup* Current();
    // Installs lookup (null uninstalls). Returns the one it replaces.
    static VisualLookup* Install(VisualLookup* lookup);
};

// Look-ups through the installed VisualLookup; null without one.
Texture* FindTextureByName(const std::string& name);
TilePaletteRecord* FindTilePaletteByName(const std::string& name);
// The palette's atlas and tile fractions through the installed look-up (no
// atlas and (1, 1) without one).
void GetPaletteAtlas(const TilePaletteRecord& palette, Texture** atlas, float* tileU, float* tileV);

}  // namespace Ostrel
