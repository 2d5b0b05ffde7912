#include "engine/platform/WindowSystem.h"

#include "engine/base/Log.h"
#include "engine/base/RunSwitches.h"
#include "engine/base/Serializer.h"
#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/core/VarFun_Delegate.h"
#include "engine/io/ConfigureFile.h"
#include "engine/io/DataValue.h"
#include "engine/io/UserConfigManager.h"
#include "engine/platform/PlatformMessages.h"
#include "engine/platform/QuitSignal.h"
#include "engine/platform/ScriptedInputPlayer.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <string>

namespace Ostrel {

namespace {

WindowSystem* s_current = nullptr;

constexpr int kKeyF = 70;

}  // namespace

WindowSystem::WindowSystem(const char* name) : m_name(name ? name : "Tavrin"), m_messages(&DefaultPlatformMessages()) {
    s_current = this;
    // Before anything starts SDL, so SDL installs no signal handlers of its own.
    QuitSignal::Install();
}

WindowSystem::WindowSystem(const WindowSystem& other)
    : System(),
      m_posX(other.m_posX),
      m_posY(other.m_posY),
      m_windowed(other.m_windowed),
      m_toolMode(other.m_toolMode),
      m_style(other.m_style),
      m_debug(other.m_debug),
      m_name(other.m_name),
      m_height(other.m_height),
      m_width(other.m_width),
      m_savedWidth(other.m_savedWidth),
      m_savedHeight(other.m_savedHeight),
      m_screenWidth(other.m_screenWidth),
      m_screenHeight(other.m_screenHeight),
      m_messages(other.m_messages) {}

WindowSystem::~WindowSystem() {
    m_script.reset();
    WatchScriptAnchors();
    CloseWindow();
    m_video.reset();
    if (s_current == this) s_current = nullptr;
}

WindowSystem* WindowSystem::Current() {
    return s_current;
}

void WindowSystem::SetScreenSizeHandler(std::function<void(const DeviceParams&)> handler) {
    m_screenSizeHandler = std::move(handler);
}

void WindowSystem::SetWindowClosingHandler(std::function<void()> handler) {
    m_closingHandler = std::move(handler);
}

void WindowSystem::CloseWindow() {
    if (m_window && m_closingHandler) m_closingHandler();
    m_window.reset();
}

void WindowSystem::SetQuitHandler(std::function<void()> handler) {
    m_quitHandler = std::move(handler);
}

void WindowSystem::SetRawEventHook(std::function<void(const void*)> hook) {
    m_rawHook = std::move(hook);
}

void WindowSystem::SetPumpedHook(std::function<void(f32)> hook) {
    m_pumpedHook = std::move(hook);
}

void WindowSystem::LoadConfig(Serializer* config) {
    if (config) config->SerializeBool("Debug", &m_debug);
    UserConfigManager* settings = UserConfigManager::Instance();
    m_settingsPath = settings ? settings->GetFilePath() : std::string();
    LoadUserSettings(settings ? settings->GetReader() : nullptr);
}

void WindowSystem::LoadUserSettings(ConfigureFile* settings) {
    int width = 0;
    int height = 0;
    if (settings) {
        settings->Bool("Fullscreen", &m_windowed);
        m_windowed = !m_windowed;
        // A negative size is refused with the file's name; 0
        // stands for the screen's size.
        if (auto* serializer = dynamic_cast<Serializer*>(settings)) {
            SerializeValue(*serializer, "WindowHeight", &height, NonNegative<int>());
            SerializeValue(*serializer, "WindowWidth", &width, NonNegative<int>());
        } else {
            settings->Int("WindowHeight", &height);
            settings->Int("WindowWidth", &width);
        }
    }
    m_height = m_savedHeight = height;
    m_width = m_savedWidth = width;
}

void WindowSystem::SaveUserSettings(ConfigureFile& settings) const {
    int width = m_width;
    int height = m_height;
    int fullscreen = m_windowed ? 0 : 1;
    settings.Int("WindowWidth", &width);
    settings.Int("WindowHeight", &height);
    settings.Int("Fullscreen", &fullscreen);
}

void WindowSystem::Create() {
    OpenWindow();
    m_subscriptions.Listen("KeyTriggered", MakeDelegate(this, &WindowSystem::OnKeyTriggered));
    m_subscriptions.Listen("SetWindowed", MakeDelegate(this, &WindowSystem::OnSetWindowed));
    m_subscriptions.Listen("QueryWindowed", MakeDelegate(this, &WindowSystem::OnQueryWindowed));
    m_subscriptions.Listen("SetResolution", MakeDelegate(this, &WindowSystem::OnSetResolution));
    m_subscriptions.Listen("ResolutionError", MakeDelegate(this, &WindowSystem::OnResolutionError));
}

void WindowSystem::OpenWindow() {
    m_video = SdlWindow::StartVideo();
    if (!m_video) return;
    m_video->GetScreenSize(m_screenWidth, m_screenHeight);
    std::string error;
    CreateMainWindow(&error);
    if (!m_window) {
        // A saved size SDL refuses (far larger than any screen, say) must not
        // leave the program without a window, nor be saved again.
        LogMessagef("WindowSystem: cannot create a window of %d x %d (%s), using full screen %d x %d; the size "
                    "comes from %s\n",
                    m_width, m_height, error.c_str(), m_screenWidth, m_screenHeight,
                    m_settingsPath.empty() ? "the defaults" : m_settingsPath.c_str());
        m_windowed = false;
        m_width = m_savedWidth = m_screenWidth;
        m_height = m_savedHeight = m_screenHeight;
        CreateMainWindow();
    }
    if (!m_window) return;
    m_window->Place(m_posX, m_posY, m_width, m_height);
    OnSetCursor();
    if (m_windowed && (m_width <= 0 || m_height <= 0)) {
        // A zero-size window is invisible, and an OpenGL device renders into
        // it without complaint, so nothing would report the bad size: treat
        // it as the resolution error and fall back to full screen.
        LogMessagef("WindowSystem: windowed size %d x %d is empty, using full screen %d x %d\n", m_width,
                    m_height, m_screenWidth, m_screenHeight);
        OnResolutionError();
    }
    if (const auto& script = RunSwitches::FromEnvironment().inputScript; script && !m_script) {
        UseInputScript(*script);
    }
}

void WindowSystem::CreateMainWindow(std::string* error) {
    if (m_windowed) {
        m_style = kStyleWindowed;
    } else {
        m_style = kStylePopup;
        if (m_width == 0) m_width = m_screenWidth;
        if (m_height == 0) m_height = m_screenHeight;
    }
    Centre(m_width, m_height);
    // Only at creation is a window larger than the screen kept on it.
    if (m_posX < 1) m_posX = 0;
    if (m_posY < 1) m_posY = 0;
    m_window = SdlWindow::Create(m_name, m_posX, m_posY, m_width, m_height, m_windowed, error);
}

void WindowSystem::Centre(int width, int height) {
    // In 64 bits: a size read from the settings file may be any int.
    m_posX = int(std::clamp((i64(m_screenWidth) - width) / 2, i64(INT_MIN), i64(INT_MAX)));
    m_posY = int(std::clamp((i64(m_screenHeight) - height) / 2, i64(INT_MIN), i64(INT_MAX)));
}

void WindowSystem::Initialize() {
    // The tools keep the close button working; the game has nothing to grey
    // out on SDL, it simply ignores close requests.
}

void WindowSystem::Shutdown() {
    if (UserConfigManager* settings = UserConfigManager::Instance(); settings && settings->GetWriter()) {
        SaveUserSettings(*settings->GetWriter());
    }
    m_subscriptions.Clear();
    CloseWindow();
    m_script.reset();
    WatchScriptAnchors();
    m_video.reset();
}

void* WindowSystem::GetWindowHandle() const {
    return m_window ? m_window->Handle() : nullptr;
}

DeviceParams WindowSystem::GetDeviceParams() const {
    return DeviceParams{u32(m_width), u32(m_height), GetWindowHandle(), m_windowed};
}

void WindowSystem::OnKeyTriggered(int key, bool pressed) {
    if (m_debug && key == kKeyF && pressed) ToggleFullScreen();
}

void WindowSystem::ToggleFullScreen() {
    m_windowed = !m_windowed;
    if (!m_windowed) {
        m_savedWidth = m_width;
        m_savedHeight = m_height;
        m_width = m_screenWidth;
        m_height = m_screenHeight;
        PlaceFullScreen(m_width, m_height);
        m_messages->WindowScreenStateChange(false, unsigned(m_width), unsigned(m_height));
        return;
    }
    // Back to the captioned frame at the last position recorded by moves.
    m_style = kStyleWindowed;
    m_width = m_savedWidth;
    m_height = m_savedHeight;
    PlaceWindowed(m_width, m_height);
    m_messages->WindowScreenStateChange(true, unsigned(m_width), unsigned(m_height));
}

void WindowSystem::PlaceFullScreen(int width, int height) {
    if (!m_window) return;
    m_window->SetBordered(false);
    m_window->Place(0, 0, width, height);
}

void WindowSystem::PlaceWindowed(int width, int height) {
    if (!m_window) return;
    m_window->SetBordered(true);
    m_window->Place(m_posX, m_posY, width, height);
}

void WindowSystem::OnSetWindowed(bool windowed) {
    m_windowed = windowed;
    if (!windowed) {
        // The size stays; only the 'F' key and a resolution error use the screen size.
        PlaceFullScreen(m_width, m_height);
        m_messages->WindowScreenStateChange(false, unsigned(m_width), unsigned(m_height));
        return;
    }
    m_style = kStyleWindowed;
    Centre(m_width, m_height);
    PlaceWindowed(m_width, m_height);
    m_messages->WindowScreenStateChange(true, unsigned(m_width), unsigned(m_height));
}

void WindowSystem::OnQueryWindowed(bool* out) {
    if (out) *out = m_windowed;
}

void WindowSystem::OnSetResolution(int width, int height) {
    m_savedWidth = m_width;
    m_savedHeight = m_height;
    m_width = width;
    m_height = height;
    // The member only: the window keeps its frame (or lack of one).
    m_style = kStyleWindowed;
    Centre(width, height);
    if (m_window) m_window->Place(m_posX, m_posY, width, height);
    m_messages->WindowScreenStateChange(m_windowed, unsigned(width), unsigned(height));
}

void WindowSystem::OnResolutionError() {
    m_windowed = false;
    m_style = kStylePopup;
    m_savedWidth = m_width = m_screenWidth;
    m_savedHeight = m_height = m_screenHeight;
    PlaceFullScreen(m_width, m_height);
    if (m_screenSizeHandler) {
        m_screenSizeHandler(DeviceParams{u32(m_screenWidth), u32(m_screenHeight), GetWindowHandle(), false});
    }
}

void WindowSystem::OnClose() {
    if (!m_toolMode) return;
    OnDestroy();
}

void WindowSystem::OnDestroy() {
    // The window itself stays until Shutdown: the render device still draws
    // into it during the frame that ends the run.
    m_destroyed = true;
    Quit();
}

void WindowSystem::Quit() {
    if (m_quitHandler) {
        m_quitHandler();
        return;
    }
    Engine* engine = m_engine ? m_engine : Engine::Instance();
    if (engine) engine->Quit();
}

void WindowSystem::OnMove(int x, int y) {
    // Positions are signed: a window on a monitor left of or above the
    // primary one has negative coordinates.
    if (!m_windowed) return;
    m_posX = x;
    m_posY = y;
}

void WindowSystem::OnResize(int width, int height) {
    if (width <= 0 || height <= 0 || (width == m_width && height == m_height)) return;
    m_width = width;
    m_height = height;
    m_messages->WindowScreenStateChange(m_windowed, unsigned(width), unsigned(height));
}

void WindowSystem::OnSetCursor() {
    if (!m_toolMode) SDL_ShowCursor(SDL_DISABLE);
}

void WindowSystem::OnDropFile(const std::string& path, bool firstOfDrop) {
    if (!firstOfDrop) return;
    // Paths are cut as the 1024-character buffer of the drop query cuts them.
    m_messages->FileDrop(path.substr(0, 1023));
}

void WindowSystem::UseInputScript(const std::string& path) {
    std::vector<std::string> errors;
    m_script = ScriptedInputPlayer::Load(path, m_window ? m_window->Id() : 0, errors);
    if (m_script) m_script->SetItemLocator(m_itemLocator);
    for (const std::string& error : errors) LogMessage(error + "\n");
    WatchScriptAnchors();
}

void WindowSystem::WatchScriptAnchors() {
    Engine* engine = Engine::Instance();
    CoreSystem* core = engine ? engine->GetCoreSystem() : nullptr;
    if (!core) return;
    if (!m_script || m_script->Anchors().empty()) {
        if (m_watchingAnchors) core->WatchSends({}, {});
        m_watchingAnchors = false;
        return;
    }
    core->WatchSends(m_script->Anchors(), [this](std::string_view name) {
        if (m_script) m_script->MessageSent(name, m_frame);
    });
    m_watchingAnchors = true;
}

void WindowSystem::SetItemLocator(std::function<bool(const std::string&, int&, int&)> locator) {
    m_itemLocator = std::move(locator);
    if (m_script) m_script->SetItemLocator(m_itemLocator);
}

void WindowSystem::Update(f32 dt) {
    ++m_frame;
    if (m_script) m_script->Inject(m_frame);
    if (int signal = QuitSignal::Received(); signal != 0) {
        QuitSignal::Clear();
        LogMessagef("WindowSystem: signal %d received, ending the run\n", signal);
        Quit();
    }
    PumpEvents();
    if (m_pumpedHook) m_pumpedHook(dt);
}

}  // namespace Ostrel
