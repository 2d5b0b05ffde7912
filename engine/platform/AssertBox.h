#pragma once
// The assertion box of a desktop run: an SDL Abort/Retry/Ignore message box.
// Installed at start-up (InstallAssertBox) so that a failed assertion in any
// layer shows it; headless (no display, or SDL_VIDEODRIVER offscreen/dummy)
// the text goes to stderr and the answer is Ignore, so tests never block.

#include "engine/base/DebugOutput.h"

#include <string>

namespace Ostrel {

AssertBoxAnswer ShowSdlAssertBox(const std::string& text, const std::string& caption);

// SetAssertBox(&ShowSdlAssertBox).
void InstallAssertBox();

}  // namespace Ostrel
