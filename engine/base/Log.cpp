#include "engine/base/Log.h"

#include "engine/base/DebugOutput.h"

#include <atomic>
#include <cstdio>
#include <string>

namespace Ostrel {

namespace {

std::atomic<EngineLogRoute> s_engineRoute{nullptr};

thread_local std::string s_source;
// The last message of this thread ended without its line end: the next one
// continues that line and gets no prefix.
thread_local bool s_lineOpen = false;

// text, prefixed with the current source when it starts a line and does not
// name the source itself.
std::string WithSource(std::string_view text) {
    const bool continues = s_lineOpen;
    if (!text.empty()) s_lineOpen = text.back() != '\n';
    if (s_source.empty() || continues || text.empty() || text.find(s_source) != std::string_view::npos)
        return std::string(text);
    std::string out;
    out.reserve(s_source.size() + 2 + text.size());
    out.append(s_source).append(": ").append(text);
    return out;
}

}  // namespace

LogSourceScope::LogSourceScope(std::string_view path) : m_previous(std::move(s_source)) {
    s_source = path.empty() ? m_previous : std::string(path);
}

LogSourceScope::~LogSourceScope() { s_source = std::move(m_previous); }

const std::string& CurrentLogSource() { return s_source; }

void LogMessage(std::string_view text, int level) {
    const std::string line = WithSource(text);
    if (Logger* hub = Logger::Current()) {
        hub->Write(line.c_str(), level);
        return;
    }
    if (level <= kLogLevelError) WriteDebugOutput(line);
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
        route(WithSource(buffer).c_str(), level);
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
