#pragma once
// Header-only, so the tests of other folders (physics) can use it too.
//
// A headless object world for the stock-component tests: the real factory
// with every component type, an engine with its object manager and core
// system, archetypes read from an XML text, and meshes served from point
// lists through a test MeshLookup.

#include "engine/components/MeshLookup.h"
#include "engine/core/Composition.h"
#include "engine/core/RegisterComponentTypes.h"
#include "engine/io/ILogProvider.h"
#include "engine/io/SerializerXML.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/Vec3.h"
#include "engine/io/Logger.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Ostrel::ComponentTest {

// Meshes by name, each a list of vertex positions.
class PointMeshes final : public MeshLookup {
public:
    PointMeshes();
    ~PointMeshes() override;
    Mesh* FindMesh(const std::string& name) const override;
    PointView GetVertexPositions(const Mesh& mesh) const override;

    std::map<std::string, std::vector<Vec3>> meshes;

private:
    MeshLookup* m_previous;
};

// The eight corners of a box of the given size centred on the origin.
std::vector<Vec3> BoxCorners(const Vec3& size);

// Writes text to a scratch file under the test folder and returns its path.
std::string WriteScratchFile(const std::string& name, const std::string& text);

class ComponentWorld {
public:
    // archetypes: the text of an ".xobj" file. Meshes "Cube" (unit cube) and
    // "Wide" (4 wide in x, 1 high, 2 deep in z) exist from the start.
    explicit ComponentWorld(const std::string& archetypes);
    ~ComponentWorld();

    // A live object made from the archetype (null when that fails).
    Composition* Create(const std::string& archetype);
    template <class T>
    T* Get(Composition* object) const {
        return object ? object->GetComponentAs<T>() : nullptr;
    }

    // Everything the engine logged, in order.
    std::string log;
    Logger logger;
    CompositionFactory factory;
    Engine engine;
    CoreSystem core;
    ObjectManager objects;
    PointMeshes meshes;
};

namespace detail {

class AppendingLog final : public ILogProvider {
public:
    explicit AppendingLog(std::string* text) : m_text(text) {}
    void Write(const char* text) override { *m_text += text; }

private:
    std::string* m_text;
};

}  // namespace detail

inline PointMeshes::PointMeshes() : m_previous(MeshLookup::Install(this)) {}

inline PointMeshes::~PointMeshes() { MeshLookup::Install(m_previous); }

// A mesh handle here is the address of its point list.
inline Mesh* PointMeshes::FindMesh(const std::string& name) const {
    auto it = meshes.find(name);
    return it == meshes.end() ? nullptr : reinterpret_cast<Mesh*>(const_cast<std::vector<Vec3>*>(&it->second));
}

inline PointView PointMeshes::GetVertexPositions(const Mesh& mesh) const {
    return PointView(*reinterpret_cast<const std::vector<Vec3>*>(&mesh));
}

inline std::vector<Vec3> BoxCorners(const Vec3& size) {
    std::vector<Vec3> corners;
    for (int i = 0; i < 8; ++i) {
        corners.push_back({(i & 1 ? 0.5f : -0.5f) * size.x, (i & 2 ? 0.5f : -0.5f) * size.y,
                           (i & 4 ? 0.5f : -0.5f) * size.z});
    }
    return corners;
}

inline std::string WriteScratchFile(const std::string& name, const std::string& text) {
    const std::filesystem::path folder = std::filesystem::path(LV_TEST_TMP) / "component-tests";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / (std::to_string(getpid()) + "-" + name)).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

inline ComponentWorld::ComponentWorld(const std::string& archetypes) {
    logger.AddProvider(std::make_unique<detail::AppendingLog>(&log));
    engine.SetLog(&logger);
    engine.AddSystem(&objects);
    engine.AddSystem(&core);
    RegisterComponentTypes(factory);
    meshes.meshes["Cube"] = BoxCorners(Vec3(1, 1, 1));
    meshes.meshes["Wide"] = BoxCorners(Vec3(4, 1, 2));
    static int s_files = 0;
    SerializerXML(true).LoadObjects(WriteScratchFile("archetypes-" + std::to_string(++s_files) + ".xobj", archetypes));
    factory.InitializeArchetypes();
}

inline ComponentWorld::~ComponentWorld() { objects.Shutdown(); }

inline Composition* ComponentWorld::Create(const std::string& archetype) {
    return objects.GetObject(objects.CreateObject(archetype, nullptr));
}

}  // namespace Ostrel::ComponentTest
