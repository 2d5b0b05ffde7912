// SerializerLevelSave::SaveRoom: the level editor's room save.
#include "engine/io/SerializerLevelSave.h"

#include "engine/base/Log.h"
#include "engine/base/Paths.h"
#include "engine/core/Composition.h"
#include "engine/resources/ResourceManager.h"

namespace Ostrel {

bool SerializerLevelSave::SaveRoom(const std::string& saveName, const std::vector<Composition*>& objects,
                                   int difficulty) {
    ResourceManager* resources = ResourceManager::Instance();
    if (resources == nullptr) {
        LogMessage("Failed to save room '" + saveName + "': no resource manager\n");
        return false;
    }
    const std::string path = resources->MakeRootPath("\\level\\" + saveName + ".xrm").GetString();
    CreateDirectories(path.substr(0, path.find_last_of('/')));
    if (!WriteRoomFile(path, saveName, objects, difficulty)) {
        return false;
    }
    resources->AddResourcePath(path);
    return true;
}

}  // namespace Ostrel
