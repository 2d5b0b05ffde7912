#pragma once
// Raised by the FileLog constructor when the log file cannot be opened. The
// start-up code catches it, reports its text on the debug console and runs on
// without the file.

#include <stdexcept>
#include <string>

namespace Ostrel {

class LogException : public std::runtime_error {
public:
    explicit LogException(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace Ostrel
