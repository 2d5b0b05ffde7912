#include "engine/io/DebugConsoleLog.h"

#include "engine/base/DebugOutput.h"

namespace Ostrel {

void DebugConsoleLog::Write(const char* text) {
    if (text) WriteDebugOutput(text);
}

void DebugConsoleLog::Write(int, int, const char* text) { Write(text); }

}  // namespace Ostrel
