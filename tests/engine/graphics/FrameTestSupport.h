#pragma once
// Shared by the frame tests: a world of objects with every drawable
// component, a render device (recording, or GL), the asset managers, the
// light and matrix managers and an initialised graphics system, plus ways
// to fill its render lists directly and to read the trace of one frame.

#include "engine/components/MeshComponent.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/TransformComponent.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/graphics/DebugDrawQueue.h"
#include "engine/graphics/text/FontRegistry.h"
#include "engine/graphics/Graphics.h"
#include "engine/graphics/LightManager.h"
#include "engine/graphics/MatrixManager.h"
#include "engine/graphics/models/Mesh.h"
#include "engine/graphics/models/MeshBuilders.h"
#include "engine/graphics/models/MeshManager.h"
#include "engine/graphics/models/MeshManagerLookup.h"
#include "engine/graphics/ShaderProgram.h"
#include "engine/graphics/animation/SkeletonManager.h"
#include "engine/graphics/textures/TextureManager.h"

#include "tests/engine/components/ComponentWorld.h"
#include "tests/engine/graphics/animation/AnimationTestSupport.h"
#include "tests/engine/graphics/text/FontTestSupport.h"
#include "tests/engine/graphics/GraphicsTestSupport.h"

#include <chrono>
#include <string>
#include <vector>

namespace Ostrel::Testing {

using List = Graphics::RenderList;

inline const char kArchetypes[] = R"(
<camera-obj><TransformComponent/><MessageComponent/><CameraComponent/></camera-obj>
<mesh-obj><TransformComponent/><MessageComponent/><MeshComponent/></mesh-obj>
<animated-obj>
    <TransformComponent/><MessageComponent/><MeshComponent/>
    <FidgetComponent><skeleton-name>rig</skeleton-name></FidgetComponent>
</animated-obj>
<shadow-obj><TransformComponent/><ShadowComponent/></shadow-obj>
<plane-obj>
    <TransformComponent/>
    <TransparentPlaneComponent><AdjustY>0.5</AdjustY><ScaleX>4</ScaleX><ScaleZ>2</ScaleZ></TransparentPlaneComponent>
</plane-obj>
<billboard-obj>
    <TransformComponent/>
    <StaticBillboardComponent>
        <ScaleX>2</ScaleX><ScaleY>3</ScaleY><AdjustY>1</AdjustY><Rotation>1</Rotation>
    </StaticBillboardComponent>
</billboard-obj>
<aimer-obj><TransformComponent/><AimerComponent/></aimer-obj>
<box-collider-obj>
    <TransformComponent><ScaX>2</ScaX><ScaZ>0.5</ScaZ></TransformComponent>
    <MessageComponent/><MeshComponent><MeshID>box</MeshID></MeshComponent>
    <CollisionComponent><OffsetY>0.25</OffsetY></CollisionComponent>
</box-collider-obj>
<ball-collider-obj>
    <TransformComponent/><MessageComponent/><MeshComponent><MeshID>box</MeshID></MeshComponent>
    <CollisionComponent><ShapeName>SPHERE</ShapeName></CollisionComponent>
</ball-collider-obj>
<ghost-collider-obj>
    <TransformComponent/><MessageComponent/><MeshComponent><MeshID>box</MeshID></MeshComponent>
    <CollisionComponent><Shape>2</Shape></CollisionComponent>
</ghost-collider-obj>
<light-obj>
    <TransformComponent/>
    <LightComponent>
        <Color_R>1</Color_R><Color_G>1</Color_G><Color_B>1</Color_B>
        <Attenuation_X>1</Attenuation_X><Attenuation_Y>0</Attenuation_Y><Attenuation_Z>0</Attenuation_Z>
    </LightComponent>
</light-obj>
)";

// Asset managers first: the archetypes look their assets up when the world
// initialises them.
struct Assets {
    Assets() { skeletons.AddSkeleton("rig", AnimationTest::MakeChain(3)); }
    SkeletonManager skeletons;
};

struct FrameWorld : Assets, ComponentTest::ComponentWorld {
    // gl: the real device (offscreen) instead of the recording one.
    explicit FrameWorld(bool postProcess = false, bool gl = false) : ComponentWorld(kArchetypes) {
        FontRegistry::Instance().Clear();
        FontRegistry::Instance().Register(FontTest::ShippedFontBytes(), "DejaVuSans.ttf");
        RegisterResourceKinds(resources, std::string(LV_SOURCE_DIR) + "/rsc");
        engine.AddSystem(&graphics);
        if (!gl) {
            device.SetFactory(
                rd::RecordingDevice::MakeFactory(0, [this](rd::RecordingDevice& made) { recording = &made; }));
        }
        device.SetWindowParameters({64, 48, nullptr, true});
        device.Create();
        matrices.SetScreenSize({64, 48, nullptr, true});
        lights.Initialize();
        ComponentTest::TextSerializer config(true);
        config.values = {{"DoPostProcess", postProcess ? "1" : "0"}};
        graphics.LoadConfig(&config);
        graphics.Create();
        graphics.Initialize();
        graphics.SetLostDeviceWait(std::chrono::milliseconds(0));
        core.Listen("SceneDrawing", MakeDelegate(this, &FrameWorld::OnSceneDrawing));
        core.Listen("LostDevice", MakeDelegate(this, &FrameWorld::OnLost));
        BuildCubeMesh(meshes.Create("box"), 1, 1);
        BuildCubeMesh(meshes.Create("crate"), 1, 1);
        Mesh* hinge = meshes.Create("hinge");
        for (int i = 0; i < 3; ++i) {
            hinge->AddSkinnedVertex(float(i), float(i % 2), 0, 0, 0, -1, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, u8(i), 0, 0, 0);
        }
        hinge->AddTriangle(0, 1, 2);
        hinge->Build();
        meshes.Create("unbuilt");  // no geometry: Build makes no buffers
        meshes.Find("unbuilt")->Build();
        DebugDrawQueue::Instance().Clear();
    }
    ~FrameWorld() {
        graphics.Shutdown();
        lights.Shutdown();
        DebugDrawQueue::Instance().Clear();
        FontRegistry::Instance().Clear();
    }
    void OnSceneDrawing() { ++sceneDrawings; }
    void OnLost() { ++losses; }

    // A live object of the archetype drawing the named mesh (if any), filed
    // into list (if given).
    Composition* Make(const std::string& archetype, const char* mesh = nullptr, const Vec3& at = Vec3()) {
        Composition* object = Create(archetype);
        if (!object) return nullptr;
        if (mesh) object->GetComponentAs<MeshComponent>()->SetMesh(mesh);
        object->GetTransform()->SetPosition(at);
        return object;
    }
    void File(List list, Composition* object) { graphics.RenderListForTests(list).push_back(object->GetId()); }
    MeshComponent* MeshOf(Composition* object) { return object->GetComponentAs<MeshComponent>(); }
    void UseCamera() { graphics.OnCameraChange(Make("camera-obj")->GetId()); }
    // A camera object for the frame, with the view from eye to the origin.
    void UseCameraAt(float x, float y, float z) {
        UseCamera();
        matrices.OnCameraPosUpdate(x, y, z);
        matrices.OnCameraLookAtUpdate(0, 0, 0);
        matrices.OnCameraUpUpdate(0, 1, 0);
        matrices.OnGraphicsUpdate(0.0f);
    }

    // The trace of one Graphics::Update.
    const std::vector<rd::TraceEntry>& Frame() {
        recording->GetTrace().Clear();
        graphics.Update(0.0f);
        return recording->GetTrace().Entries();
    }
    std::string Label(Graphics::ProgramIndex program) const {
        return graphics.GetProgram(program)->GetDeviceProgram()->Label();
    }
    std::string Vb(const char* mesh) { return meshes.Find(mesh)->GetVertexBuffer()->Label(); }
    // The draws made with one of the given programs.
    std::vector<rd::TraceEntry> DrawsWith(const std::vector<Graphics::ProgramIndex>& programs) {
        std::vector<rd::TraceEntry> draws;
        for (const rd::TraceEntry& e : recording->GetTrace().Entries()) {
            if (e.op != "DrawIndexed") continue;
            for (auto p : programs) {
                if (e.program == Label(p)) draws.push_back(e);
            }
        }
        return draws;
    }
    // "op args" of the entries whose op is one of ops.
    std::vector<std::string> Lines(const std::vector<std::string>& ops) const {
        return recording->GetTrace().Lines(ops);
    }

    ResourceManager resources;
    RenderDevice device;
    rd::RecordingDevice* recording = nullptr;
    MeshManager meshes;
    MeshManagerLookup meshLookup{meshes};
    TextureManager textures;
    MatrixManager matrices;
    LightManager lights;
    Graphics graphics;
    int sceneDrawings = 0;
    int losses = 0;
};

}  // namespace Ostrel::Testing
