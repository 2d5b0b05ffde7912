#include "engine/graphics/text/FontTemplateManager.h"

#include "engine/graphics/text/FontRegistry.h"
#include "engine/io/FilePath.h"
#include "engine/base/Log.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"

namespace Ostrel {

FontTemplateManager::~FontTemplateManager() {
    std::lock_guard lock(m_mutex);
    for (u32 handle : m_handles) FontRegistry::Instance().Unregister(handle);
}

void FontTemplateManager::LoadFont(const std::string& path) {
    const std::string name = FilePath(path).GetBaseName();
    std::vector<u8> bytes;
    if (!ReadResourceBytes(name, bytes)) {
        LogMessagef("%s: font file cannot be opened, skipped\n", path.c_str());
        return;
    }
    const u32 handle = FontRegistry::Instance().Register(std::move(bytes), path);
    if (handle == 0) return;
    std::lock_guard lock(m_mutex);
    m_handles.push_back(handle);
}

size_t FontTemplateManager::GetRegisteredCount() const {
    std::lock_guard lock(m_mutex);
    return m_handles.size();
}

void LoadFontResource(const std::string& path) {
    if (FontTemplateManager* manager = FontTemplateManager::Instance()) manager->LoadFont(path);
}

void RegisterFontLoader(ResourceManager& resources) {
    resources.RegisterLoader(kKindFont, &LoadFontResource);
}

}  // namespace Ostrel
