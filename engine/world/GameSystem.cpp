#include "engine/world/GameSystem.h"

#include "engine/base/Log.h"
#include "engine/world/LevelInstanceManager.h"
#include "engine/world/RoomInstanceManager.h"
#include "engine/world/RoomLayout.h"
#include "engine/world/RoomPaletteManager.h"

#include <vector>

namespace Ostrel {

bool GameSystem::GenerateLayout(std::string paletteName) {
    m_readyCount = 0;
    m_rebuild = false;
    RoomPaletteManager* palettes = RoomPaletteManager::Instance();
    RoomInstanceManager* rooms = RoomInstanceManager::Instance();
    LevelInstanceManager* level = LevelInstanceManager::Instance();
    if (palettes == nullptr || rooms == nullptr || level == nullptr) {
        LogMessage("GameSystem: no level for '" + paletteName + "' (a levels manager is missing)\n");
        return false;
    }
    palettes->Select(paletteName);
    std::vector<RoomInstanceGroup*> groups;
    rooms->GetGroups(groups);
    std::vector<RoomInstance*> sequence;
    level->SetTitle(rooms->GetTitle());
    if (!AppendRoomSequence(groups, sequence)) sequence.clear();
    return level->Build(sequence);
}

}  // namespace Ostrel
