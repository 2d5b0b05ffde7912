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
    SerializerLevelSave writer;
    writer.WriteAttributes(difficulty);
    for (Composition* object : objects) {
        if (object == nullptr || !object->GetSaveFlag()) {
            continue;
        }
        if (object->GetName().empty()) {
            LogMessage("Room [" + saveName + "]: an object without an archetype name was not saved\n");
            continue;
        }
        writer.WriteObject(*object);
    }
    const std::string path = resources->MakeRootPath("\\level\\" + saveName + ".xrm").GetString();
    CreateDirectories(path.substr(0, path.find_last_of('/')));
    if (!writer.SaveFile(path)) {
        return false;
    }
    resources->AddResourcePath(path);
    return true;
}

}  // namespace Ostrel
