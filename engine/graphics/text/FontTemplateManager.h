#pragma once
// Registers the game's font files (".ttf" resources, the FONT kind) so that
// fonts can ask for their faces by family name (FontRegistry). One instance,
// made by the mains; its destructor unregisters every face it registered.
// Font files are loaded by the resource loader, possibly on the loading
// thread.

#include "engine/core/GenericManager.h"
#include "engine/base/Types.h"

#include <mutex>
#include <string>
#include <vector>

namespace Ostrel {

class ResourceManager;

class FontTemplateManager : public GenericManager<FontTemplateManager> {
public:
    FontTemplateManager() = default;
    ~FontTemplateManager() override;

    // Reads the resource named by the path's base name and registers its
    // face. A file that cannot be opened or read as a font is logged and
    // skipped.
    void LoadFont(const std::string& path);

    size_t GetRegisteredCount() const;

private:
    mutable std::mutex m_mutex;
    std::vector<u32> m_handles;
};

// The FONT kind's loader: FontTemplateManager::LoadFont on the live manager.
void LoadFontResource(const std::string& path);
void RegisterFontLoader(ResourceManager& resources);

}  // namespace Ostrel
