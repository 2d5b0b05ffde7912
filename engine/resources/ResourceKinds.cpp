#include "engine/resources/ResourceKinds.h"

#include "engine/resources/ResourceManager.h"

namespace Ostrel {

namespace {

struct ExtensionKind {
    const char* extension;
    const char* kind;
};

constexpr ExtensionKind kExtensions[] = {
    {"xobj", kKindArchetype}, {"png", kKindImage},        {"tga", kKindImage},
    {"dds", kKindImage},      {"pfm", kKindImage},        {"bin", kKindGeometry},
    {"xlvl", kKindLevel},     {"lua", kKindScript},       {"psh", kKindShader},
    {"xcfg", kKindConfig},    {"xstt", kKindState},       {"mp3", kKindAudio},
    {"wav", kKindAudio},      {"xsm", kKindSoundManifest}, {"scn", kKindScene},
    {"pkg", kKindPackage},    {"xlod", kKindLevelOrder},  {"ttf", kKindFont},
    {"xpro", kKindProperty},  {"xpal", kKindTilePalette}, {"rmp", kKindRoomPalette},
    {"xrm", kKindRoom},       {"tut", kKindTutorial},     {"anim", kKindAnimWrapper},
};

constexpr const char* kBackgroundOrder[] = {
    kKindArchetype, kKindImage,       kKindFont,        kKindSoundManifest,
    kKindAudio,     kKindScene,       kKindGeometry,    kKindAnimWrapper,
    kKindRoomPalette, kKindProperty,  kKindTutorial,    kKindTilePalette,
};

}  // namespace

void RegisterResourceKinds(ResourceManager& manager, const std::string& root) {
    for (const ExtensionKind& entry : kExtensions) manager.RegisterExtension(entry.kind, entry.extension);
    manager.RegisterLoader(kKindPackage, &LoadPackageResource);
    manager.LoadHierarchy(root);
    for (const char* kind : kBackgroundOrder) manager.QueueKindForBackgroundLoad(kind);
}

}  // namespace Ostrel
