// SerializerLevelSave::SaveRoom: the level editor's room save.
#include "engine/io/SerializerLevelSave.h"

#include "engine/base/Log.h"
#include "engine/base/Paths.h"
#include "engine/core/Composition.h"
#include "engine/io/FilePath.h"
#include "engine/resources/ResourceManager.h"

namespace Ostrel {

bool SerializerLevelSave::SaveRoom(const std::string& saveName, const std::vector<Composition*>& objects,
                                   int difficulty, std::string* why) {
    ResourceManager* resources = ResourceManager::Instance();
    if (resources == nullptr) {
        if (why != nullptr) *why = "no resource manager";
        LogMessage("Failed to save room '" + saveName + "': no resource manager\n");
        return false;
    }
    // The room would hide that file for the game from its next start on
    // (its HUD, its states, a menu): the name is refused, nothing written.
    const std::string holder = resources->PathOf(saveName);
    if (!holder.empty() && ToLowerAscii(FilePath(holder).GetExtension()) != "xrm") {
        if (why != nullptr) *why = "the name is taken by '" + holder + "'";
        return false;
    }
    const std::string path = resources->MakeRootPath("\\level\\" + saveName + ".xrm").GetString();
    CreateDirectories(path.substr(0, path.find_last_of('/')));
    if (!WriteRoomFile(path, saveName, objects, difficulty, why)) {
        return false;
    }
    resources->AddResourcePath(path);
    return true;
}

}  // namespace Ostrel
