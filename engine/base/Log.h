#pragma once
// The one way to log, usable from every layer and from any thread, also
// before an Engine or a log hub exists. Messages carry their own line end
// ("...\n").
//
// LogMessage and LogMessagef write to the current Logger hub
// (Logger::SetCurrent), or to stderr while there is none; formatting uses a
// buffer on the caller's stack, and a message longer than 4095 characters is
// cut.
//
// LogErrorf and EngineLogv write through the engine's log: the running Engine
// installs itself as the route (SetEngineLogRoute) and hands the text to its
// own hub, dropping it when it has none. With no route set, the text goes to
// LogMessage instead of being lost. The text is formatted into a per-thread
// buffer of 4096 bytes (cut to 4095 characters).

#include "engine/base/Logger.h"

#include <cstdarg>
#include <string>
#include <string_view>

namespace Ostrel {

void LogMessage(std::string_view text, int level = kLogLevelError);

// printf-style; logged at level 5.
void LogMessagef(const char* format, ...) __attribute__((format(printf, 1, 2)));

constexpr int kEngineLogBufferSize = 4096;

// Receives the formatted text of EngineLogv and LogErrorf.
using EngineLogRoute = void (*)(const char* text, int level);
void SetEngineLogRoute(EngineLogRoute route);

void EngineLogv(int level, const char* format, va_list args);
// EngineLogv with level 5.
void LogErrorf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Names the data file this thread is reading while the scope lives. Loaders
// deep inside a format (a component reading its fields, a script binding, a
// room's validation) log without knowing the file; the one that opened it
// (the resource manager, the room and script loaders) sets the scope, and
// every message this thread logs meanwhile that does not name the file
// already starts with "path: ". Scopes nest: the innermost file is named.
// An empty path leaves the messages as they are.
class LogSourceScope {
public:
    explicit LogSourceScope(std::string_view path);
    ~LogSourceScope();
    LogSourceScope(const LogSourceScope&) = delete;
    LogSourceScope& operator=(const LogSourceScope&) = delete;

private:
    std::string m_previous;
};

// The path of the innermost LogSourceScope of this thread, or empty.
const std::string& CurrentLogSource();

}  // namespace Ostrel
