#include "engine/graphics/Texture.h"

#include "engine/io/FilePath.h"
#include "engine/io/FileSystemFile.h"
#include "engine/io/IFile.h"
#include "engine/io/Log.h"
#include "engine/resources/ResourceManager.h"

#include <vector>

namespace Ostrel {

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
    m_name = name;
    m_width = float(image->width);
    m_height = float(image->height);
    m_image = std::move(image);
    return true;
}

void Texture::Release() { m_image.reset(); }

}  // namespace Ostrel
