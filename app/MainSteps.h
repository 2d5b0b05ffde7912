#pragma once
// What the three mains share. Each main holds, as locals, first the start-up
// services, then its systems, the engine and its managers: the order of
// declaration is the order of construction, and teardown is its exact
// reverse. StartupServices is the same in every program; the systems, the
// managers and their order differ per program and are listed in each main.

#include "engine/base/Logger.h"
#include "engine/core/CompositionFactory.h"
#include "engine/io/SerializerXML.h"
#include "engine/io/StateResourceTable.h"
#include "engine/resources/ResourceManager.h"

#include <initializer_list>
#include <string>

namespace Ostrel {

class Engine;
class MeshManager;
class System;

// The window titles of the game and of the tools.
inline constexpr const char* kGameTitle = "Brisa and Qil: Lantern Vaults";
inline constexpr const char* kToolTitle = "Tavrin";

// Everything a program builds before its systems, in construction order:
// the object factory (with every component type registered; it goes last and
// reports the objects never freed), the per-user folder (created when
// missing; a failure is not reported here: the log says what it could not
// open), the log (its file in the per-user folder, then the console; made
// current before the resources' walk, so anything logged before the engine
// exists reaches it), the resources with their kinds and loaders, and the
// "States" settings, read before the
// engine exists so the first state change selects its entry (a missing
// "States" resource is not reported; a malformed file is logged by the
// reader and leaves the table empty).
struct StartupServices {
    StartupServices();
    StartupServices(const StartupServices&) = delete;
    StartupServices& operator=(const StartupServices&) = delete;

    CompositionFactory factory;
    // Ends in a separator, ready for file names to be appended.
    std::string userFolder;
    ResourceManager resources;
    Logger logger;
    StateResourceTable states;
    SerializerXML statesReader{true};
};

// Hands each system its configuration (the resource named after the system,
// or null), lets the state stack select the entries of the state table, has
// the profiler draw its report as debug text of the graphics system, and
// gives the engine the log.
void ConnectEngine(Engine& engine, StartupServices& services);

// Adds the systems to the engine; their order is the update order.
void AddSystems(Engine& engine, std::initializer_list<System*> updateOrder);

// One log line with the systems in update order, e.g. "Update order (12):
// ObjectManager, WindowSystem, ...".
void LogUpdateOrder(const Engine& engine);
// One log line with the number of frames the run took.
void LogRunEnd(const Engine& engine);

// "Cube" (1 x 1 divisions per face), "Sphere" (15 stacks, 15 slices),
// "Sprite" and "Plane", each replacing a mesh of that name.
void CreatePrimitiveMeshes(MeshManager& meshes);

}  // namespace Ostrel
