#include "tools/panels/BarLayout.h"

#include "engine/base/Serializer.h"
#include "engine/base/Log.h"
#include "engine/io/ConfigureFileXML.h"
#include "engine/io/UserDataFolder.h"
#include "tools/panels/PanelApi.h"

#include <filesystem>

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

std::string ToolLayoutPath(const char* file) {
    CreateUserDataFolder(kUserFolderName);
    return GetUserDataPath(kUserFolderName) + "/" + file;
}

bool ReadUserLayout(const std::string& toolName, const char* file, const std::function<void(Serializer&)>& read) {
    const std::string path = ToolLayoutPath(file);
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return false;
    ConfigureFileXML config(true);
    if (!config.Load(path)) {
        LogMessage(path + ": configuration of " + toolName + " could not be read (" + config.LoadError() +
                   "), the shipped layout is kept\n");
        return false;
    }
    read(config);
    return true;
}

}  // namespace Ostrel
