#pragma once
// One texture: its name, the size of the image it came from, and its pixels.
// Textures are made by the TextureManager (image resources, files dropped on
// the model viewer, generated float lookup textures) and owned by it.

#include "engine/core/Types.h"
#include "engine/graphics/Image.h"

#include <optional>
#include <string>

namespace Ostrel {

class IFile;

class Texture {
public:
    Texture() = default;
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Opens the resource of the name's base name and creates the texture from
    // its bytes. A missing resource leaves the texture empty (logged).
    bool LoadFromResource(const char* name);
    // Opens path on disk, marks the texture as loaded from a file and creates
    // it from the file's bytes.
    bool LoadFromFile(const char* path);
    // Creates the texture from every byte left in file. name is what the
    // texture was loaded with (a resource or file path).
    bool CreateFromStream(const char* name, IFile& file);
    // Decodes bytes (any format Image.h lists) into this texture, replacing
    // what it held. Bad data is logged under name and leaves the texture as
    // it was (empty for a new one).
    bool CreateFromBytes(const std::string& name, const u8* bytes, std::size_t size);
    // Drops the pixels; the name and size stay.
    void Release();

    const std::string& GetName() const { return m_name; }
    bool IsLoadedFromFile() const { return m_loadedFromFile; }
    // The source image's size in pixels (0 x 0 while empty).
    float GetWidth() const { return m_width; }
    float GetHeight() const { return m_height; }
    bool IsEmpty() const { return !m_image.has_value(); }
    // The decoded pixels, or null while empty.
    const Image* GetImage() const { return m_image ? &*m_image : nullptr; }

private:
    std::string m_name;
    bool m_loadedFromFile = false;
    float m_width = 0.0f;
    float m_height = 0.0f;
    std::optional<Image> m_image;
};

}  // namespace Ostrel
