#pragma once
// Scratch files for the XML serializer tests, under the test temp folder.

#include <string>

namespace Ostrel::XmlTest {

// Writes text to LV_TEST_TMP/xml-tests/<name> and answers the path.
std::string WriteFile(const std::string& name, const std::string& text);
// The path of a scratch file (its folder exists).
std::string ScratchPath(const std::string& name);
// The whole content of a file, or "" when it cannot be read.
std::string ReadFile(const std::string& path);

}  // namespace Ostrel::XmlTest
