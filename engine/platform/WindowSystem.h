#pragma once
// WindowSystem: the one window of the process, on SDL2.
//
// It creates and places the window (windowed and centred, or full screen as a
// borderless window at the screen size), pumps the window's events once per
// frame and turns them into the cases a window procedure handles: focus,
// moves, close, cursor, character and system keys, device changes, dropped
// files; keyboard and mouse go straight to Input. It switches between windowed
// and full screen and changes the size on request ("SetWindowed",
// "SetResolution", the debug key 'F', "ResolutionError"), and saves
// "WindowWidth", "WindowHeight" and "Fullscreen" to the user settings at
// shutdown. A framed window can be resized: its new size is the one used
// and saved.
//
// The game ignores close requests; the tools (toolMode) end the run on them.
// SIGINT and SIGTERM end the run in both (see QuitSignal). Sizes are client
// sizes: the frame does not count. Main thread only; every message it sends is
// delivered synchronously during Update.
//
// What a main does: construct it with the title (the tools then call
// SetToolMode(true)); give it a screen-size handler that passes a
// "ResolutionError" fall-back on to the matrix manager and the render device;
// add it to the engine right after the object manager; and only after
// Engine::CreateSystems read GetDeviceParams() (before, there is no window)
// and hand them to the render device, Input::SetWindow and the others.

#include "engine/base/Types.h"
#include "engine/core/MetaClassOf.h"
#include "engine/core/System.h"
#include "engine/platform/DeviceParams.h"
#include "engine/platform/SdlWindow.h"
#include "engine/platform/SubscriptionList.h"

#include <functional>
#include <memory>
#include <string>

namespace Ostrel {

class ConfigureFile;
class PlatformMessages;
class ScriptedInputPlayer;

class WindowSystem : public System {
public:
    static constexpr u32 kId = 3;
    // Window styles, kept for the size rules: captioned, or a bare popup.
    static constexpr u32 kStyleWindowed = 0x80CA0000u;
    static constexpr u32 kStylePopup = 0x80000000u;

    // name is the window title ("Tavrin" for the tools).
    explicit WindowSystem(const char* name = "Tavrin");
    // A copy carries the window settings (title, position, sizes, mode,
    // style, debug and tool mode) and nothing that belongs to a running
    // window: no window, no handlers, no scripted input, no subscriptions,
    // and it does not become the current window system.
    WindowSystem(const WindowSystem& other);
    ~WindowSystem() override;

    std::string GetName() const override { return "WindowSystem"; }
    u32 GetId() const override { return kId; }

    // Reads "Debug" from the system configuration (null: none) and the window
    // settings from the user settings.
    void LoadConfig(Serializer* config) override;
    // The user-settings part of LoadConfig: "Fullscreen" (inverted into the
    // windowed flag; missing keeps full screen), "WindowHeight", "WindowWidth".
    // A null reader (no settings file) leaves full screen at the screen size.
    void LoadUserSettings(ConfigureFile* settings);
    // Creates and shows the window and subscribes the handlers.
    void Create() override;
    void Initialize() override;
    // The event pump; dt only goes to the pumped hook.
    void Update(f32 dt) override;
    // Saves the settings, destroys the window, unsubscribes.
    void Shutdown() override;
    // Writes "WindowWidth", "WindowHeight" and "Fullscreen", in this order.
    void SaveUserSettings(ConfigureFile& settings) const;

    bool IsWindowed() const { return m_windowed; }
    void* GetWindowHandle() const;
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    // The parameters the mains hand to the render device after creation.
    DeviceParams GetDeviceParams() const;

    void SetToolMode(bool toolMode) { m_toolMode = toolMode; }
    bool IsToolMode() const { return m_toolMode; }
    bool IsDebug() const { return m_debug; }
    int GetPosX() const { return m_posX; }
    int GetPosY() const { return m_posY; }
    int GetSavedWidth() const { return m_savedWidth; }
    int GetSavedHeight() const { return m_savedHeight; }
    int GetScreenWidth() const { return m_screenWidth; }
    int GetScreenHeight() const { return m_screenHeight; }
    u32 GetStyle() const { return m_style; }
    const SdlWindow* GetWindow() const { return m_window.get(); }
    long GetFrame() const { return m_frame; }

    // The window system of the running program (set by the constructor).
    static WindowSystem* Current();

    // Message handlers.
    void OnKeyTriggered(int key, bool pressed);
    void OnSetWindowed(bool windowed);
    void OnQueryWindowed(bool* out);
    void OnSetResolution(int width, int height);
    void OnResolutionError();

    // Window-procedure cases, in our own terms.
    void OnClose();
    void OnDestroy();
    void OnMove(int x, int y);
    // The client area took a new size (the user dragged the frame, a window
    // manager tiled it, or a scripted "resize"): it becomes the window's
    // size, saved at shutdown, and "WindowScreenStateChange" tells the
    // renderer, so the picture follows the window's shape instead of being
    // stretched into it. A size of 0 (minimised) or the current size changes
    // nothing.
    void OnResize(int width, int height);
    void OnSetCursor();
    void OnDropFile(const std::string& path, bool firstOfDrop);

    // Seams. Messages go to the engine's core system unless a test gives
    // another sink. The screen-size handler receives the parameters of a
    // "ResolutionError" fall-back (the graphics side sets the matrix manager's
    // screen size and the render device's window parameters from it). The
    // quit handler ends the run (default: the engine's Quit). The raw-event
    // hook sees every SDL event (a const SDL_Event*) before it is handled,
    // for the editor's panels.
    void SetMessages(PlatformMessages& messages) { m_messages = &messages; }
    void SetScreenSizeHandler(std::function<void(const DeviceParams&)> handler);
    // Called once just before the window (and with it any GL context made on
    // it) goes away, at Shutdown or destruction: the render device gives up
    // its context there.
    void SetWindowClosingHandler(std::function<void()> handler);
    void SetQuitHandler(std::function<void()> handler);
    void SetRawEventHook(std::function<void(const void*)> hook);
    // Called at the end of every Update, after the frame's events were
    // handled, with the frame time: a safe point (no draw, no dispatch
    // running) where the tools build their panels and run what the panels
    // asked for.
    void SetPumpedHook(std::function<void(f32)> hook);
    // Replaces the scripted input (TAVRIN_INPUT_SCRIPT) by the given file.
    void UseInputScript(const std::string& path);
    // Finds the places that "mouse item" lines of the input script name
    // (the tools' panels install one); null removes it.
    void SetItemLocator(std::function<bool(const std::string& place, int& x, int& y)> locator);

private:
    // Lets the input script's "at" lines hear their core messages.
    void WatchScriptAnchors();
    void OpenWindow();
    void CreateMainWindow(std::string* error = nullptr);
    void Centre(int width, int height);
    void ToggleFullScreen();
    void PlaceFullScreen(int width, int height);
    void PlaceWindowed(int width, int height);
    void Quit();
    void CloseWindow();
    void PumpEvents();
    void HandleEvent(const void* sdlEvent);

    int m_posX = 0;
    int m_posY = 0;
    bool m_windowed = false;
    bool m_toolMode = false;
    u32 m_style = kStylePopup;
    bool m_debug = false;
    std::string m_name;
    std::string m_settingsPath;  // the settings file the window size came from
    int m_height = 0;
    int m_width = 0;
    int m_savedWidth = 0;
    int m_savedHeight = 0;
    int m_screenWidth = 0;
    int m_screenHeight = 0;
    long m_frame = 0;
    int m_pendingWidth = 0;  // the last size reported during this pump
    int m_pendingHeight = 0;
    bool m_destroyed = false;
    bool m_inDrop = false;
    bool m_dropSent = false;

    PlatformMessages* m_messages;
    std::function<void(const DeviceParams&)> m_screenSizeHandler;
    std::function<void()> m_closingHandler;
    std::function<void()> m_quitHandler;
    std::function<void(const void*)> m_rawHook;
    std::function<void(f32)> m_pumpedHook;
    std::unique_ptr<ScriptedInputPlayer> m_script;
    std::function<bool(const std::string&, int&, int&)> m_itemLocator;
    SubscriptionList m_subscriptions;
    bool m_watchingAnchors = false;
    // Declared last so the window goes before SDL video stops.
    std::unique_ptr<SdlWindow::Video> m_video;
    std::unique_ptr<SdlWindow> m_window;
};

}  // namespace Ostrel

LV_DECLARE_META_CLASS(Ostrel::WindowSystem);
