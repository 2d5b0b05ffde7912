#include "engine/graphics/textures/Texture.h"

#include "engine/graphics/RenderDevice.h"
#include "engine/graphics/device/Device.h"

#include "engine/io/FilePath.h"
#include "engine/io/FileSystemFile.h"
#include "engine/io/IFile.h"
#include "engine/base/Log.h"
#include "engine/resources/ResourceManager.h"

#include <vector>

namespace Ostrel {

Texture::~Texture() { Release(); }

bool Texture::LoadFromResource(const char* name) {
    ResourceManager* resources = ResourceManager::Instance();
    const std::string baseName = FilePath(name).GetBaseName();
    std::unique_ptr<IFile> file = resources ? resources->Open(baseName) : nullptr;
    if (!file) {
        LogMessagef("texture '%s': resource cannot be opened, left empty\n", baseName.c_str());
        return false;
    }
    const bool created = CreateFromStream(name, *file);
    file->Close();
    return created;
}

bool Texture::LoadFromFile(const char* path) {
    FileSystemFile file(path);
    if (!file.Open()) {
        LogMessagef("texture file '%s' cannot be opened, left as it was\n", path);
        return false;
    }
    m_loadedFromFile = true;
    return CreateFromStream(path, file);
}

bool Texture::CreateFromStream(const char* name, IFile& file) {
    const s32 size = file.ReadAll(nullptr);
    std::vector<u8> bytes(size > 0 ? std::size_t(size) : 0);
    const s32 read = bytes.empty() ? 0 : file.ReadAll(bytes.data());
    bytes.resize(read > 0 ? std::size_t(read) : 0);
    return CreateFromBytes(name, bytes.data(), bytes.size());
}

bool Texture::CreateFromBytes(const std::string& name, const u8* bytes, std::size_t size) {
    std::optional<Image> image = DecodeImage(bytes, size, name.empty() ? std::string("generated texture") : name);
    if (!image) return false;
    Release();
    m_name = name;
    m_width = float(image->width);
    m_height = float(image->height);
    m_image = std::move(image);
    GetDeviceTexture();
    return true;
}

void Texture::Release() {
    RenderDevice* renderDevice = GetRenderDevice();
    if (m_deviceTexture && renderDevice) {
        std::lock_guard<RenderDevice> lock(*renderDevice);
        // A device released with the window took its textures with it.
        if (rd::Device* device = renderDevice->GetDevice()) device->Release(m_deviceTexture);
    }
    m_deviceTexture = nullptr;
}

rd::Texture* Texture::GetDeviceTexture() {
    if (m_deviceTexture || !m_image) return m_deviceTexture;
    RenderDevice* renderDevice = GetRenderDevice();
    if (!renderDevice) return nullptr;
    std::lock_guard<RenderDevice> lock(*renderDevice);
    rd::Device* device = renderDevice->GetDevice();
    if (!device) return nullptr;
    const rd::Format format = m_image->format == ImageFormat::Rgba8 ? rd::Format::A8R8G8B8 : rd::Format::A32B32G32R32F;
    m_deviceTexture = device->CreateTexture(m_image->width, m_image->height, format, m_image->pixels.data(), false);
    if (m_deviceTexture) m_deviceTexture->SetName(m_name);
    return m_deviceTexture;
}

}  // namespace Ostrel
