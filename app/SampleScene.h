#pragma once
// A fixed scene for the graphics tests, placed only with TAVRIN_SAMPLE_SCENE=1
// (the game itself starts at its menus). It stops at the first
// "LevelLoadStarted". The first state of the game loads the package
// "gfx-test-pkg" and places one object from each archetype whose name
// starts with "gfx-", in name order, logging
//   "Sample scene: N objects placed from 'gfx-test-pkg'".
// An archetype whose name ends in "-highlighted" is selected the way the
// level editor selects an object (highlighted, colour (1, 0, 1)). While the
// graphics system's "Debug" is on, the scene also queues a red debug line
// and a green debug cube every frame.
//
// TAVRIN_SCENE_SKIP=NAME[,NAME...] leaves the named archetypes out (the
// end-to-end tests draw the same geometry two ways in two runs). Without the
// package nothing happens at all.

#include "engine/base/Types.h"
#include "engine/core/VariantFunction.h"

#include <set>
#include <string>

namespace Ostrel {

class Engine;
class ResourceManager;

class SampleScene {
public:
    static constexpr const char* kPackage = "gfx-test-pkg";
    static constexpr const char* kPrefix = "gfx-";

    SampleScene(Engine& engine, ResourceManager& resources);
    ~SampleScene();
    SampleScene(const SampleScene&) = delete;
    SampleScene& operator=(const SampleScene&) = delete;

    void OnStateBegin();
    void OnGraphicsUpdate(f32 dt);
    void OnLevelLoadStarted();

private:
    Engine& m_engine;
    ResourceManager& m_resources;
    std::set<std::string> m_skipped;
    bool m_active = false;
    bool m_placed = false;
    bool m_stopped = false;
    FunctionRef m_onStateBegin;
    FunctionRef m_onGraphicsUpdate;
    FunctionRef m_onLevelLoadStarted;
};

}  // namespace Ostrel
