#include "engine/io/Log.h"

#include "engine/platform/DebugOutput.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace Ostrel {

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

}  // namespace Ostrel
