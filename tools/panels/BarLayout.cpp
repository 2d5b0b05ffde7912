#include "tools/panels/BarLayout.h"

#include "engine/base/Serializer.h"
#include "engine/io/FilePath.h"
#include "engine/resources/ResourceManager.h"
#include "tools/panels/PanelApi.h"

namespace Ostrel {

void SerializeBarLayouts(Serializer& serializer, BarLayout* layouts, const char* const (*keys)[4], std::size_t count) {
    for (std::size_t bar = 0; bar < count; ++bar) {
        s32* values[4] = {&layouts[bar].sizeX, &layouts[bar].sizeY, &layouts[bar].posX, &layouts[bar].posY};
        for (int i = 0; i < 4; ++i) serializer.SerializeInt(keys[bar][i], values[i]);
    }
}

void ReadBarPlace(PanelBar* bar, BarLayout& layout) {
    if (!bar) return;
    s32 size[2] = {layout.sizeX, layout.sizeY};
    s32 position[2] = {layout.posX, layout.posY};
    if (TwGetParam(bar, nullptr, "size", PanelParamType::Int32, 2, size)) {
        layout.sizeX = size[0];
        layout.sizeY = size[1];
    }
    if (TwGetParam(bar, nullptr, "position", PanelParamType::Int32, 2, position)) {
        layout.posX = position[0];
        layout.posY = position[1];
    }
}

std::string ToolLayoutPath(const std::string& name, const char* file) {
    ResourceManager* resources = ResourceManager::Instance();
    if (!resources) return std::string("rsc/") + file;
    const FilePath known = resources->GetPath(name);
    if (known.IsValid()) return known.GetString();
    return resources->MakeRootPath(file).GetString();
}

}  // namespace Ostrel
