#pragma once
// The graphics system (id 4, "Graphics"): owns everything the frame needs on
// the render device.
//
// - Nine shader programs, two vertex layouts (static, skinned), the debug
//   font, five off-screen render targets (screen, aux and edge colour,
//   important and unimportant depth), five debug meshes and the skybox; the
//   render lists of object ids, the debug queues and the screen fade.
// - Configuration "Debug" (debug keys), "DoPostProcess" (draw through the
//   off-screen targets and compose), "UseSourceEffect" (the source-effect
//   switch, kept for the frame; nothing draws differently with it yet),
//   "UseHBV" (static meshes through the volume hierarchy); defaults off,
//   off, off, on.
// - Create subscribes its eight messages; Initialize builds every device
//   object under the render device's lock, in a fixed order, and interns the
//   23 parameter names the drawing code uses.
// - Update: under the lock sends "GraphicsUpdate" (dt) and sets culling;
//   sorts the lists that changed; draws the frame under the lock; steps the
//   fade.
// - DeviceLost / DeviceReset release and rebuild the device objects in fixed
//   orders, emptying the programs' parameter caches, and send "LostDevice" /
//   "ResetDevice"; a window size or mode change runs both.
// - Failures: a program whose source is missing or broken is logged and
//   left invalid (its draws are skipped); a render target or vertex layout
//   that cannot be made is logged and frames are skipped until a later reset
//   makes everything; without a debug font the debug text is not drawn.
//
// The frame (GraphicsFrame.cpp) draws, in a fixed order: clears, skybox,
// the opaque meshes in runs sharing a mesh (colour into target 0, depth into
// the important or unimportant depth target at 1), highlight edges, the
// hierarchy's meshes, the blended quads, particles, debug shapes, the
// composite (with "DoPostProcess"), "SceneDrawing", debug text and present;
// after a presented frame both debug queues are emptied.

#include "engine/core/System.h"
#include "engine/base/Types.h"
#include "engine/core/Vec3.h"
#include "engine/core/Vec4.h"
#include "engine/graphics/AtomManager.h"
#include "engine/graphics/Skybox.h"
#include "engine/platform/SubscriptionList.h"

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Ostrel {

class AimerComponent;
class CameraComponent;
class Composition;
class CoreSystem;
class DeviceTextRenderer;
class FidgetComponent;
class MeshComponent;
class ShadowComponent;
class StaticBillboardComponent;
class TransformComponent;
class TransparentPlaneComponent;
class HbvManager;
class LightManager;
class MatrixManager;
class Mesh;
class MeshManager;
class ObjectManager;
class RenderDevice;
class ShaderProgram;
class TextFont;
class TextureManager;
struct Matrix4;
struct DebugShapeCall;

namespace rd {
class Device;
class Texture;
class VertexLayout;
enum class CoopLevel : u32;
}  // namespace rd

// Particles.
class ParticleEmitterComponent;

class Graphics : public System {
public:
    static constexpr u32 kId = 4;
    static constexpr float kSkyboxSize = 5.0f;
    static constexpr float kGameReadyFadeSeconds = 1.0f;

    // The programs in creation order.
    enum ProgramIndex {
        kSkyboxProgram,
        kParticleProgram,
        kDebugProgram,
        kStaticLitProgram,
        kSkinnedLitProgram,
        kStaticVertProgram,
        kPostProcessProgram,
        kStaticEdgeProgram,
        kSkinnedEdgeProgram,
        kProgramCount
    };
    // The render targets in creation order.
    enum TargetIndex { kScreenTarget, kEdgeTarget, kAuxTarget, kImpDepthTarget, kUnimpDepthTarget, kTargetCount };
    // The debug meshes.
    enum DebugMeshIndex { kDebugPlane, kDebugCircle, kDebugSquare, kDebugLine, kDebugCube, kDebugMeshCount };
    // The parameter names Initialize interns, in order.
    static const char* const kParameterNames[23];
    static const char* const kTargetNames[kTargetCount];

    Graphics();
    ~Graphics() override;

    void LoadConfig(Serializer* config) override;
    // Subscribes "ObjectCreated", "ObjectDestroyed", "KeyTriggered",
    // "ShowScaffolding", "WindowScreenStateChange", "CameraChange",
    // "GameReady", "StartFade" and "GameEnding".
    void Create() override;
    void Initialize() override;
    void Update(f32 dt) override;
    void Shutdown() override;
    std::string GetName() const override { return "Graphics"; }
    u32 GetId() const override { return kId; }

    void DeviceLost();
    void DeviceReset();

    // Message handlers.
    void OnObjectCreated(u32 id);
    void OnObjectDestroyed(u32 id);
    void OnKeyTriggered(int key, bool pressed);
    void OnShowScaffolding(bool show);
    // Sets the device's size and mode (a size of 0 is ignored), then
    // DeviceLost and DeviceReset.
    void OnWindowScreenStateChange(bool windowed, u32 width, u32 height);
    void OnCameraChange(u32 id);
    void OnGameReady();
    void OnStartFade(Vec4 from, Vec4 to, float seconds, std::string* message);
    // A quit level's fade (the death's, which ends in "GameLost") stops
    // with it: its message never reaches the screen that follows.
    void OnGameEnding();
    // Local "SetSkybox" of a skybox object: an empty name changes nothing.
    void OnSetSkybox(std::string* name);
    // One step of the screen fade (run by Update after the frame).
    void StepFade(float dt);

    // Draws the skybox's six planes with the camera's orientation (the frame
    // calls it under the lock; nothing but depth testing on until a skybox
    // name was set).
    void DrawSkybox(rd::Device& device, const Vec3& cameraDirection, const Vec3& cameraUp);

    // Something drawn over every frame after the user interface ("SceneDrawing")
    // and before the debug text, into the back buffer, under the render
    // device's lock: the tools' panels. The hook must leave the device's
    // state as it found it. Null removes it.
    void SetOverlayHook(std::function<void(rd::Device&)> hook) { m_overlayHook = std::move(hook); }

    // Queues text at pixel (x, y) from the top-left corner in the given
    // colour. The text is copied.
    static void DrawDebugText(const char* text, float x, float y, u8 red, u8 green, u8 blue,
                              u8 alpha);
    // Queues one shape of the given kind at (x, y, z): 0 a line from there to
    // (sizeX, sizeY, sizeZ), 1 a circle and 2 a square facing the camera, 3
    // an axis-aligned wire box. A negative sizeY or sizeZ stands for sizeX.
    static void DrawDebugShape(int kind, float x, float y, float z, float sizeX, float sizeY,
                               float sizeZ, u8 red, u8 green, u8 blue, u8 alpha);

    // Draws one queued debug shape (the frame calls it for each record) in
    // its colour with depth testing off; a kind outside 0..3 is skipped.
    void DrawDebugShapes(rd::Device& device, const DebugShapeCall& shape, const Matrix4& inverseView);
    // The particle pass: every running emitter of the emitter list, then the
    // destination blend back to the inverse source alpha.
    void DrawEmitters(rd::Device& device, const Matrix4& inverseView);

    // Particles. DrawEmitters resolves the emitter list's ids (objects
    // without an emitter are skipped) and runs DrawParticlePass over them:
    // "ProjMat" on the particle program, the program bound, each running
    // emitter drawn with its destination blend code, then the destination
    // blend back to the inverse source alpha, also when all are stopped.
    void DrawParticlePass(rd::Device& device, const Matrix4& inverseView,
                          const std::vector<ParticleEmitterComponent*>& emitters);
    // The live particles of one emitter as camera-facing sprites, in slot
    // order within the emitter's slot bound, on the bound particle program.
    // An emitter without a drawable "Sprite" mesh is skipped.
    void DrawParticles(rd::Device& device, const ParticleEmitterComponent& emitter, Matrix4 inverseView);

    // Render lists (filed from "ObjectCreated" / "ObjectDestroyed").
    // Appends the id to the draw list.
    void AddToDrawList(u32 id);
    // Drawing order of the draw list: important meshes first, then animated
    // (with a 'fdgC' component) before static, then by mesh, then by diffuse
    // texture, so objects sharing a mesh are adjacent. Objects are looked up
    // through the engine's object manager.
    static bool CompareRenderOrderByMesh(u32 a, u32 b);
    // Drawing order of the billboard list: larger z first, then smaller y.
    static bool CompareRenderOrderByDepth(u32 a, u32 b);
    const std::vector<u32>& GetDrawList() const { return m_drawList; }
    const std::vector<u32>& GetShadowList() const { return m_shadowList; }
    const std::vector<u32>& GetTransparentPlaneList() const { return m_transparentPlaneList; }
    const std::vector<u32>& GetEmitterList() const { return m_emitterList; }
    const std::vector<u32>& GetBillboardList() const { return m_billboardList; }
    const std::vector<u32>& GetAimerList() const { return m_aimerList; }
    bool IsDrawListSorted() const { return m_drawListSorted; }
    bool IsBillboardListSorted() const { return m_billboardListSorted; }

    // ---- The frame and object drawing (GraphicsFrame.cpp, GraphicsObjectDrawing.cpp) ----
    // Asks the device whether a frame may be drawn. A lost device is waited
    // for (LostDeviceWait) and one that can be reset is released and rebuilt
    // (DeviceLost, DeviceReset); either way the device is asked once more
    // and that answer returned. Ok: draw.
    rd::CoopLevel CheckDevice(rd::Device& device);
    // The composite of the off-screen targets into the bound back buffer.
    void DrawPostProcess(rd::Device& device);
    // One mesh object with the bound program (lit or, for the hierarchy,
    // static lit), on the stream and indices the caller bound for its mesh.
    // fidget (may be null) supplies the skin matrices of a skinned mesh.
    void DrawMeshObject(rd::Device& device, const MeshComponent& mesh, const TransformComponent& transform,
                        const FidgetComponent* fidget, ShaderProgram& program);
    // The same mesh in the highlight colour with an edge program (the frame
    // sets the wire-frame fill around it).
    void DrawMeshEdges(rd::Device& device, const MeshComponent& mesh, const TransformComponent& transform,
                       const FidgetComponent* fidget, ShaderProgram& program);
    // The quads of the blended pass, on the static-vert program with the
    // debug plane's buffers bound by the frame.
    void DrawTransparentPlane(rd::Device& device, const TransparentPlaneComponent& plane,
                              const TransformComponent& transform);
    void DrawAimer(rd::Device& device, AimerComponent& aimer);
    void DrawShadow(rd::Device& device, const ShadowComponent& shadow, const TransformComponent& transform);
    void DrawBillboard(rd::Device& device, const StaticBillboardComponent& billboard,
                       const TransformComponent& transform, const Matrix4& inverseView);
    // How long CheckDevice waits on a lost device (one second; tests shorten it).
    void SetLostDeviceWait(std::chrono::milliseconds wait) { m_lostDeviceWait = wait; }
    // The render lists by kind, for tests that fill them without the filing.
    enum class RenderList { Draw, Shadow, TransparentPlane, Emitter, Billboard, Aimer };
    std::vector<u32>& RenderListForTests(RenderList list);
    // ---- end of the frame and object drawing ----

    // State, for the frame and for tests.
    bool IsDebug() const { return m_debug; }
    bool DoesPostProcess() const { return m_doPostProcess; }
    bool UsesSourceEffect() const { return m_useSourceEffect; }
    bool UsesHbv() const { return m_useHbv; }
    bool DrawsSkybox() const { return m_drawSkybox; }
    bool DrawsDebugShapes() const { return m_drawDebugShapes; }
    bool ShowsScaffolding() const { return m_showScaffolding; }
    u32 GetCameraId() const { return m_cameraId; }
    ShaderProgram* GetProgram(ProgramIndex index) const { return m_programs[index].get(); }
    rd::Texture* GetTarget(TargetIndex index) const { return m_targets[index]; }
    rd::Texture* GetBackBuffer() const { return m_backBuffer; }
    rd::VertexLayout* GetStaticLayout() const { return m_staticLayout; }
    rd::VertexLayout* GetSkinnedLayout() const { return m_skinnedLayout; }
    Mesh* GetDebugMesh(DebugMeshIndex index) const { return m_debugMeshes[index].get(); }
    ParamHandle GetParameter(int index) const { return m_parameters[index]; }
    const Skybox& GetSkybox() const { return m_skybox; }
    const std::string& GetSkyboxName() const { return m_skyboxName; }
    const Vec4& GetFadeColor() const { return m_fadeColor; }
    bool HasDebugFont() const { return m_debugFont != nullptr; }
    // False while a device object the frame needs is missing.
    bool HasDeviceObjects() const { return m_deviceObjectsOk; }

private:
    void CreateVertexLayouts();
    void CreateDebugFont();
    void ReleaseDebugFont();
    void CreateTargets();
    void ReleaseTarget(TargetIndex index);
    void ReleaseLayout(rd::VertexLayout*& layout);
    void BuildDebugMeshes();
    // Debug shapes: the debug mesh a shape kind draws (kDebugMeshCount for
    // none).
    static DebugMeshIndex DebugShapeMesh(int kind);
    // Render lists: the object manager the filing reads, and whether a mesh
    // object is left to the volume hierarchy instead of the draw list.
    ObjectManager* Objects() const;
    bool QualifiesForHierarchy(const Composition& object, const MeshComponent& mesh) const;
    // Sorts the draw list and the billboard list when objects were added.
    void SortRenderLists();
    void RenderFrame(rd::Device& device);
    void DrawDebugTexts();
    void Send(const std::string& message);
    // The device of the render device, or null.
    rd::Device* LiveDevice() const;

    // ---- The frame and object drawing ----
    // The camera of cameraId, or null when its object or camera is gone.
    CameraComponent* FrameCamera() const;
    void DrawOpaquePass(rd::Device& device);
    void DrawHierarchyPass(rd::Device& device);
    void DrawBlendedPass(rd::Device& device, const Matrix4& inverseView);
    // Draws the debug plane with the bound program (the blended quads).
    void DrawQuad(rd::Device& device);
    // "BoneMat" for a skinned mesh drawn with a fidget that has a skeleton.
    void SetSkinMatrices(const Mesh& mesh, const FidgetComponent* fidget, ShaderProgram& program);
    // A 1 x 1 opaque white texture, made at first use: a lit mesh without a
    // texture samples it, so it is drawn in its colour (tint) alone.
    rd::Texture* WhiteTexture(rd::Device& device);
    void ReleaseWhiteTexture();
    std::chrono::milliseconds m_lostDeviceWait{1000};
    std::vector<Matrix4> m_skinMatrices;  // scratch of SetSkinMatrices
    // Scratch of the hierarchy pass: the handles found, then the drawable
    // ones with their distance from the eye.
    struct HierarchyItem {
        float distance;
        const MeshComponent* mesh;
        const TransformComponent* transform;
    };
    std::vector<u32> m_hierarchyHandles;
    std::vector<HierarchyItem> m_hierarchyItems;
    // ---- end of the frame and object drawing ----

    bool m_debug = false;
    bool m_useHbv = true;
    RenderDevice* m_renderDevice = nullptr;
    TextureManager* m_textureManager = nullptr;
    MeshManager* m_meshManager = nullptr;
    LightManager* m_lightManager = nullptr;
    ObjectManager* m_objectManager = nullptr;
    MatrixManager* m_matrixManager = nullptr;
    CoreSystem* m_coreSystem = nullptr;
    HbvManager* m_hbvManager = nullptr;
    Skybox m_skybox{kSkyboxSize};
    rd::Device* m_device = nullptr;
    rd::VertexLayout* m_staticLayout = nullptr;
    rd::VertexLayout* m_skinnedLayout = nullptr;
    std::vector<u32> m_drawList;
    bool m_drawListSorted = true;
    std::vector<u32> m_shadowList;
    std::vector<u32> m_transparentPlaneList;
    std::vector<u32> m_emitterList;
    std::vector<u32> m_billboardList;
    std::vector<u32> m_aimerList;
    u32 m_cameraId = 0;
    std::array<std::unique_ptr<ShaderProgram>, kProgramCount> m_programs;
    std::array<ParamHandle, 23> m_parameters{};
    std::unique_ptr<DeviceTextRenderer> m_textRenderer;
    std::function<void(rd::Device&)> m_overlayHook;
    std::unique_ptr<TextFont> m_debugFont;
    std::array<rd::Texture*, kTargetCount> m_targets{};
    rd::Texture* m_whiteTexture = nullptr;
    rd::Texture* m_backBuffer = nullptr;
    std::array<std::unique_ptr<Mesh>, kDebugMeshCount> m_debugMeshes;
    const Matrix4* m_viewMatrix = nullptr;
    const Matrix4* m_projectionMatrix = nullptr;
    const Matrix4* m_orthoMatrix = nullptr;
    const Matrix4* m_inverseViewMatrix = nullptr;
    bool m_drawSkybox = false;
    bool m_drawDebugShapes = false;
    Vec4 m_fadeFrom{0, 0, 0, 0};
    Vec4 m_fadeTo{0, 0, 0, 0};
    Vec4 m_fadeColor{1, 1, 1, 1};
    float m_fadeDuration = 0.0f;
    float m_fadeElapsed = 0.0f;
    std::string m_fadeDoneMessage;
    bool m_billboardListSorted = true;
    bool m_doPostProcess = false;
    bool m_useSourceEffect = false;
    std::string m_skyboxName;
    bool m_showScaffolding = false;
    bool m_initialized = false;
    bool m_deviceObjectsOk = true;
    bool m_warnedNoFont = false;
    SubscriptionList m_subscriptions;

    // Particles: the emitters of the current frame's pass (reused).
    std::vector<ParticleEmitterComponent*> m_frameEmitters;
};

}  // namespace Ostrel
