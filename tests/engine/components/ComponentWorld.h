#pragma once
// Header-only, so the tests of other folders (physics) can use it too.
//
// A headless object world for the stock-component tests: the real factory
// with every component type, an engine with its object manager and core
// system, archetypes read from an XML text, and meshes served from point
// lists through a test MeshLookup; plus a recording editor panel and a
// serializer over a table of texts.

#include "engine/components/MeshLookup.h"
#include "engine/core/Composition.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/ObjectManager.h"
#include "game/RegisterComponentTypes.h"
#include "engine/core/TweakBarGroup.h"
#include "engine/core/Vec3.h"
#include "engine/base/ILogProvider.h"
#include "engine/base/Logger.h"
#include "engine/base/Serializer.h"
#include "engine/io/SerializerXML.h"

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

// A panel that records entries and lets tests call the callback fields.
class Panel final : public TweakBarGroup {
public:
    void BeginGroup(const std::string&) override {}
    void AddString(const std::string& l, std::string*, bool) override { entries.push_back("string " + l); }
    void AddFloat(const std::string& l, float* v, bool) override {
        entries.push_back("float " + l);
        floats[l] = v;
    }
    void AddInt(const std::string& l, s32*, bool) override { entries.push_back("int " + l); }
    void AddBool(const std::string& l, bool*, bool) override { entries.push_back("bool " + l); }
    void AddCallbackVar(const std::string& l, int kind, TweakBarSetter setter, TweakBarGetter getter,
                        void* client) override {
        entries.push_back("callback" + std::to_string(kind) + " " + l);
        callbacks[l] = {setter, getter, client};
    }
    void AddButton(const std::string& l, TweakBarButton, void*) override { entries.push_back("button " + l); }

    template <class T>
    void Set(const std::string& label, T value) {
        callbacks.at(label).setter(&value, callbacks.at(label).client);
    }
    template <class T>
    T Get(const std::string& label) {
        T value{};
        callbacks.at(label).getter(&value, callbacks.at(label).client);
        return value;
    }

    struct Callback {
        TweakBarSetter setter;
        TweakBarGetter getter;
        void* client;
    };
    std::vector<std::string> entries;
    std::map<std::string, Callback> callbacks;
    std::map<std::string, float*> floats;
};

// Reading answers from a table of texts; writing records "Key=text".
class TextSerializer final : public Serializer {
public:
    explicit TextSerializer(bool reading) : m_reading(reading) {}
    bool SerializeString(const std::string& n, std::string* v) override {
        return Value(n, *v, [&](const std::string& t) { *v = t; }, *v);
    }
    bool SerializeFloat(const std::string& n, float* v) override {
        return Value(n, *v, [&](const std::string& t) { *v = std::stof(t); }, std::to_string(*v));
    }
    bool SerializeBool(const std::string& n, bool* v) override {
        return Value(n, *v, [&](const std::string& t) { *v = t != "0"; }, *v ? "1" : "0");
    }
    bool SerializeInt(const std::string& n, int* v) override {
        return Value(n, *v, [&](const std::string& t) { *v = std::stoi(t); }, std::to_string(*v));
    }
    bool SerializeBlock(std::string&) override { return false; }
    bool IsReading() const override { return m_reading; }
    bool IsWriting() const override { return !m_reading; }

    std::map<std::string, std::string> values;
    std::vector<std::string> written;

private:
    template <class T, class Read>
    bool Value(const std::string& name, const T&, Read read, const std::string& text) {
        if (!m_reading) {
            written.push_back(name + "=" + text);
            return false;
        }
        auto it = values.find(name);
        if (it == values.end()) return false;
        read(it->second);
        return true;
    }
    bool m_reading;
};

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
    if (it == meshes.end()) return nullptr;
    return reinterpret_cast<Mesh*>(const_cast<std::vector<Vec3>*>(&it->second));
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
    Vandle::RegisterComponentTypes(factory);
    meshes.meshes["Cube"] = BoxCorners(Vec3(1, 1, 1));
    meshes.meshes["Wide"] = BoxCorners(Vec3(4, 1, 2));
    static int s_files = 0;
    const std::string name = "archetypes-" + std::to_string(++s_files) + ".xobj";
    SerializerXML(true).LoadObjects(WriteScratchFile(name, archetypes));
    factory.InitializeArchetypes();
}

inline ComponentWorld::~ComponentWorld() { objects.Shutdown(); }

inline Composition* ComponentWorld::Create(const std::string& archetype) {
    return objects.GetObject(objects.CreateObject(archetype, nullptr));
}

}  // namespace Ostrel::ComponentTest
