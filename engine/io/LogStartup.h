#pragma once
// The log start-up every program runs: the file log on logPath (append mode)
// first, then the debug console, so each message reaches the file before
// stderr. When the file cannot be opened (a missing or read-only per-user
// folder) the exception's text goes to the debug console and the hub runs on
// with the console alone.

#include <string>

namespace Ostrel {

class Logger;

// Answers whether the file log could be opened.
bool AddStandardLogProviders(Logger& logger, const std::string& logPath);

}  // namespace Ostrel
