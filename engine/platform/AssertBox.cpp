#include "engine/platform/AssertBox.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

namespace Ostrel {

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

AssertBoxAnswer ShowSdlAssertBox(const std::string& text, const std::string& caption) {
    if (!HasDisplay()) return TextAssertBox(text, caption);
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
    if (SDL_ShowMessageBox(&data, &pressed) != 0) return TextAssertBox(text, caption);
    if (pressed == 2) return AssertBoxAnswer::Abort;
    if (pressed == 0) return AssertBoxAnswer::Retry;
    return AssertBoxAnswer::Ignore;
}

void InstallAssertBox() { SetAssertBox(&ShowSdlAssertBox); }

}  // namespace Ostrel
