#pragma once
// Helpers of the model tests: reading encoded files from memory, scratch
// files, and capturing the log.

#include "engine/graphics/models/ModelData.h"
#include "engine/base/Logger.h"

#include <string>
#include <vector>

namespace Ostrel::ModelTest {

// Reads bytes as a model file named source.
ModelData ReadModelBytes(const std::vector<u8>& bytes, const std::string& source = "test.bin");

// Writes bytes to LV_TEST_TMP/model-tests/<name> and answers the path.
std::string WriteScratchFile(const std::string& name, const std::vector<u8>& bytes);
std::vector<u8> ReadWholeFile(const std::string& path);

// Collects every message logged while it exists (it is the current hub).
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
    Logger m_logger;
    Logger* m_previous;
};

}  // namespace Ostrel::ModelTest
