#include "engine/graphics/Graphics.h"

#include "engine/components/SkyboxComponent.h"
#include "engine/core/MessageComponent.h"
#include "engine/core/Composition.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/Matrix4.h"
#include "engine/core/MessageListenerTable.h"
#include "engine/core/ObjectManager.h"
#include "engine/core/ScopedProfiler.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/graphics/DebugDrawQueue.h"
#include "engine/graphics/text/DebugText.h"
#include "engine/graphics/text/DeviceTextRenderer.h"
#include "engine/graphics/LightManager.h"
#include "engine/graphics/MatrixManager.h"
#include "engine/graphics/models/Mesh.h"
#include "engine/graphics/models/MeshBuilders.h"
#include "engine/graphics/models/MeshManager.h"
#include "engine/graphics/RenderDevice.h"
#include "engine/graphics/ShaderProgram.h"
#include "engine/graphics/text/TextFont.h"
#include "engine/graphics/textures/TextureManager.h"
#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/physics/HbvManager.h"
#include "engine/platform/WindowSystem.h"

#include <mutex>

namespace Ostrel {

namespace {

constexpr int kRecompileKey = 48;  // '0'
constexpr int kDebugShapesKey = 112;  // F1
constexpr int kSkyboxKey = 119;  // F8

enum Parameter { kProjMat, kCamMat, kWorldMat, kDiffuseSampler };

struct ProgramSpec {
    const char* first;
    const char* second;  // null: one name gives "-vs" and "-ps"
};
constexpr ProgramSpec kProgramSpecs[Graphics::kProgramCount] = {
    {"skybox", nullptr},          {"particle", nullptr},           {"debug", nullptr},
    {"static-vert-vs", "lit-vert-ps"}, {"skinned-vert-vs", "lit-vert-ps"}, {"static-vert", nullptr},
    {"post-process", nullptr},    {"static-vert-vs", "edge-ps"},   {"skinned-vert-vs", "edge-ps"},
};

constexpr rd::Format kTargetFormats[Graphics::kTargetCount] = {
    rd::Format::X8R8G8B8, rd::Format::X8R8G8B8, rd::Format::X8R8G8B8, rd::Format::R32F, rd::Format::R32F};

const rd::VertexElement kSkinnedElements[] = {
    {0, rd::DeclType::Float3, rd::DeclUsage::Position},     {12, rd::DeclType::Float3, rd::DeclUsage::Normal},
    {24, rd::DeclType::Float2, rd::DeclUsage::TexCoord},    {32, rd::DeclType::Color, rd::DeclUsage::Color},
    {36, rd::DeclType::Float4, rd::DeclUsage::BlendWeight}, {52, rd::DeclType::UByte4, rd::DeclUsage::BlendIndices},
};
// The static layout is the first four elements of the skinned one.
constexpr std::size_t kStaticElementCount = 4;

}  // namespace

const char* const Graphics::kParameterNames[23] = {
    "ProjMat",          "CamMat",          "WorldMat",          "diffuse_sampler", "BoneMat",
    "AdditiveColor",    "tex_tiles",       "debug_color",       "tex_num",         "tex_width_per",
    "tex_height_per",   "opaqueness",      "unimp_depth_sampler", "imp_depth_sampler", "screen_sampler",
    "debug_sampler",    "normal_sampler",  "random_floats",     "mapping_sampler", "tile_percentage",
    "x_size",           "palette_tex_coord_adjust", "PsCameraMat"};

const char* const Graphics::kTargetNames[kTargetCount] = {"screenTarget", "edgeTarget", "auxTarget",
                                                          "impDepthTarget", "unimpDepthTarget"};

Graphics::Graphics() = default;

Graphics::~Graphics() = default;

void Graphics::LoadConfig(Serializer* config) {
    if (!config) return;
    config->SerializeBool("Debug", &m_debug);
    config->SerializeBool("DoPostProcess", &m_doPostProcess);
    config->SerializeBool("UseSourceEffect", &m_useSourceEffect);
    config->SerializeBool("UseHBV", &m_useHbv);
}

void Graphics::Create() {
    Engine* engine = Engine::Instance();
    m_objectManager = engine ? static_cast<ObjectManager*>(engine->GetObjectManager()) : nullptr;
    m_coreSystem = engine ? engine->GetCoreSystem() : nullptr;
    m_subscriptions.Listen("ObjectCreated", MakeDelegate(this, &Graphics::OnObjectCreated));
    m_subscriptions.Listen("ObjectDestroyed", MakeDelegate(this, &Graphics::OnObjectDestroyed));
    m_subscriptions.Listen("KeyTriggered", MakeDelegate(this, &Graphics::OnKeyTriggered));
    m_subscriptions.Listen("ShowScaffolding", MakeDelegate(this, &Graphics::OnShowScaffolding));
    m_subscriptions.Listen("WindowScreenStateChange", MakeDelegate(this, &Graphics::OnWindowScreenStateChange));
    m_subscriptions.Listen("CameraChange", MakeDelegate(this, &Graphics::OnCameraChange));
    m_subscriptions.Listen("GameReady", MakeDelegate(this, &Graphics::OnGameReady));
    m_subscriptions.Listen("StartFade", MakeDelegate(this, &Graphics::OnStartFade));
    m_subscriptions.Listen("GameEnding", MakeDelegate(this, &Graphics::OnGameEnding));
}

rd::Device* Graphics::LiveDevice() const {
    RenderDevice* renderDevice = GetRenderDevice();
    return renderDevice ? renderDevice->GetDevice() : nullptr;
}

void Graphics::Send(const std::string& message) {
    CoreSystem* core = m_coreSystem;
    if (!core) {
        Engine* engine = Engine::Instance();
        core = engine ? engine->GetCoreSystem() : nullptr;
    }
    if (core) core->Send(message);
}

void Graphics::Initialize() {
    m_renderDevice = GetRenderDevice();
    if (!m_renderDevice) {
        LogMessage("Graphics: no render device, nothing is drawn\n");
        return;
    }
    std::lock_guard lock(*m_renderDevice);
    m_meshManager = GetMeshManager();
    m_textureManager = TextureManager::Instance();
    m_device = m_renderDevice->GetDevice() ? m_renderDevice->GetDevice() : m_renderDevice->Create();
    m_lightManager = LightManager::GetInstance();
    m_matrixManager = MatrixManager::GetInstance();
    m_hbvManager = HbvManager::GetInstance();
    if (m_hbvManager) m_hbvManager->SetActive(m_useHbv);
    for (int i = 0; i < 23; ++i) m_parameters[i] = InternName(kParameterNames[i]);
    for (auto& mesh : m_debugMeshes) mesh = std::make_unique<Mesh>();
    m_deviceObjectsOk = true;
    CreateVertexLayouts();
    CreateDebugFont();
    m_drawSkybox = true;
    m_drawDebugShapes = true;
    for (int i = 0; i < kProgramCount; ++i) {
        const ProgramSpec& spec = kProgramSpecs[i];
        m_programs[i] = spec.second ? std::make_unique<ShaderProgram>(spec.first, spec.second)
                                    : std::make_unique<ShaderProgram>(spec.first);
    }
    if (m_matrixManager) {
        m_viewMatrix = m_matrixManager->GetView();
        m_projectionMatrix = m_matrixManager->GetProjection();
        m_orthoMatrix = m_matrixManager->GetOrthoProjection();
        m_inverseViewMatrix = m_matrixManager->GetInverseView();
    }
    CreateTargets();
    BuildDebugMeshes();
    if (m_meshManager) m_skybox.BuildPlanes(*m_meshManager);
    m_initialized = true;
    int valid = 0;
    for (const auto& program : m_programs) valid += program->IsValid() ? 1 : 0;
    LogMessagef("Graphics ready: %d of %d shader programs, %d render targets of %u x %u\n", valid,
                int(kProgramCount), int(kTargetCount), m_renderDevice->GetWidth(), m_renderDevice->GetHeight());
    // The profiler's section lines end at the bottom of the real window.
    Engine* engine = Engine::Instance();
    if (auto* window = engine ? dynamic_cast<WindowSystem*>(engine->GetWindowSystem()) : nullptr) {
        engine->GetProfiler().SetHeightSource([window] { return window->GetHeight(); });
    }
}

void Graphics::CreateVertexLayouts() {
    rd::Device* device = LiveDevice();
    if (!device) return;
    m_skinnedLayout = device->CreateVertexLayout(kSkinnedElements);
    m_staticLayout = device->CreateVertexLayout(std::span(kSkinnedElements, kStaticElementCount));
    if (m_skinnedLayout) m_skinnedLayout->SetName("skinnedVertexDecl");
    if (m_staticLayout) m_staticLayout->SetName("staticVertexDecl");
    if (!m_skinnedLayout || !m_staticLayout) {
        LogMessage("Graphics: a vertex layout could not be created; frames are skipped until the device is reset\n");
        m_deviceObjectsOk = false;
    }
}

void Graphics::ReleaseLayout(rd::VertexLayout*& layout) {
    if (rd::Device* device = LiveDevice(); device && layout) device->Release(layout);
    layout = nullptr;
}

void Graphics::CreateDebugFont() {
    m_debugFont.reset();
    m_textRenderer.reset();
    rd::Device* device = LiveDevice();
    if (!device) return;
    m_textRenderer = std::make_unique<DeviceTextRenderer>(*device);
    m_debugFont = TextFont::Create(DebugFontDesc(), m_textRenderer.get());
    if (!m_debugFont && !m_warnedNoFont) {
        m_warnedNoFont = true;
        LogMessage("Graphics: the debug font could not be created; debug text is not drawn\n");
    }
}

void Graphics::ReleaseDebugFont() {
    m_debugFont.reset();
    m_textRenderer.reset();
}

void Graphics::CreateTargets() {
    RenderDevice* renderDevice = GetRenderDevice();
    rd::Device* device = LiveDevice();
    if (!device) return;
    const u32 width = renderDevice->GetWidth();
    const u32 height = renderDevice->GetHeight();
    for (int i = 0; i < kTargetCount; ++i) {
        m_targets[i] = renderDevice->CreateRenderTarget(width, height, kTargetFormats[i], kTargetNames[i]);
    }
    m_backBuffer = device->GetRenderTarget(0);
}

void Graphics::ReleaseTarget(TargetIndex index) {
    if (rd::Device* device = LiveDevice(); device && m_targets[index]) device->Release(m_targets[index]);
    m_targets[index] = nullptr;
}

void Graphics::BuildDebugMeshes() {
    if (!m_debugMeshes[kDebugCircle]) return;
    BuildCircleMesh(m_debugMeshes[kDebugCircle].get(), 25);
    BuildDiagonalLineMesh(m_debugMeshes[kDebugLine].get(), 1);
    BuildSquareMesh(m_debugMeshes[kDebugSquare].get());
    BuildGridPlaneMesh(m_debugMeshes[kDebugPlane].get(), 1, 1);
    BuildWireCubeMesh(m_debugMeshes[kDebugCube].get());
}

void Graphics::Update(f32 dt) {
    RenderDevice* renderDevice = GetRenderDevice();
    {
        std::unique_lock<RenderDevice> lock;
        if (renderDevice) lock = std::unique_lock(*renderDevice);
        if (m_coreSystem) {
            m_coreSystem->SendMessageValues("GraphicsUpdate", dt);
        } else if (Engine* engine = Engine::Instance(); engine && engine->GetCoreSystem()) {
            engine->GetCoreSystem()->SendMessageValues("GraphicsUpdate", dt);
        }
        if (rd::Device* device = LiveDevice()) device->SetRenderState(rd::RS::CullMode, rd::Cull::CounterClockwise);
    }
    SortRenderLists();
    if (renderDevice && renderDevice->GetDevice()) {
        std::lock_guard lock(*renderDevice);
        RenderFrame(*renderDevice->GetDevice());
    }
    StepFade(dt);
}

void Graphics::DeviceLost() {
    if (m_meshManager) m_meshManager->ReleaseAllBuffers();
    for (DebugMeshIndex i : {kDebugCircle, kDebugSquare, kDebugLine, kDebugPlane, kDebugCube}) {
        if (m_debugMeshes[i]) m_debugMeshes[i]->ReleaseBuffers();
    }
    ReleaseDebugFont();
    for (TargetIndex i : {kScreenTarget, kEdgeTarget, kUnimpDepthTarget, kImpDepthTarget, kAuxTarget}) ReleaseTarget(i);
    m_backBuffer = nullptr;
    ReleaseWhiteTexture();
    ReleaseLayout(m_staticLayout);
    ReleaseLayout(m_skinnedLayout);
    Send("LostDevice");
}

void Graphics::DeviceReset() {
    RenderDevice* renderDevice = GetRenderDevice();
    if (!renderDevice) return;
    m_device = renderDevice->Reset();
    m_deviceObjectsOk = true;
    if (m_meshManager) m_meshManager->RebuildAllBuffers();
    for (DebugMeshIndex i : {kDebugCircle, kDebugSquare, kDebugLine, kDebugPlane, kDebugCube}) {
        if (m_debugMeshes[i]) m_debugMeshes[i]->Build();
    }
    if (m_initialized) CreateDebugFont();
    for (ProgramIndex i : {kDebugProgram, kStaticVertProgram, kSkinnedLitProgram, kSkyboxProgram, kParticleProgram,
                           kStaticLitProgram, kPostProcessProgram, kStaticEdgeProgram, kSkinnedEdgeProgram}) {
        if (m_programs[i]) m_programs[i]->ClearParameterCache();
    }
    if (m_initialized) {
        CreateTargets();
        CreateVertexLayouts();
    }
    Send("ResetDevice");
}

void Graphics::Shutdown() {
    if (RenderDevice* renderDevice = GetRenderDevice()) {
        std::lock_guard lock(*renderDevice);
        for (ProgramIndex i : {kParticleProgram, kStaticLitProgram, kPostProcessProgram, kDebugProgram,
                               kStaticVertProgram, kSkinnedLitProgram, kSkyboxProgram}) {
            if (m_programs[i]) m_programs[i]->ReleaseShaders();
        }
        ReleaseDebugFont();
        ReleaseLayout(m_staticLayout);
        ReleaseLayout(m_skinnedLayout);
        for (TargetIndex i : {kScreenTarget, kEdgeTarget, kAuxTarget, kImpDepthTarget, kUnimpDepthTarget}) {
            ReleaseTarget(i);
        }
        m_backBuffer = nullptr;
        ReleaseWhiteTexture();
        for (DebugMeshIndex i : {kDebugLine, kDebugSquare, kDebugCircle, kDebugPlane, kDebugCube}) {
            if (m_debugMeshes[i]) m_debugMeshes[i]->ReleaseBuffers();
        }
        for (ProgramIndex i : {kStaticEdgeProgram, kSkinnedEdgeProgram}) {
            if (m_programs[i]) m_programs[i]->ReleaseShaders();
        }
    }
    ReleaseDebugFont();
    for (auto& program : m_programs) program.reset();
    for (auto& mesh : m_debugMeshes) mesh.reset();
    m_subscriptions.Clear();
    if (m_initialized) {
        if (Engine* engine = Engine::Instance()) engine->GetProfiler().SetHeightSource(nullptr);
    }
    m_initialized = false;
}

void Graphics::OnKeyTriggered(int key, bool pressed) {
    if (!m_debug) return;
    if (key == kRecompileKey) {
        RenderDevice* renderDevice = GetRenderDevice();
        if (!renderDevice) return;
        std::lock_guard lock(*renderDevice);
        for (ProgramIndex i : {kStaticLitProgram, kSkinnedLitProgram}) {
            if (m_programs[i]) m_programs[i]->Compile();
        }
    } else if (key == kDebugShapesKey && pressed) {
        m_drawDebugShapes = !m_drawDebugShapes;
    } else if (key == kSkyboxKey && pressed) {
        m_drawSkybox = !m_drawSkybox;
    }
}

void Graphics::OnShowScaffolding(bool show) { m_showScaffolding = show; }

void Graphics::OnWindowScreenStateChange(bool windowed, u32 width, u32 height) {
    RenderDevice* renderDevice = GetRenderDevice();
    if (!renderDevice || !renderDevice->GetDevice()) return;
    std::lock_guard lock(*renderDevice);
    renderDevice->SetWindowed(windowed);
    renderDevice->SetWidth(width);
    renderDevice->SetHeight(height);
    DeviceLost();
    DeviceReset();
}

void Graphics::OnCameraChange(u32 id) { m_cameraId = id; }

void Graphics::OnGameReady() {
    m_fadeFrom = Vec4(0, 0, 0, 0);
    m_fadeTo = Vec4(1, 1, 1, 1);
    m_fadeColor = Vec4(0, 0, 0, 0);
    m_fadeDuration = kGameReadyFadeSeconds;
    m_fadeElapsed = 0.0f;
    m_fadeDoneMessage.clear();
}

void Graphics::OnStartFade(Vec4 from, Vec4 to, float seconds, std::string* message) {
    m_fadeFrom = from;
    m_fadeColor = from;
    m_fadeTo = to;
    m_fadeDuration = seconds;
    m_fadeElapsed = 0.0f;
    m_fadeDoneMessage = message ? *message : std::string();
}

void Graphics::OnGameEnding() {
    m_fadeDuration = 0.0f;
    m_fadeElapsed = 0.0f;
    m_fadeColor = Vec4(1, 1, 1, 1);
    m_fadeDoneMessage.clear();
}

void Graphics::StepFade(float dt) {
    if (!(m_fadeDuration > 0.0f)) return;
    m_fadeElapsed += dt;
    if (m_fadeElapsed < m_fadeDuration) {
        const float step = dt / m_fadeDuration;
        m_fadeColor.x += (m_fadeTo.x - m_fadeFrom.x) * step;
        m_fadeColor.y += (m_fadeTo.y - m_fadeFrom.y) * step;
        m_fadeColor.z += (m_fadeTo.z - m_fadeFrom.z) * step;
        m_fadeColor.w += (m_fadeTo.w - m_fadeFrom.w) * step;
        return;
    }
    m_fadeDuration = 0.0f;
    m_fadeElapsed = 0.0f;
    m_fadeColor = m_fadeTo;
    if (!m_fadeDoneMessage.empty()) Send(m_fadeDoneMessage);
}

void Graphics::OnSetSkybox(std::string* name) {
    if (!name || name->empty()) return;
    m_skyboxName = *name;
    TextureManager* textures = m_textureManager ? m_textureManager : TextureManager::Instance();
    if (textures) m_skybox.SetTextures(m_skyboxName, *textures);
}

}  // namespace Ostrel
