#include "engine/core/EngineLog.h"

#include "engine/core/Engine.h"
#include "engine/io/Log.h"

#include <cstdio>

namespace Ostrel {

void EngineLogv(int level, const char* format, va_list args) {
    thread_local char buffer[kEngineLogBufferSize];
    std::vsnprintf(buffer, sizeof(buffer), format, args);
    if (Engine* engine = Engine::Instance())
        engine->Log(buffer, level);
    else
        LogMessage(buffer, level);
}

void LogErrorf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    EngineLogv(5, format, args);
    va_end(args);
}

}  // namespace Ostrel
