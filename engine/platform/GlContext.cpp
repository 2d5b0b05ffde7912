#include "engine/platform/GlContext.h"

#include <SDL.h>

namespace Ostrel {

namespace {

void RequestCore33() {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

}  // namespace

std::unique_ptr<GlContext> GlContext::Create(void* window, std::string* error) {
    std::unique_ptr<GlContext> context(new GlContext());
    auto fail = [&](const std::string& why) -> std::unique_ptr<GlContext> {
        if (error) *error = why;
        return nullptr;
    };
    if (!window) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return fail(std::string("no video driver: ") + SDL_GetError());
        context->m_videoStarted = true;
        RequestCore33();
        SDL_Window* own = SDL_CreateWindow("render device", 0, 0, 16, 16, SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL);
        if (!own) return fail(std::string("no OpenGL window: ") + SDL_GetError());
        context->m_ownWindow = own;
        window = own;
    }
    auto* sdlWindow = static_cast<SDL_Window*>(window);
    if (!(SDL_GetWindowFlags(sdlWindow) & SDL_WINDOW_OPENGL)) {
        return fail(std::string("the window has no OpenGL support (video driver ") +
                    (SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "none") + ")");
    }
    RequestCore33();
    context->m_window = window;
    context->m_context = SDL_GL_CreateContext(sdlWindow);
    if (!context->m_context) return fail(std::string("no OpenGL 3.3 core context: ") + SDL_GetError());
    SDL_GL_MakeCurrent(sdlWindow, static_cast<SDL_GLContext>(context->m_context));
    SDL_GL_SetSwapInterval(0);
    return context;
}

GlContext::~GlContext() {
    if (m_context) SDL_GL_DeleteContext(static_cast<SDL_GLContext>(m_context));
    if (m_ownWindow) SDL_DestroyWindow(static_cast<SDL_Window*>(m_ownWindow));
    if (m_videoStarted) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void GlContext::MakeCurrent() {
    SDL_GL_MakeCurrent(static_cast<SDL_Window*>(m_window), static_cast<SDL_GLContext>(m_context));
}

void GlContext::SwapBuffers() {
    SDL_GL_SwapWindow(static_cast<SDL_Window*>(m_window));
}

void GlContext::GetDrawableSize(int& width, int& height) const {
    SDL_GL_GetDrawableSize(static_cast<SDL_Window*>(m_window), &width, &height);
}

std::vector<std::pair<unsigned, unsigned>> GlContext::DisplayModes() {
    std::vector<std::pair<unsigned, unsigned>> modes;
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return modes;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) == 0 && mode.w > 0 && mode.h > 0) {
            modes.emplace_back(unsigned(mode.w), unsigned(mode.h));
        }
    }
    // A display that lists no usable mode (the offscreen driver lists 0 x 0)
    // still has the size of its desktop.
    SDL_DisplayMode desktop;
    if (modes.empty() && SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w > 0 && desktop.h > 0) {
        modes.emplace_back(unsigned(desktop.w), unsigned(desktop.h));
    }
    return modes;
}

}  // namespace Ostrel
