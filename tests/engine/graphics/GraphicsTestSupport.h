#pragma once
// Shared by the graphics tests: a log capture and scratch folders.

#include "engine/graphics/RenderDevice.h"
#include "engine/graphics/device/RecordingDevice.h"
#include "engine/base/ILogProvider.h"
#include "engine/base/Logger.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

namespace Ostrel::Testing {

// Collects every message logged while it exists (it is the current hub).
class GraphicsLogCapture {
public:
    GraphicsLogCapture() : m_previous(Logger::Current()) {
        m_logger.AddProvider(std::make_unique<Sink>(&m_text));
        Logger::SetCurrent(&m_logger);
    }
    ~GraphicsLogCapture() {
        Logger::SetCurrent(m_previous);
        m_logger.DeleteProviders();
    }
    const std::string& Text() const { return m_text; }

private:
    struct Sink : ILogProvider {
        explicit Sink(std::string* text) : text(text) {}
        void Write(const char* message) override { *text += message; }
        std::string* text;
    };
    std::string m_text;
    Logger m_logger;
    Logger* m_previous;
};

// An empty folder LV_TEST_TMP/graphics/<name>.
// ctest runs each test of a fixture in its own process, in parallel: the
// process id keeps two of them from emptying each other's folder.
inline std::filesystem::path FreshGraphicsFolder(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::path(LV_TEST_TMP) / "graphics" /
                                      (name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

inline void WriteGraphicsFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A render device on the recording backend, made at once.
struct RecordingRenderDevice {
    RecordingRenderDevice() {
        device.SetFactory(rd::RecordingDevice::MakeFactory(0, [this](rd::RecordingDevice& made) { recording = &made; }));
        device.SetWindowParameters({64, 64, nullptr, true});
        device.Create();
    }
    RenderDevice device;
    rd::RecordingDevice* recording = nullptr;
};

// A resource tree of the given files (path under the root, text).
struct ScratchResources {
    ScratchResources(const std::string& name, const std::vector<std::pair<std::string, std::string>>& files)
        : root(FreshGraphicsFolder(name)) {
        for (const auto& [file, text] : files) WriteGraphicsFile(root / file, text);
        RegisterResourceKinds(resources, root.string());
    }
    std::filesystem::path root;
    ResourceManager resources;
};

}  // namespace Ostrel::Testing
