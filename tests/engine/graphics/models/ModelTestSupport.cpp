#include "tests/engine/graphics/models/ModelTestSupport.h"

#include "engine/io/ChunkReader.h"
#include "engine/base/ILogProvider.h"
#include "engine/io/MemoryFile.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace Ostrel::ModelTest {

namespace {

class RecordingProvider : public ILogProvider {
public:
    explicit RecordingProvider(std::string* text) : m_text(text) {}
    void Write(const char* text) override { *m_text += text; }

private:
    std::string* m_text;
};

}  // namespace

ModelData ReadModelBytes(const std::vector<u8>& bytes, const std::string& source) {
    ChunkReader reader(std::make_unique<MemoryFile>(bytes));
    ModelData model;
    model.Read(reader, source);
    return model;
}

std::string WriteScratchFile(const std::string& name, const std::vector<u8>& bytes) {
    const std::filesystem::path folder = std::filesystem::path(LV_TEST_TMP) / "model-tests";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / name).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                std::streamsize(bytes.size()));
    return path;
}

std::vector<u8> ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<u8>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

LogCapture::LogCapture() : m_previous(Logger::Current()) {
    m_logger.AddProvider(std::make_unique<RecordingProvider>(&m_text));
    Logger::SetCurrent(&m_logger);
}

LogCapture::~LogCapture() {
    Logger::SetCurrent(m_previous);
    m_logger.DeleteProviders();
}

}  // namespace Ostrel::ModelTest
