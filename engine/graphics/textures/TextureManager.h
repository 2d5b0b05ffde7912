#pragma once
// The texture registry. Textures are stored by name and owned here:
//   - image resources (IMAGE kind: png, tga, dds, pfm) under their base name
//     with its case kept; the first load of a name wins and later loads of
//     the same base name do nothing;
//   - files loaded by path (the model viewer) replace the pixels of the
//     texture of the same base name, so pointers to it stay valid;
//   - generated float lookup textures (tile maps) under ":" and a ten-digit
//     counter (":0000000000" first); they cannot clash with file names.
//
// Threads: the background loader inserts while the main thread looks up, so
// every map access takes the manager's lock. A Texture* stays valid until
// Destroy or Clear; a texture is filed only once its pixels are in place.

#include "engine/core/GenericManager.h"
#include "engine/base/Types.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Ostrel {

class Texture;

class TextureManager : public GenericManager<TextureManager> {
public:
    TextureManager();
    ~TextureManager() override;

    // A new empty texture filed under name (a texture already there is
    // deleted).
    Texture* Create(const std::string& name);
    // Files texture under the next generated name, written to *outName when
    // given.
    Texture* CreateUnique(std::string* outName, std::unique_ptr<Texture> texture);
    // The texture of that name, or null.
    Texture* Find(const std::string& name) const;
    // Deletes texture and its entry; a pointer the manager does not hold is
    // ignored.
    void Destroy(Texture* texture);
    void Clear();
    std::size_t Count() const;

    // Builds a float lookup texture from a grid of integers written as text
    // (whitespace separated, first row first): width x height values, value v
    // becoming the texel (v mod columns, v div columns, 0), the atlas cell's
    // column and row. The texture that *slot held is destroyed first and the
    // new one (or null when the input is refused) is stored in *slot; its
    // generated name goes to *outName and the values read to *outValues when
    // given. width and height must be whole numbers from 1 to 4096 and
    // columns at least 1; cells the text does not fill are tile (0, 0).
    void CreateFloatTexture(Texture** slot, const std::string& grid, float width, float height, int columns,
                            std::string* outName, std::vector<int>* outValues = nullptr);
    // The same from values already in a list (row r, column c at r x width + c).
    void CreateFloatTextureFromRows(Texture** slot, const std::vector<int>& values, float width, float height,
                                    int columns, std::string* outName);

private:
    // Files texture under name unless the name is taken; answers the texture
    // filed under name.
    Texture* Insert(const std::string& name, std::unique_ptr<Texture> texture);
    void MakeFloatTexture(Texture** slot, const std::vector<int>& values, u32 width, u32 height, int columns,
                          std::string* outName);

    mutable std::mutex m_mutex;
    u32 m_counter = 0;
    std::map<std::string, std::unique_ptr<Texture>> m_textures;

    friend void LoadTextureResource(const std::string& path);
};

// The float-map bytes of a lookup texture (see CreateFloatTexture): the header
// lines "PF", "<width> <height>" and "-1.000000", then little-endian RGB
// floats, the last grid row first. values holds width x height entries.
std::string BuildFloatTextureImage(const std::vector<int>& values, u32 width, u32 height, int columns);

// The IMAGE resource loader: files the image under the path's base name unless
// that name is already taken.
void LoadTextureResource(const std::string& path);
// Loads an image by path for the model viewer, replacing the pixels of the
// texture of the same base name (or making it). Answers the texture, or null
// when there is no texture manager or the file could not be read (logged; the
// texture keeps the pixels it had), so the viewer can say so.
Texture* LoadTextureFromFile(const std::string& path);

}  // namespace Ostrel
