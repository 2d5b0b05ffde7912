#include "engine/base/Log.h"

#include "engine/base/DebugOutput.h"

#include <atomic>
#include <cstdio>
#include <string>

namespace Ostrel {

namespace {

std::atomic<EngineLogRoute> s_engineRoute{nullptr};

}  // namespace

void LogMessage(std::string_view text, int level) {
    if (Logger* hub = Logger::Current()) {
        hub->Write(std::string(text).c_str(), level);
        return;
    }
    if (level <= kLogLevelError) WriteDebugOutput(text);
}

void LogMessagef(const char* format, ...) {
    if (!format) return;
    char buffer[4096];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    LogMessage(buffer, kLogLevelError);
}

void SetEngineLogRoute(EngineLogRoute route) { s_engineRoute.store(route); }

void EngineLogv(int level, const char* format, va_list args) {
    thread_local char buffer[kEngineLogBufferSize];
    std::vsnprintf(buffer, sizeof(buffer), format, args);
    if (EngineLogRoute route = s_engineRoute.load())
        route(buffer, level);
    else
        LogMessage(buffer, level);
}

void LogErrorf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    EngineLogv(kLogLevelError, format, args);
    va_end(args);
}

}  // namespace Ostrel
