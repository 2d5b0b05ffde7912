#pragma once
// Free log helpers usable anywhere, also before an Engine or a log hub exists:
// the text goes to the current Logger hub (Logger::SetCurrent), or to stderr
// while there is none. Safe from any thread; formatting uses a buffer on the
// caller's stack, and a message longer than 4095 characters is cut.
// Messages carry their own line end ("...\n").

#include "engine/io/Logger.h"

#include <string_view>

namespace Ostrel {

void LogMessage(std::string_view text, int level = kLogLevelError);

// printf-style; logged at level 5.
void LogMessagef(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace Ostrel
