#pragma once
// Scratch files for the XML serializer tests, under the test temp folder.

#include "engine/base/ILogProvider.h"
#include "engine/base/Logger.h"

#include <string>

namespace Ostrel::XmlTest {

// Writes text to LV_TEST_TMP/xml-tests/<name> and answers the path.
std::string WriteFile(const std::string& name, const std::string& text);
// The path of a scratch file (its folder exists).
std::string ScratchPath(const std::string& name);
// The whole content of a file, or "" when it cannot be read.
std::string ReadFile(const std::string& path);

// Collects every message logged while it exists (it is the current hub).
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;  // outlives the hub that writes into it
    Logger m_logger;
    Logger* m_previous;
};

}  // namespace Ostrel::XmlTest
