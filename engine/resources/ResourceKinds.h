#pragma once
// The resource kinds every program registers: 24 extensions in 20 kinds, the
// package loader, and the order in which BackgroundLoad visits the kinds.
// The other loaders belong to the subsystems that own the formats; each
// registers its own with ResourceManager::RegisterLoader(kKind..., callback)
// before anything is loaded.

#include <string>

namespace Ostrel {

class ResourceManager;

inline constexpr const char* kKindArchetype = "ARCHETYPE";
inline constexpr const char* kKindImage = "IMAGE";
inline constexpr const char* kKindGeometry = "GEOMETRY";
inline constexpr const char* kKindLevel = "LEVEL";
inline constexpr const char* kKindScript = "SCRIPT";
inline constexpr const char* kKindShader = "SHADER";
inline constexpr const char* kKindConfig = "CONFIG";
inline constexpr const char* kKindState = "STATE";
inline constexpr const char* kKindAudio = "AUDIO";
inline constexpr const char* kKindSoundManifest = "SOUND_MANIFEST";
inline constexpr const char* kKindScene = "SCENE";
inline constexpr const char* kKindPackage = "PACKAGE";
inline constexpr const char* kKindLevelOrder = "LEVELORDERDOC";
inline constexpr const char* kKindFont = "FONT";
inline constexpr const char* kKindProperty = "PROPERTY";
inline constexpr const char* kKindTilePalette = "TILE_PALETTE";
inline constexpr const char* kKindRoomPalette = "ROOM_PALETTE";
inline constexpr const char* kKindRoom = "ROOM";
inline constexpr const char* kKindTutorial = "TUTORIAL";
inline constexpr const char* kKindAnimWrapper = "ANIM_WRAPPER";

// The resource directory in the working directory.
inline constexpr const char* kResourceRoot = "rsc";
// The package every program loads before its run.
inline constexpr const char* kLoadingPackage = "loading-pkg";

// Registers the extensions and the package loader, walks root, and queues
// the background kinds.
void RegisterResourceKinds(ResourceManager& manager, const std::string& root = kResourceRoot);

}  // namespace Ostrel
