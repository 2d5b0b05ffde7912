#pragma once
// Steps the three mains share. Each main declares its own locals in its own
// order, because that order is the contract (teardown is its exact
// reverse); these helpers only act on the objects handed to them and own
// nothing.

#include <string>

namespace Ostrel {

class Engine;
class MeshManager;
class Logger;
class ResourceManager;
class SerializerXML;
class StateResourceTable;

// Appended to the per-user folder path before file names are joined to it.
inline constexpr const char* kUserFolderSeparator = "/";

// The resource kinds, the walk of "rsc", and the loaders of the formats whose
// owners exist today (archetypes, sound manifests, property pages).
void RegisterResources(ResourceManager& resources);

// The log: "error_log.log" in the per-user folder (its path ending in a
// separator), appended to, then the console. When the file cannot be opened
// the console alone remains and the reason goes to stderr. The hub is made
// current, so anything logged before the engine exists reaches it.
void StartLog(Logger& logger, const std::string& userFolder);

// Asks the resources for "States" and, when the path is valid, loads the
// states file into the table (a missing file is not reported; a malformed
// one is logged by the reader and leaves the table as it is). Returns the
// path text (empty when there is none).
std::string LoadStates(ResourceManager& resources, SerializerXML& reader, StateResourceTable& states);

// Hands each system its configuration (the resource named after the system,
// or null), lets the state stack select the entries of the state table and
// has the profiler draw its report as debug text of the graphics system.
void ConnectEngine(Engine& engine, ResourceManager& resources, StateResourceTable& states);

// One log line with the systems in update order, e.g. "Update order (12):
// ObjectManager, WindowSystem, ...".
void LogUpdateOrder(const Engine& engine);
// One log line with the number of frames the run took.
void LogRunEnd(const Engine& engine);

// "Cube" (1 x 1 divisions per face), "Sphere" (15 stacks, 15 slices),
// "Sprite" and "Plane", each replacing a mesh of that name.
void CreatePrimitiveMeshes(MeshManager& meshes);

}  // namespace Ostrel
