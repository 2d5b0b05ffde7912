#include "engine/platform/DebugOutput.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <unistd.h>

namespace Ostrel {

void WriteDebugOutput(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

std::string GetProgramPath() {
    char buffer[4096];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (length <= 0) return "<program name unknown>";
    return std::string(buffer, std::size_t(length));
}

bool IsDebuggerAttached() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("TracerPid:", 0) == 0) return std::atoi(line.c_str() + 10) != 0;
    }
    return false;
}

namespace {

bool HasDisplay() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0))
        return false;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

}  // namespace

AssertBoxAnswer ShowAssertBox(const std::string& text, const std::string& caption) {
    if (!HasDisplay()) {
        WriteDebugOutput(text + "\n");
        return AssertBoxAnswer::Ignore;
    }
    const SDL_MessageBoxButtonData buttons[] = {
        {0, 2, "Abort"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 0, "Retry"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 1, "Ignore"},
    };
    SDL_MessageBoxData data{};
    data.flags = SDL_MESSAGEBOX_ERROR;
    data.title = caption.c_str();
    data.message = text.c_str();
    data.numbuttons = 3;
    data.buttons = buttons;
    int pressed = 1;
    if (SDL_ShowMessageBox(&data, &pressed) != 0) {
        WriteDebugOutput(text + "\n");
        return AssertBoxAnswer::Ignore;
    }
    if (pressed == 2) return AssertBoxAnswer::Abort;
    if (pressed == 0) return AssertBoxAnswer::Retry;
    return AssertBoxAnswer::Ignore;
}

}  // namespace Ostrel
