#pragma once
// Placeholder until the graphics subsystem is built: it registers no fonts;
// the mains only construct and destroy it.

namespace Ostrel {

class FontTemplateManager {
public:
    FontTemplateManager() = default;
    FontTemplateManager(const FontTemplateManager&) = delete;
    FontTemplateManager& operator=(const FontTemplateManager&) = delete;
};

}  // namespace Ostrel
