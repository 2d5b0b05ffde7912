#pragma once
// Registers the loaders of the resource kinds whose formats have an owner
// (archetypes, sound manifests and sounds, property pages, models and
// animation sets, fonts, images, tile and room palettes, scenes, tutorials,
// the level order) with the resource manager. Each program's start-up calls
// it right after RegisterResourceKinds; tests that load the shipped data as
// the game does call it too.

namespace Ostrel {

class ResourceManager;

void RegisterResourceLoaders(ResourceManager& resources);

}  // namespace Ostrel
