#pragma once
// The exit code of the process, for failures that end a run early but in
// order (the program returns normally, tearing everything down, and main
// returns this code). 0 until something sets it.

namespace Ostrel {

void SetProcessExitCode(int code);
int ProcessExitCode();

}  // namespace Ostrel
