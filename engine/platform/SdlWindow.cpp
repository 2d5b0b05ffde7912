#include "engine/platform/SdlWindow.h"

#include "engine/base/Log.h"
#include "engine/platform/QuitSignal.h"

#include <SDL.h>

#include <algorithm>

namespace Ostrel {

namespace {

SDL_Window* AsSdl(void* window) {
    return static_cast<SDL_Window*>(window);
}

void SetGlAttributes() {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
}

}  // namespace

std::unique_ptr<SdlWindow::Video> SdlWindow::StartVideo() {
    // Our own SIGINT/SIGTERM handling ends the run; SDL's would turn the
    // signals into close requests, which the game ignores.
    QuitSignal::Install();
    // Closing the window is a window event the window system decides on; SDL
    // must not add a quit request of its own.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        LogMessagef("WindowSystem: cannot start SDL video: %s\n", SDL_GetError());
        return nullptr;
    }
    return std::make_unique<Video>();
}

SdlWindow::Video::~Video() {
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

void SdlWindow::Video::GetScreenSize(int& width, int& height) const {
    SDL_Rect bounds{0, 0, 1024, 768};
    if (SDL_GetDisplayBounds(0, &bounds) != 0 || bounds.w <= 0 || bounds.h <= 0) bounds = {0, 0, 1024, 768};
    width = bounds.w;
    height = bounds.h;
}

std::unique_ptr<SdlWindow> SdlWindow::Create(const std::string& title, int x, int y, int width, int height,
                                             bool bordered, std::string* error) {
    const Uint32 flags = SDL_WINDOW_HIDDEN | (bordered ? Uint32(SDL_WINDOW_RESIZABLE) : Uint32(SDL_WINDOW_BORDERLESS));
    const int w = std::max(width, 1);
    const int h = std::max(height, 1);
    SetGlAttributes();
    SDL_Window* window = SDL_CreateWindow(title.c_str(), x, y, w, h, flags | SDL_WINDOW_OPENGL);
    if (!window) window = SDL_CreateWindow(title.c_str(), x, y, w, h, flags);
    if (!window) {
        if (error != nullptr) {
            *error = SDL_GetError();
        } else {
            LogMessagef("WindowSystem: cannot create the window '%s': %s\n", title.c_str(), SDL_GetError());
        }
        return nullptr;
    }
    return std::unique_ptr<SdlWindow>(new SdlWindow(window, bordered));
}

SdlWindow::~SdlWindow() {
    SDL_DestroyWindow(AsSdl(m_window));
}

void SdlWindow::SetBordered(bool bordered) {
    m_bordered = bordered;
    SDL_SetWindowBordered(AsSdl(m_window), bordered ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowResizable(AsSdl(m_window), bordered ? SDL_TRUE : SDL_FALSE);
}

void SdlWindow::Place(int x, int y, int width, int height) {
    SDL_SetWindowSize(AsSdl(m_window), std::max(width, 1), std::max(height, 1));
    SDL_SetWindowPosition(AsSdl(m_window), x, y);
    Show();
}

void SdlWindow::Show() {
    SDL_ShowWindow(AsSdl(m_window));
}

unsigned SdlWindow::Id() const {
    return SDL_GetWindowID(AsSdl(m_window));
}

void SdlWindow::GetPosition(int& x, int& y) const {
    SDL_GetWindowPosition(AsSdl(m_window), &x, &y);
}

void SdlWindow::GetSize(int& width, int& height) const {
    SDL_GetWindowSize(AsSdl(m_window), &width, &height);
}

}  // namespace Ostrel
