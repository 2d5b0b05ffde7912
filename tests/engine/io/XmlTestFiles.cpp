#include "XmlTestFiles.h"

#include <filesystem>
#include <memory>
#include <fstream>
#include <sstream>

namespace Ostrel::XmlTest {

namespace {

class RecordingProvider : public ILogProvider {
public:
    explicit RecordingProvider(std::string* text) : m_text(text) {}
    void Write(const char* text) override { *m_text += text; }

private:
    std::string* m_text;
};

}  // namespace

LogCapture::LogCapture() : m_previous(Logger::Current()) {
    m_logger.AddProvider(std::make_unique<RecordingProvider>(&m_text));
    Logger::SetCurrent(&m_logger);
}

LogCapture::~LogCapture() {
    Logger::SetCurrent(m_previous);
    m_logger.DeleteProviders();
}

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
