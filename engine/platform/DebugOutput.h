#pragma once
// The process-level services behind logging and assertions: the debugger's
// output (stderr here), the executable's path, whether a debugger is attached,
// and the Abort/Retry/Ignore box shown for a failed assertion.

#include <string>
#include <string_view>

namespace Ostrel {

// Writes text to the debug sink (stderr) exactly as given: no line end added.
void WriteDebugOutput(std::string_view text);

// The running executable's full path, or "<program name unknown>".
std::string GetProgramPath();

// True when a tracer (debugger) is attached to this process.
bool IsDebuggerAttached();

enum class AssertBoxAnswer { Abort, Retry, Ignore };

// Shows text in an Abort/Retry/Ignore box when a real display is available.
// Headless (no display, or SDL_VIDEODRIVER offscreen/dummy) the text goes to
// stderr and the answer is Ignore, so tests never block on a box.
AssertBoxAnswer ShowAssertBox(const std::string& text, const std::string& caption);

}  // namespace Ostrel
