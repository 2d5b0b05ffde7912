#include "engine/ui/UiSystem.h"

#include "engine/base/Log.h"
#include "engine/base/Serializer.h"
#include "engine/core/CompositionFactory.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/Reflect.h"
#include "engine/core/ScopedProfiler.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/graphics/text/FontManager.h"
#include "engine/graphics/Graphics.h"
#include "engine/graphics/RenderDevice.h"
#include "engine/graphics/ShaderProgram.h"
#include "engine/graphics/device/Device.h"
#include "engine/platform/ControllerData.h"
#include "engine/platform/Input.h"
#include "engine/platform/VirtualKeys.h"
#include "engine/resources/ResourceManager.h"
#include "engine/ui/UiElementBase.h"
#include "engine/ui/UiScene.h"
#include "engine/ui/UiLoadHandlers.h"
#include "engine/ui/UiEventHandlers.h"
#include "engine/ui/UiSceneManager.h"
#include "engine/world/GameSystem.h"
#include "engine/world/TutorialRecord.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace Ostrel {

namespace {

constexpr u32 kVertexStride = 24;

// The unit quad: position, texture coordinate, colour (unused, 0).
struct QuadVertex {
    float x, y, z, u, v;
    u32 colour;
};
static_assert(sizeof(QuadVertex) == kVertexStride);

constexpr QuadVertex kQuad[4] = {{-0.5f, 0.5f, 0, 0, 0, 0},
                                 {-0.5f, -0.5f, 0, 0, 1, 0},
                                 {0.5f, -0.5f, 0, 1, 1, 0},
                                 {0.5f, 0.5f, 0, 1, 0, 0}};
constexpr u16 kQuadIndices[6] = {0, 2, 1, 0, 3, 2};
const rd::VertexElement kQuadElements[] = {
    {0, rd::DeclType::Float3, rd::DeclUsage::Position},
    {12, rd::DeclType::Float2, rd::DeclUsage::TexCoord},
    {20, rd::DeclType::Color, rd::DeclUsage::Color},
};

constexpr int kMouseKeys[] = {1, 2, 4};
constexpr int kKeyShift = 16, kKeyControl = 17, kKeyLeftControl = 162;
constexpr int kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39, kKeyDown = 40;
constexpr int kKeyE = 69, kKeyL = 76, kKeyR = 82, kKeyT = 84;
constexpr int kKeyBracketOpen = 219, kKeyBracketClose = 221;

CoreSystem* Core() {
    Engine* engine = Engine::Instance();
    return engine ? engine->GetCoreSystem() : nullptr;
}

}  // namespace

UiSystem::UiSystem() : m_context(*this), m_uiTimer(std::make_unique<Timer>()) {
    m_uiTimer->Tick();
}

UiSystem::~UiSystem() {
    ReleaseDeviceObjects();
}

void UiSystem::SetScreenSize(int width, int height) {
    m_screenWidth = float(width);
    m_screenHeight = float(height);
}

void UiSystem::SetClock(const IClock& clock) {
    m_uiTimer = std::make_unique<Timer>(clock);
    m_uiTimer->Tick();
}

void UiSystem::LoadConfig(Serializer* config) {
    if (config == nullptr) return;
    if (m_startScene.empty()) config->SerializeString("start-scene", &m_startScene);
    config->SerializeBool("debug", &m_debug);
    config->SerializeString("tutorial-test", &m_tutorialTest);
}

void UiSystem::Initialize() {
    m_keyStates.fill(false);
    if (UiSceneManager* scenes = UiSceneManager::Instance(); scenes && !scenes->GetInputClock())
        scenes->SetInputClock(&m_inputClock);
    m_subscriptions.Listen("LostDevice", MakeDelegate(this, &UiSystem::OnLostDevice));
    m_subscriptions.Listen("ResetDevice", MakeDelegate(this, &UiSystem::OnResetDevice));
    m_subscriptions.Listen("SceneDrawing", MakeDelegate(this, &UiSystem::OnSceneDrawing));
    m_subscriptions.Listen("KeyTriggered", MakeDelegate(this, &UiSystem::OnKeyTriggered));
    m_subscriptions.Listen("ControllerUpdate", MakeDelegate(this, &UiSystem::OnControllerUpdate));
    m_subscriptions.Listen("UiChangeScene", MakeDelegate(this, &UiSystem::OnUiChangeScene));
    m_subscriptions.Listen("StopLoop", MakeDelegate(this, &UiSystem::OnStopLoop));
    m_subscriptions.Listen("UiCaptureInput", MakeDelegate(this, &UiSystem::OnUiCaptureInput));
    m_subscriptions.Listen("QueueTutorial", MakeDelegate(this, &UiSystem::OnQueueTutorial));
    m_subscriptions.Listen("ControllerChanged", MakeDelegate(this, &UiSystem::OnControllerChanged));
    m_mvpHandle = InternName("u_mvp");
    m_textureHandle = InternName("Tex");
    m_colourHandle = InternName("u_color");
    if (!m_stopStepAdded) {
        // Loading threads fill managers and use systems: they end before
        // the first system shuts down.
        if (Engine* engine = GetEngine()) engine->AddStopStep([] { UiResourceLoadHandler::StopAllLoads(); });
        m_stopStepAdded = true;
    }
    if (m_debug) {
        if (ResourceManager* resources = ResourceManager::Instance()) resources->BackgroundLoad();
    }
    OnResetDevice();
}

void UiSystem::Shutdown() {
    // The scene manager may outlive this system (the tools' order).
    if (UiSceneManager* scenes = UiSceneManager::Instance(); scenes && scenes->GetInputClock() == &m_inputClock)
        scenes->SetInputClock(nullptr);
    // A background load still running would outlive the managers it fills.
    UiResourceLoadHandler::StopAllLoads();
    m_subscriptions.Clear();
    OnLostDevice();
    ClearScenes();
    // A pause scene popped just now sent its release to nobody: no direct
    // handler may be left pointing here.
    if (m_captured) OnUiCaptureInput(false);
}

// ---- device objects

void UiSystem::OnResetDevice() {
    RenderDevice* renderDevice = GetRenderDevice();
    if (renderDevice == nullptr) return;
    std::lock_guard lock(*renderDevice);
    rd::Device* device = renderDevice->GetDevice();
    if (device == nullptr) return;
    ReleaseDeviceObjects();
    m_device = device;
    if (renderDevice->GetWidth() > 0 && renderDevice->GetHeight() > 0) {
        m_screenWidth = float(renderDevice->GetWidth());
        m_screenHeight = float(renderDevice->GetHeight());
    }
    m_layout = device->CreateVertexLayout(kQuadElements);
    m_vertices = device->CreateVertexBuffer(sizeof(kQuad), false);
    std::memcpy(m_vertices->Lock(true), kQuad, sizeof(kQuad));
    m_vertices->Unlock();
    m_indices = device->CreateIndexBuffer16(sizeof(kQuadIndices), false);
    std::memcpy(m_indices->Lock(true), kQuadIndices, sizeof(kQuadIndices));
    m_indices->Unlock();
    m_solidProgram = std::make_unique<ShaderProgram>("ui-effect-vs", "ui-effect-solid-ps");
    m_texturedProgram = std::make_unique<ShaderProgram>("ui-effect");
    m_projection = Projection(m_screenWidth, m_screenHeight);
}

void UiSystem::OnLostDevice() {
    RenderDevice* renderDevice = GetRenderDevice();
    std::unique_lock<RenderDevice> lock;
    if (renderDevice) lock = std::unique_lock<RenderDevice>(*renderDevice);
    ReleaseDeviceObjects();
}

void UiSystem::ReleaseDeviceObjects() {
    // The window's close may have taken the device and everything it made.
    RenderDevice* renderDevice = GetRenderDevice();
    const bool alive = renderDevice && renderDevice->GetDevice() == m_device && m_device != nullptr;
    // Programs give their objects back only to a device that still exists.
    m_texturedProgram.reset();
    m_solidProgram.reset();
    if (alive) {
        if (m_vertices) m_device->Release(m_vertices);
        if (m_indices) m_device->Release(m_indices);
        if (m_layout) m_device->Release(m_layout);
    }
    m_vertices = nullptr;
    m_indices = nullptr;
    m_layout = nullptr;
    m_device = nullptr;
}

Matrix4 UiSystem::Projection(float width, float height) {
    Matrix4 m;
    const float aspect = height > 0.0f && width > 0.0f ? width / height : 1.0f;
    // Narrower than 4:3, the screen shows kMinimumUnitsWide units across and
    // more than 720 from top to bottom, so no layout is cut at the sides.
    const float fit = std::min(1.0f, aspect * kScreenUnits / kMinimumUnitsWide);
    m(0, 0) = 2.0f * fit / aspect;
    m(1, 1) = 2.0f * fit;
    m(2, 2) = 1.0f;
    m(3, 3) = 1.0f;
    return m;
}

float UiSystem::PixelsPerUnit() const {
    return std::min(m_screenHeight / kScreenUnits, m_screenWidth / kMinimumUnitsWide);
}

float UiSystem::FillScale() const {
    return kScreenUnits * PixelsPerUnit() > 0.0f ? m_screenHeight / (kScreenUnits * PixelsPerUnit()) : 1.0f;
}

// ---- frame

void UiSystem::Update(f32 dt) {
    m_frameTime = dt;
    if (!m_started) {
        m_started = true;
        if (!m_startScene.empty()) {
            if (UiSceneManager* scenes = UiSceneManager::Instance()) {
                if (UiScene* scene = scenes->Instantiate(m_startScene)) {
                    scene->IgnoreHeldKeys(HeldKeys());
                    m_stack.push_back(scene);
                    LogStack();
                }
            }
        }
    }
    if (m_reloadRequested) {
        m_reloadRequested = false;
        if (UiScene* top = GetTop()) top->Reload();
        m_pendingPops = 0;
        m_replaceScene.clear();
        m_pendingPushes.clear();
    }
    Engine* engine = Engine::Instance();
    const bool fixedStep = engine && engine->GetRunSwitches().fixedDt;
    if (!m_loadingDone) {
        if (fixedStep) UiResourceLoadHandler::WaitWhileLoadsRun();
        ResourceManager* resources = ResourceManager::Instance();
        if (resources && resources->IsBackgroundLoadDone()) {
            m_loadingDone = true;
            if (CompositionFactory* factory = CompositionFactory::Instance()) factory->InitializeArchetypes();
            if (UiScene* top = GetTop()) top->RaiseEvent("UiLoadingDone");
        }
    }
    ApplyTransitions();
    m_uiTimer->Tick();
    float uiStep = m_uiTimer->GetDelta();
    // On a fixed frame step (replays) the UI's time is that step too, as the
    // engine's is: a timer then fires at the same frame in every run,
    // whatever the wall clock did meanwhile. It runs while paused.
    if (fixedStep) uiStep = static_cast<float>(*engine->GetRunSwitches().fixedDt);
    const float uiTime = std::min(uiStep, kMaxUiStep);
    m_inputClock.AdvanceSeconds(uiTime);
    if (CoreSystem* core = Core()) core->SendMessageFloat("UiTimeUpdate", uiTime);
    UpdateTutorials();
}

void UiSystem::OnUiChangeScene(std::string* name, UiSceneChangeMethod method) {
    const std::string target = name ? *name : std::string();
    switch (method) {
    case UiSceneChangeMethod::Push:
        // More pushes in one frame than the stack holds cannot all succeed.
        if (m_pendingPushes.size() < kMaxSceneStack) m_pendingPushes.push_back(target);
        break;
    case UiSceneChangeMethod::Pop: ++m_pendingPops; break;
    case UiSceneChangeMethod::Goto: m_gotoScene = target; break;
    default: m_replaceScene = target; break;
    }
    m_editSelection = nullptr;
}

void UiSystem::PushNamed(const std::string& name) {
    UiSceneManager* scenes = UiSceneManager::Instance();
    if (scenes == nullptr || !HasRoomForScene(name)) return;
    if (UiScene* scene = scenes->Instantiate(name)) {
        scene->IgnoreHeldKeys(HeldKeys());
        m_stack.push_back(scene);
    }
}

bool UiSystem::ScenePausesGame(const std::string& name) {
    UiSceneManager* scenes = UiSceneManager::Instance();
    if (scenes == nullptr) return false;
    UiSceneManager::Lock lock(*scenes);
    const UiScene* scene = scenes->Find(name);
    if (scene == nullptr) return false;
    const auto& handlers = scene->GetHandlers();
    return std::any_of(handlers.begin(), handlers.end(),
                       [](const auto& handler) { return dynamic_cast<const UiPauseHandler*>(handler.get()) != nullptr; });
}

std::vector<int> UiSystem::HeldKeys() {
    // A release taken by a direct handler of "KeyTriggered" (the fly-over)
    // never reached this table: the keys Input knows as up are up here too.
    const Input* input = Input::Current();
    std::vector<int> held;
    for (std::size_t key = 0; key < m_keyStates.size(); ++key) {
        if (m_keyStates[key] && input && key < std::size_t(Vk::kKeyCount) && !input->GetKey(int(key)).down)
            m_keyStates[key] = false;
        if (m_keyStates[key]) held.push_back(int(key));
    }
    return held;
}

bool UiSystem::HasRoomForScene(const std::string& name) {
    if (m_stack.size() < kMaxSceneStack) {
        m_stackFullLogged = false;
        return true;
    }
    if (!m_stackFullLogged) {
        LogErrorf("UiSystem: scene '%s' not pushed: the scene stack holds %zu scenes already\n", name.c_str(),
                  m_stack.size());
        m_stackFullLogged = true;
    }
    return false;
}

void UiSystem::PopScene() {
    if (m_stack.empty()) return;
    UiScene* scene = m_stack.back();
    m_stack.pop_back();
    // Nothing may keep pointing into the scene that goes now.
    if (scene == m_tutorialScene) {
        m_tutorialScene = nullptr;
        m_tutorialShowing = false;
    }
    if (m_editSelection && m_editSelection->GetRoot() == scene) m_editSelection = nullptr;
    scene->Leave();
    if (UiSceneManager* scenes = UiSceneManager::Instance()) scenes->Release(scene);
}

void UiSystem::ClearScenes() {
    while (!m_stack.empty()) PopScene();
    m_tutorials.clear();
    m_tutorialShowing = false;
    m_tutorialScene = nullptr;
    m_tutorialPage = 0;
    m_tutorialTimeLeft = 0.0f;
}

void UiSystem::ApplyTransitions() {
    bool changed = false;
    // Pops and replacements come from the scenes the player moves through
    // (the HUD's lost and complete menus, a menu's Back), never from a
    // tutorial page: a page on top is taken off first, its showing cut
    // short, so the request reaches the scene it was meant for.
    if ((m_pendingPops > 0 || !m_replaceScene.empty()) && m_tutorialScene && GetTop() == m_tutorialScene)
        PopScene();
    if (m_pendingPops > 0) {
        changed = true;
        while (m_pendingPops > 0 && !m_stack.empty()) {
            --m_pendingPops;
            PopScene();
        }
        m_pendingPops = 0;
    }
    const bool replaced = !m_gotoScene.empty() || !m_replaceScene.empty();
    if (!m_gotoScene.empty()) {
        changed = true;
        const std::string name = std::move(m_gotoScene);
        m_gotoScene.clear();
        ClearScenes();
        m_pendingPops = 0;
        PushNamed(name);
    }
    if (!m_replaceScene.empty()) {
        changed = true;
        const std::string name = std::move(m_replaceScene);
        m_replaceScene.clear();
        PopScene();
        PushNamed(name);
    }
    if (replaced) {
        // A pause menu asked for in the frame that a Goto or a Replace took
        // the screen over (the HUD's, as the level is won, lost or the next
        // one loads) pauses a play that is over: it would open over the
        // screen that took the HUD's place.
        std::erase_if(m_pendingPushes, [](const std::string& name) {
            if (!ScenePausesGame(name)) return false;
            LogMessagef("UiSystem: scene '%s' not pushed: the play it pauses ended in the same frame\n", name.c_str());
            return true;
        });
    }
    if (!m_pendingPushes.empty()) {
        const std::size_t before = m_stack.size();
        const std::vector<std::string> names = std::move(m_pendingPushes);
        m_pendingPushes.clear();
        for (const std::string& name : names) PushNamed(name);
        // Pushes refused because the stack was full change nothing: no walk,
        // no stack line every frame.
        changed = changed || m_stack.size() != before || before < kMaxSceneStack;
    }
    if (!changed) return;
    for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it) {
        (*it)->SetActive(true);
        if ((*it)->AcceptsInput()) break;
    }
    LogStack();
}

void UiSystem::LogStack() const {
    // Tutorial pages come and go on their own timer, whatever the player
    // does in the menus: they have their own log line, and the stack line
    // names the scenes the player moves through.
    std::string names;
    for (const UiScene* scene : m_stack) {
        if (scene != m_tutorialScene) names += (names.empty() ? "" : " > ") + scene->GetName();
    }
    const Engine* engine = Engine::Instance();
    const unsigned long long frame = engine && engine->IsRunning() ? engine->GetFrameCount() + 1 : 0;
    LogMessagef("UI scenes at frame %llu: %s\n", frame, names.empty() ? "(none)" : names.c_str());
}

bool UiSystem::IsPlayOver() const {
    const Engine* engine = Engine::Instance();
    const auto* game = engine ? dynamic_cast<const GameSystem*>(engine->GetGameSystem()) : nullptr;
    // A host without a game system shows its pages whenever they come.
    return game != nullptr && !game->IsLevelRunning();
}

void UiSystem::UpdateTutorials() {
    const Engine* engine = Engine::Instance();
    const bool playOver = IsPlayOver();
    if (m_tutorialShowing && playOver && m_tutorialScene != nullptr && GetTop() == m_tutorialScene) {
        // The level was lost or won under the page: it goes now, unfinished,
        // and its record starts again from its first page in play.
        PopScene();
        m_tutorialPage = 0;
        return;
    }
    if (m_tutorialShowing) {
        if (m_tutorialScene != nullptr && GetTop() == m_tutorialScene) {
            m_tutorialTimeLeft -= m_frameTime;
            if (m_tutorialTimeLeft < 0.0f) {
                m_tutorialShowing = false;
                PopScene();
                m_tutorialScene = nullptr;
            }
        } else if (m_tutorialScene == nullptr ||
                   std::find(m_stack.begin(), m_stack.end(), m_tutorialScene) == m_stack.end()) {
            m_tutorialScene = nullptr;
            m_tutorialShowing = false;
        }
        return;
    }
    // Nothing starts under the pause menu or once the level is over.
    if (playOver || (engine && engine->IsPaused())) return;
    if (m_tutorials.empty()) return;
    TutorialRecord* record = m_tutorials.front();
    if (m_tutorialPage >= record->GetScenes().size()) {
        record->MarkShown();
        m_tutorialPage = 0;
        m_tutorials.pop_front();
        if (m_tutorials.empty()) return;
        record = m_tutorials.front();
        if (record->GetScenes().empty()) return;  // marked at the next update
    }
    m_tutorialShowing = true;
    const TutorialScene& page = *record->GetScenes()[m_tutorialPage++];
    m_tutorialTimeLeft = float(page.delay) / 1000.0f;
    const TutorialSceneInput current = m_padConnected ? TutorialSceneInputs::Controller : TutorialSceneInputs::Keyboard;
    if (!Matches(page.input, current)) {
        m_tutorialShowing = false;
        return;
    }
    UiSceneManager* scenes = UiSceneManager::Instance();
    if (!HasRoomForScene(page.sceneName)) scenes = nullptr;
    UiScene* scene = scenes ? scenes->InstantiateWithoutEnter(page.sceneName) : nullptr;
    m_tutorialScene = scene;
    if (scene == nullptr) return;  // the next update finds it missing and goes on
    m_stack.push_back(scene);
    scene->SetAcceptsInput(false);
    scene->Enter();
    const unsigned long long frame = engine && engine->IsRunning() ? engine->GetFrameCount() + 1 : 0;
    LogMessagef("Tutorial '%s' shows its page '%s' at frame %llu\n", record->GetName().c_str(),
                page.sceneName.c_str(), frame);
}

// ---- input

void UiSystem::OnKeyTriggered(int key, bool down) {
    if (key >= 0 && std::size_t(key) < m_keyStates.size()) m_keyStates[std::size_t(key)] = down;
    if (m_debug) OnDebugKey(key, down);
    if (m_editMode) return;
    if (std::find(std::begin(kMouseKeys), std::end(kMouseKeys), key) != std::end(kMouseKeys)) return;
    for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it) {
        if ((*it)->AcceptsInput()) {
            (*it)->OnKey(key, down);
            return;
        }
    }
}

void UiSystem::OnDebugKey(int key, bool down) {
    CoreSystem* core = Core();
    if (down && key == kKeyT && !m_tutorialTest.empty() && core) {
        core->SendMessageStringValue("ShowTutorial", m_tutorialTest);
    }
    if (down && key == kKeyL && !m_tutorialTest.empty() && core) {
        core->SendMessageStringValue(m_tutorialUnlockNext ? "UnlockTutorial" : "LockTutorial", m_tutorialTest);
        m_tutorialUnlockNext = !m_tutorialUnlockNext;
    }
    if (m_editMode && key == kKeyShift) m_editStep = down ? 10.0f : 1.0f;
    if (!down) return;
    UiScene* top = GetTop();
    if (key == kKeyR) {
        m_reloadRequested = true;
        m_editSelection = nullptr;
    } else if (key == kKeyE) {
        m_editMode = !m_editMode;
        m_editSelection = top ? top->EditSelectFirst() : nullptr;
    }
    if (!m_editMode) return;
    if (key == kKeyBracketOpen && top) m_editSelection = top->EditSelectPrevious();
    if (key == kKeyBracketClose && top) m_editSelection = top->EditSelectNext();
    UiElementBase* element = m_editSelection;
    if (element == nullptr) return;
    const float step = m_editStep;
    if (!m_keyStates[kKeyControl] && !m_keyStates[kKeyLeftControl]) {
        if (key == kKeyUp) element->SetY(element->GetY() - step);
        if (key == kKeyDown) element->SetY(element->GetY() + step);
        if (key == kKeyLeft) element->SetX(element->GetX() - step);
        if (key == kKeyRight) element->SetX(element->GetX() + step);
    } else {
        if (key == kKeyDown) element->SetHeight(element->GetHeight() - step);
        if (key == kKeyUp) element->SetHeight(element->GetHeight() + step);
        if (key == kKeyLeft) element->SetWidth(element->GetWidth() - step);
        if (key == kKeyRight) element->SetWidth(element->GetWidth() + step);
    }
}

void UiSystem::OnControllerUpdate(ControllerData* data) {
    if (UiScene* top = GetTop()) top->OnController(data);
}

void UiSystem::OnStopLoop() {
    if (Engine* engine = Engine::Instance()) engine->Quit();
}

void UiSystem::OnUiCaptureInput(bool capture) {
    CoreSystem* core = Core();
    if (core == nullptr) return;
    m_captured = capture;
    if (capture) {
        core->SetHandler("KeyTriggered", MakeDelegate(this, &UiSystem::OnKeyTriggered));
        core->SetHandler("ControllerUpdate", MakeDelegate(this, &UiSystem::OnControllerUpdate));
    } else {
        core->ClearHandler("KeyTriggered");
        core->ClearHandler("ControllerUpdate");
    }
}

void UiSystem::OnQueueTutorial(TutorialRecord* record) {
    if (record) m_tutorials.push_back(record);
}

void UiSystem::OnControllerChanged(bool connected) {
    m_padConnected = connected;
}

// ---- drawing

void UiSystem::BindQuadGeometry() {
    if (m_device == nullptr || m_vertices == nullptr) return;
    m_device->SetStreamSource(m_vertices, kVertexStride);
    m_device->SetIndices(m_indices);
    m_device->SetVertexLayout(m_layout);
}

void UiSystem::OnSceneDrawing() {
    ScopedProfiler profile;
    m_context.ResetTextState();
    if (!m_stack.empty()) {
        if (m_device) {
            m_device->SetRenderState(rd::RS::ZEnable, 0);
            m_device->SetRenderState(rd::RS::AlphaBlendEnable, 1);
            m_device->SetRenderState(rd::RS::DestBlend, rd::Blend::InvSrcAlpha);
            m_device->SetRenderState(rd::RS::SrcBlend, rd::Blend::SrcAlpha);
            BindQuadGeometry();
        }
        for (UiScene* scene : ScenesToDraw()) scene->Draw(m_context);
    }
    if (m_editMode && m_editSelection) {
        const std::vector<std::string> lines = EditOverlayLines();
        float y = 5.0f;
        for (const std::string& line : lines) {
            Graphics::DrawDebugText(line.c_str(), 5.0f, y, 255, 0, 0, 255);
            y += 14.0f;
        }
        const float unit = PixelsPerUnit();
        const float x = m_editSelection->GetX() * unit + m_screenWidth / 2.0f;
        const float ey = m_editSelection->GetY() * unit + m_screenHeight / 2.0f;
        Graphics::DrawDebugText("edit", x, ey, 255, 0, 0, 255);
    }
}

std::vector<UiScene*> UiSystem::ScenesToDraw() const {
    std::vector<UiScene*> scenes;
    for (UiScene* scene : m_stack) {
        // A page under a menu waits, unseen, until the menu is gone.
        if (scene == m_tutorialScene && scene != GetTop()) continue;
        scenes.push_back(scene);
    }
    return scenes;
}

std::vector<std::string> UiSystem::EditOverlayLines() const {
    std::vector<std::string> lines;
    if (m_editSelection == nullptr) return lines;
    const UiElementBase& e = *m_editSelection;
    char buffer[kOverlayLineSize];
    std::snprintf(buffer, sizeof buffer, "id: %s", e.GetName().c_str());
    lines.emplace_back(buffer);
    std::snprintf(buffer, sizeof buffer, "pos: %d, %d", int(e.GetX()), int(e.GetY()));
    lines.emplace_back(buffer);
    std::snprintf(buffer, sizeof buffer, "dim: %d, %d", int(e.GetWidth()), int(e.GetHeight()));
    lines.emplace_back(buffer);
    return lines;
}

void UiSystem::DrawQuad(const UiQuadDraw& quad) {
    if (m_device == nullptr) return;
    ShaderProgram* program =
        quad.technique == UiTechnique::Solid ? m_solidProgram.get() : m_texturedProgram.get();
    if (program == nullptr) return;
    const Matrix4 mvp = quad.world * m_projection;
    program->Use(ShaderProgram::kUseVertex | ShaderProgram::kUsePixel);
    program->SetMatrix(m_mvpHandle, &mvp);
    program->SetVec4(m_colourHandle, &quad.colour);
    if (quad.technique == UiTechnique::Textured) program->SetTexture(m_textureHandle, quad.texture);
    m_device->DrawIndexed(rd::Prim::TriangleList, 4, 2);
}

void UiSystem::DrawText(const UiTextDraw& text) {
    FontManager* fonts = FontManager::Instance();
    if (fonts == nullptr || text.text == nullptr) return;
    if (text.wrapWidth == 0) {
        fonts->DrawText(text.text, text.x, text.y, text.alignment);
    } else {
        fonts->DrawTextAligned(text.text, text.x, text.y, text.wrapWidth, text.alignment);
    }
    // The font drawing binds its own geometry: take the quad's back.
    BindQuadGeometry();
}

}  // namespace Ostrel

LV_REFLECT_OPAQUE(Ostrel::UiSystem);
