#pragma once
// The user interface system: the stack of live scenes (menus, loading and
// pause screens, tutorial pages), drawn bottom to top over the game frame.
//
// Scene changes are requests ("UiChangeScene"(name*, method)) applied at the
// next Update, in a fixed order: pops (those beyond the stack's depth are
// dropped), the last Goto (empties the stack and the tutorial queue), the
// last Replace, then the pushes in request order, on top of what the Goto or
// Replace brought; but a scene that pauses the game (a UiPauseHandler's: the
// pause menu) asked for in the frame of a Goto or Replace is not pushed
// (logged): the play it would pause ended there (the level was won, lost or
// the next one loads), and it would open over the screen that came instead.
// When any request was taken, the activation walk runs from the top down and
// stops after the first scene that accepts input. The start scene and tutorial pages are
// pushed without the walk.
//
// Every change of the stack is logged with the frame it happened in.
//
// Input: keys go to the topmost scene that accepts input (the mouse buttons
// 1, 2 and 4 to none), pad data to the top scene. "UiCaptureInput"(true)
// makes this system the only receiver of "KeyTriggered" and
// "ControllerUpdate". The UI clock ("UiTimeUpdate", at most 0.032 s a frame)
// runs while the engine is paused; tutorial pages wait in engine time. The
// scenes' input delays count UI time too (unless a test gave the scene
// manager its own clock), so a fixed-step run drops the same presses on
// every machine. A scene put on the stack ignores the keys that are down at
// that moment until they are let go (UiScene::IgnoreHeldKeys). This system
// hears no release that a direct handler of "KeyTriggered" took (the
// camera's fly-over): the keys held are checked against Input's as a scene
// is put on the stack, and a scene takes the next press of a key it was
// handed as held as a new one.
//
// Tutorial pages belong to play: none starts while the engine is paused (the
// pause menu is up) or, with a game system, while no level runs (the player
// fell, the level was won, the lost or complete menu is up); the queue waits
// for play to come back. A page covered by a menu is not drawn and its time
// stands still; a page on screen when play ends is taken off, and its record
// starts again from its first page when it is shown.
//
// Drawing: the system is the draw target of its UiDrawContext. Every quad is
// the shared unit quad drawn with "ui-effect" (textured) or the solid
// program; the world matrix times the orthographic projection (1.0 high,
// aspect wide; on a screen narrower than 4:3, 4/3 wide and as high as the
// screen's shape makes it, so 960 units always fit across) and the colour are set on the program that draws, since GL
// uniforms belong to one program. Text goes through the font manager.
//
// With "debug" configured: 'T' shows the test tutorial, 'L' unlocks and locks
// it in turn, 'R' reloads the top scene's script, 'E' toggles the layout
// editor (arrows move, with Control resize, Shift steps of 10, '[' and ']'
// cycle the selection).
//
// Main thread only.

#include "engine/base/Types.h"
#include "engine/core/Clock.h"
#include "engine/core/Matrix4.h"
#include "engine/core/ScriptEnums.h"
#include "engine/core/System.h"
#include "engine/core/Timer.h"
#include "engine/graphics/AtomManager.h"
#include "engine/platform/DeviceParams.h"
#include "engine/platform/SubscriptionList.h"
#include "engine/ui/UiDrawContext.h"
#include "engine/ui/UiDrawTarget.h"

#include <array>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace Ostrel {

class ShaderProgram;
class TutorialRecord;
class UiElementBase;
class UiScene;
struct ControllerData;

namespace rd {
class Buffer;
class Device;
class VertexLayout;
}  // namespace rd

class UiSystem : public System, public UiDrawTarget {
public:
    static constexpr u32 kId = FourCC("uiSy");
    static constexpr float kMaxUiStep = 0.032f;
    // Scenes the stack may hold: a push past it is refused with a log line
    // (a scene whose timer pushes itself every frame must not grow the stack
    // without bound).
    static constexpr std::size_t kMaxSceneStack = 64;
    static constexpr float kScreenUnits = 720.0f;
    // The narrowest layout: a 4:3 screen 720 units high is 960 units wide.
    static constexpr float kMinimumUnitsWide = 960.0f;
    static constexpr std::size_t kOverlayLineSize = 128;

    UiSystem();
    ~UiSystem() override;

    // System
    void Update(f32 dt) override;
    void Initialize() override;
    void LoadConfig(Serializer* config) override;
    void Shutdown() override;
    std::string GetName() const override { return "UiSystem"; }
    u32 GetId() const override { return kId; }

    // Host set-up, before the configuration.
    void SetScreenSize(int width, int height);
    void SetScreenSize(const DeviceParams& params) { SetScreenSize(int(params.width), int(params.height)); }
    // Replaces the start scene (also one the configuration set).
    void SetStartScene(const std::string& name) { m_startScene = name; }
    const std::string& GetStartScene() const { return m_startScene; }
    // The clock of the UI time (tests); read from the next tick on.
    void SetClock(const IClock& clock);

    // Messages.
    void OnLostDevice();
    void OnResetDevice();
    void OnSceneDrawing();
    void OnKeyTriggered(int key, bool down);
    void OnControllerUpdate(ControllerData* data);
    void OnUiChangeScene(std::string* name, UiSceneChangeMethod method);
    void OnStopLoop();
    void OnUiCaptureInput(bool capture);
    void OnQueueTutorial(TutorialRecord* record);
    void OnControllerChanged(bool connected);

    // UiDrawTarget
    void DrawQuad(const UiQuadDraw& quad) override;
    void DrawText(const UiTextDraw& text) override;
    bool IsEditMode() const override { return m_editMode; }

    // The projection: orthographic, 1.0 high and width / height wide (at
    // least 4/3 wide: a narrower screen shows more height), depth 0..1, y
    // upward.
    static Matrix4 Projection(float width, float height);

    const std::vector<UiScene*>& GetStack() const { return m_stack; }
    UiScene* GetTop() const { return m_stack.empty() ? nullptr : m_stack.back(); }
    UiDrawContext& GetDrawContext() { return m_context; }
    float GetScreenWidth() const { return m_screenWidth; }
    // Pixels per UI unit (see Projection).
    float PixelsPerUnit() const;
    float FillScale() const override;
    float GetScreenHeight() const { return m_screenHeight; }
    const Matrix4& GetProjection() const { return m_projection; }
    bool IsDebug() const { return m_debug; }
    bool IsLoadingDone() const { return m_loadingDone; }
    bool HasDeviceObjects() const { return m_vertices != nullptr; }
    UiElementBase* GetEditSelection() const { return m_editSelection; }
    std::size_t GetTutorialQueueLength() const { return m_tutorials.size(); }
    bool IsShowingTutorial() const { return m_tutorialShowing; }
    bool IsCapturingInput() const { return m_captured; }
    // The scenes drawn over the frame, bottom first: the stack without a
    // tutorial page that another scene covers.
    std::vector<UiScene*> ScenesToDraw() const;
    // The overlay lines of the layout editor for the selection (empty
    // without one), each cut to kOverlayLineSize - 1 characters.
    std::vector<std::string> EditOverlayLines() const;

private:
    void ApplyTransitions();
    // Logs the stack, bottom first: "UI scenes at frame N: boot > ...",
    // without the tutorial page (logged on its own when it shows).
    void LogStack() const;
    void PushNamed(const std::string& name);
    // The keys down now, for a scene just put on the stack.
    std::vector<int> HeldKeys();
    // Whether the template of that name holds a UiPauseHandler.
    static bool ScenePausesGame(const std::string& name);
    // False, with one log line per run of refusals, when the stack is full.
    bool HasRoomForScene(const std::string& name);
    void PopScene();
    void ClearScenes();
    void UpdateTutorials();
    // No level runs (a game system says so): tutorial pages wait.
    bool IsPlayOver() const;
    void OnDebugKey(int key, bool down);
    void BindQuadGeometry();
    void ReleaseDeviceObjects();

    UiDrawContext m_context;
    SubscriptionList m_subscriptions;

    rd::Device* m_device = nullptr;
    rd::VertexLayout* m_layout = nullptr;
    rd::Buffer* m_vertices = nullptr;
    rd::Buffer* m_indices = nullptr;
    std::unique_ptr<ShaderProgram> m_solidProgram;
    std::unique_ptr<ShaderProgram> m_texturedProgram;
    ParamHandle m_mvpHandle = nullptr;
    ParamHandle m_textureHandle = nullptr;
    ParamHandle m_colourHandle = nullptr;
    Matrix4 m_projection;
    float m_screenWidth = 640.0f;
    float m_screenHeight = 480.0f;

    std::string m_startScene;
    bool m_started = false;
    bool m_debug = false;
    bool m_editMode = false;
    std::unique_ptr<Timer> m_uiTimer;
    // Down or up by key code, pad buttons included (codes below 512).
    std::array<bool, 512> m_keyStates{};
    // UI time in microseconds, read by the scenes' input delays.
    ManualClock m_inputClock{1000000};

    u32 m_pendingPops = 0;
    std::vector<std::string> m_pendingPushes;
    std::string m_gotoScene;
    std::string m_replaceScene;
    bool m_reloadRequested = false;
    std::vector<UiScene*> m_stack;
    bool m_loadingDone = false;

    UiElementBase* m_editSelection = nullptr;
    float m_editStep = 1.0f;
    bool m_tutorialUnlockNext = true;
    float m_frameTime = 0.0f;

    std::deque<TutorialRecord*> m_tutorials;
    bool m_tutorialShowing = false;
    UiScene* m_tutorialScene = nullptr;
    std::size_t m_tutorialPage = 0;
    float m_tutorialTimeLeft = 0.0f;
    std::string m_tutorialTest;
    bool m_padConnected = false;
    bool m_captured = false;
    bool m_stopStepAdded = false;
    bool m_stackFullLogged = false;
};

}  // namespace Ostrel
