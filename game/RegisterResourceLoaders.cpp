#include "game/RegisterResourceLoaders.h"

#include "engine/graphics/models/ModelLoaders.h"
#include "engine/graphics/text/FontTemplateManager.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/io/ArchetypeLoader.h"
#include "engine/io/PropertyManager.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/sound/SoundDeviceManager.h"
#include "engine/ui/UiSceneManager.h"
#include "engine/world/GameSystem.h"
#include "engine/world/RoomPaletteManager.h"
#include "engine/world/TilePaletteRecord.h"
#include "engine/world/TutorialManager.h"

namespace Ostrel {

void RegisterResourceLoaders(ResourceManager& resources) {
    resources.RegisterLoader(kKindArchetype, LoadArchetypeResource);
    RegisterSoundLoaders(resources);
    resources.RegisterLoader(kKindProperty, LoadPropertyAsset);
    RegisterModelLoaders(resources);
    RegisterFontLoader(resources);
    resources.RegisterLoader(kKindImage, LoadTextureResource);
    resources.RegisterLoader(kKindTilePalette, LoadTilePaletteResource);
    resources.RegisterLoader(kKindRoomPalette, LoadRoomPaletteResource);
    resources.RegisterLoader(kKindScene, LoadSceneResource);
    resources.RegisterLoader(kKindTutorial, LoadTutorialFile);
    resources.RegisterKindLoaded(kKindTutorial, CheckTutorialDependencies);
    resources.RegisterLoader(kKindLevelOrder, LoadLevelOrderResource);
}

}  // namespace Ostrel
