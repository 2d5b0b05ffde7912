#pragma once
// The process-level services behind logging and assertions: the debugger's
// output (stderr here), the executable's path, whether a debugger is attached,
// and the Abort/Retry/Ignore box shown for a failed assertion. The box shown
// here is text on stderr; the platform layer installs a real box at start-up
// (SetAssertBox).

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

// Shows text with a caption and answers which button was pressed.
using AssertBox = AssertBoxAnswer (*)(const std::string& text, const std::string& caption);

// Writes the text and a line end to the debug output; answers Ignore, so
// nothing ever blocks on it. The box in use until another is installed.
AssertBoxAnswer TextAssertBox(const std::string& text, const std::string& caption);

// Installs the box that ShowAssertBox uses; null restores TextAssertBox.
void SetAssertBox(AssertBox box);

// Shows text through the installed box.
AssertBoxAnswer ShowAssertBox(const std::string& text, const std::string& caption);

}  // namespace Ostrel
