// SerializerLevelSave::SaveRoom: the level editor's room save.
#include "engine/io/SerializerLevelSave.h"

#include "engine/base/Log.h"
#include "engine/base/Paths.h"
#include "engine/core/Composition.h"
#include "engine/io/FilePath.h"
#include "engine/resources/ResourceManager.h"

#include <filesystem>

namespace Ostrel {

namespace {

bool IsSamePath(const std::string& a, const std::string& b) {
    return std::filesystem::path(a).lexically_normal() == std::filesystem::path(b).lexically_normal();
}

}  // namespace

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
    // A room file of the same name under another spelling ("Room-Start" for
    // "room-start"), or in another folder, is the same room to the game:
    // a second file would hide one of the two from the next start on.
    const std::string path = resources->MakeRootPath("\\level\\" + saveName + ".xrm").GetString();
    if (!holder.empty() && !IsSamePath(holder, path)) {
        if (why != nullptr) {
            *why = "the name is taken by '" + holder + "'";
            if (FilePath(holder).GetBaseName() != saveName) *why += " (names that differ only in letter case are one name)";
        }
        return false;
    }
    CreateDirectories(path.substr(0, path.find_last_of('/')));
    if (!WriteRoomFile(path, saveName, objects, difficulty, why)) {
        return false;
    }
    resources->AddResourcePath(path);
    return true;
}

}  // namespace Ostrel
