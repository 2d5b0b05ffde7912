#pragma once
// The editor tests' object world: the component tests' world with real
// meshes (vertices and 16-bit indices) served by name, so ray tests and
// volume fitting run over the same records the renderer draws.

#include "engine/components/MeshLookup.h"
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

    std::map<std::string, std::unique_ptr<Mesh>> meshes;

private:
    MeshLookup* m_previous;
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

// The world with the meshes "Square", "Strip" and "Lines" installed before
// any object is made.
struct EditorWorld {
    explicit EditorWorld(const std::string& archetypes = kEditorArchetypes) : world(archetypes) {
        meshes.AddSquare("Square", kPrimitiveTriangleList);
        meshes.AddSquare("Strip", kPrimitiveTriangleStrip);
        meshes.AddSquare("Lines", kPrimitiveLineList);
    }
    u32 Create(const std::string& archetype) { return world.objects.CreateObject(archetype, nullptr); }
    // Announces creations and carries out destructions.
    void Step() { world.objects.Update(0.0f); }

    ComponentTest::ComponentWorld world;
    RealMeshes meshes;
};

}  // namespace Ostrel::EditorTest
