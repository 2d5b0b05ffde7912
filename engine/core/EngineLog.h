#pragma once
// printf-style logging through the engine: the text is formatted into a
// per-thread buffer of 4096 bytes (cut to 4095 characters) and handed to
// Engine::Log of the current engine with the given level. Before an engine
// exists, or after it is gone, the text goes to the free log helpers (the
// current log hub, else stderr) instead of being lost. Safe from any thread:
// the loading threads log through here too. Messages carry their own "\n".

#include <cstdarg>

namespace Ostrel {

constexpr int kEngineLogBufferSize = 4096;

void EngineLogv(int level, const char* format, va_list args);
// EngineLogv with level 5.
void LogErrorf(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace Ostrel
