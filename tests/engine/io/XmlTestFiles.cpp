#include "XmlTestFiles.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace Ostrel::XmlTest {

std::string ScratchPath(const std::string& name) {
    const std::filesystem::path folder = std::filesystem::path(LV_TEST_TMP) / "xml-tests";
    std::filesystem::create_directories(folder);
    return (folder / name).string();
}

std::string WriteFile(const std::string& name, const std::string& text) {
    const std::string path = ScratchPath(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

}  // namespace Ostrel::XmlTest
