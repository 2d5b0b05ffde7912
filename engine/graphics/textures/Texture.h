#pragma once
// One texture: its name, the size of the image it came from, its pixels and
// the device texture made from them. Textures are made by the TextureManager
// (image resources, files dropped on the model viewer, generated float
// lookup textures) and owned by it.
//
// The device texture is created under the render device's lock, so loading
// on the background thread is safe (the device only stores the pixels there
// and uploads them on the render thread). RGBA8 images become A8R8G8B8
// textures, float images A32B32G32R32F; both sample point-filtered. The
// pixels stay with the texture so that it can be made again.

#include "engine/base/Types.h"
#include "engine/graphics/textures/Image.h"

#include <optional>
#include <string>

namespace Ostrel {

class IFile;

namespace rd {
class Texture;
}

class Texture {
public:
    Texture() = default;
    ~Texture();
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
    // Gives the device texture back; the pixels, name and size stay, and the
    // next GetDeviceTexture makes it again.
    void Release();
    // The device texture, made from the pixels when there was no device at
    // load time; null while empty or without a device.
    rd::Texture* GetDeviceTexture();

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
    rd::Texture* m_deviceTexture = nullptr;
};

}  // namespace Ostrel
