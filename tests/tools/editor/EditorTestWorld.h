#pragma once
// The editor tests' object world: the component tests' world with real
// meshes (vertices and 16-bit indices) served by name, so ray tests and
// volume fitting run over the same records the renderer draws.

#include "engine/components/MeshLookup.h"
#include "engine/components/VisualLookup.h"
#include "engine/world/PaletteRegistry.h"
#include "engine/world/TilePaletteRecord.h"
#include "engine/graphics/models/Mesh.h"
#include "tests/engine/components/ComponentWorld.h"

#include <map>
#include <memory>
#include <string>

namespace Ostrel::EditorTest {

class RealMeshes final : public MeshLookup {
public:
    RealMeshes() : m_previous(MeshLookup::Install(this)) {}
    ~RealMeshes() override { MeshLookup::Install(m_previous); }

    Mesh* FindMesh(const std::string& name) const override {
        auto it = meshes.find(name);
        return it == meshes.end() ? nullptr : it->second.get();
    }
    PointView GetVertexPositions(const Mesh& mesh) const override {
        return PointView(mesh.GetVertices().data(), mesh.GetVertices().size(), sizeof(Vertex));
    }
    // Stored bounds (centre, half extents) where a test gives them, else
    // the measured ones: a mesh may reach past what its record says.
    void GetBounds(const Mesh& mesh, Vec3* centre, Vec3* halfExtents) const override {
        auto it = storedBounds.find(&mesh);
        if (it == storedBounds.end()) return MeshLookup::GetBounds(mesh, centre, halfExtents);
        *centre = it->second.first;
        *halfExtents = it->second.second;
    }
    std::map<const Mesh*, std::pair<Vec3, Vec3>> storedBounds;

    // A flat square of side 1 in the x-z plane at y = 0, centred on the
    // origin, as a list (two triangles), a strip (four indices) or lines.
    Mesh& AddSquare(const std::string& name, u32 primitive) {
        auto mesh = std::make_unique<Mesh>();
        const float c[4][2] = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {-0.5f, 0.5f}, {0.5f, 0.5f}};
        for (const auto& p : c) mesh->AddVertex(p[0], 0.0f, p[1], 0, 1, 0, 0, 0, 255, 255, 255, 255);
        if (primitive == kPrimitiveTriangleList) {
            mesh->AddTriangle(0, 1, 2);
            mesh->AddTriangle(2, 1, 3);
        } else if (primitive == kPrimitiveTriangleStrip) {
            for (u32 i = 0; i < 4; ++i) mesh->AddIndex(i);
        } else {
            mesh->AddLine(0, 1);
            mesh->AddLine(1, 3);
            mesh->AddLine(3, 2);
            mesh->AddLine(2, 0);
        }
        mesh->SetPrimitiveType(primitive);
        Mesh& result = *mesh;
        meshes[name] = std::move(mesh);
        return result;
    }

    // A cube of side 1 centred on the origin, as a triangle list.
    Mesh& AddBox(const std::string& name) {
        auto mesh = std::make_unique<Mesh>();
        for (int i = 0; i < 8; ++i) {
            mesh->AddVertex(i & 1 ? 0.5f : -0.5f, i & 2 ? 0.5f : -0.5f, i & 4 ? 0.5f : -0.5f, 0, 1, 0, 0, 0, 255,
                            255, 255, 255);
        }
        // Two triangles per face, by corner bits: x = 1, y = 2, z = 4.
        const u32 faces[6][4] = {{0, 2, 4, 6}, {1, 3, 5, 7}, {0, 1, 4, 5}, {2, 3, 6, 7}, {0, 1, 2, 3}, {4, 5, 6, 7}};
        for (const auto& f : faces) {
            mesh->AddTriangle(f[0], f[1], f[2]);
            mesh->AddTriangle(f[2], f[1], f[3]);
        }
        mesh->SetPrimitiveType(kPrimitiveTriangleList);
        Mesh& result = *mesh;
        meshes[name] = std::move(mesh);
        return result;
    }

    std::map<std::string, std::unique_ptr<Mesh>> meshes;

private:
    MeshLookup* m_previous;
};

// Tile palettes for the editor tests: kept in a PaletteRegistry (where the
// editor lists them) and served to meshes by name from the same records.
class RegistryVisuals final : public VisualLookup {
public:
    RegistryVisuals() : m_previous(VisualLookup::Install(this)) {}
    ~RegistryVisuals() override { VisualLookup::Install(m_previous); }

    // A 4 x 4 palette whose tiles are "<prefix>0" to "<prefix>15", or the
    // names given.
    TilePaletteRecord* Add(const std::string& name, std::vector<std::string> tiles = {}) {
        auto record = std::make_unique<TilePaletteRecord>();
        record->name = name;
        record->tilesX = 4;
        record->tilesY = 4;
        if (tiles.empty()) {
            for (int i = 0; i < 16; ++i) tiles.push_back(name + std::to_string(i));
        }
        record->tileNames = std::move(tiles);
        return registry.Insert(name, std::move(record));
    }

    Texture* FindTexture(const std::string&) const override { return nullptr; }
    TilePaletteRecord* FindTilePalette(const std::string& name) const override { return registry.Find(name); }
    int GetPaletteColumns(const TilePaletteRecord& palette) const override { return palette.tilesX; }
    void BuildTileTexture(Texture** slot, const std::vector<s32>&, int, int, int, std::string* name) override {
        *slot = reinterpret_cast<Texture*>(&m_texture);
        *name = ":tiles";
        ++built;
    }
    void DestroyTexture(Texture*) override {}

    PaletteRegistry registry;
    int built = 0;

private:
    VisualLookup* m_previous;
    char m_texture = 0;
};

// Archetypes of the editor tests (our own): the editor camera, a crate with
// a collider, a floor and a line outline with meshes only, and a marker with
// no mesh at all.
inline const char* kEditorArchetypes = R"(
<DefaultCamera>
    <TransformComponent><PosY>5</PosY><PosZ>-10</PosZ></TransformComponent>
    <CameraComponent />
    <DefaultCameraLogicComponent>
        <CameraSpeed>10</CameraSpeed><CameraRotationSpeed>10</CameraRotationSpeed>
    </DefaultCameraLogicComponent>
</DefaultCamera>
<crate>
    <TransformComponent />
    <MeshComponent><MeshID>Square</MeshID></MeshComponent>
    <CollisionComponent />
</crate>
<floor>
    <TransformComponent><PosX>10</PosX></TransformComponent>
    <MeshComponent><MeshID>Square</MeshID></MeshComponent>
</floor>
<strip>
    <TransformComponent />
    <MeshComponent><MeshID>Strip</MeshID></MeshComponent>
</strip>
<outline>
    <TransformComponent />
    <MeshComponent><MeshID>Lines</MeshID></MeshComponent>
</outline>
<marker>
    <TransformComponent />
</marker>
)";

// The world with the meshes "Square", "Strip", "Lines" and "Box" installed before
// any object is made.
struct EditorWorld {
    explicit EditorWorld(const std::string& archetypes = kEditorArchetypes) : world(archetypes) {
        meshes.AddSquare("Square", kPrimitiveTriangleList);
        meshes.AddSquare("Strip", kPrimitiveTriangleStrip);
        meshes.AddSquare("Lines", kPrimitiveLineList);
        meshes.AddBox("Box");
    }
    u32 Create(const std::string& archetype) { return world.objects.CreateObject(archetype, nullptr); }
    // Announces creations and carries out destructions.
    void Step() { world.objects.Update(0.0f); }

    ComponentTest::ComponentWorld world;
    RealMeshes meshes;
};

}  // namespace Ostrel::EditorTest
