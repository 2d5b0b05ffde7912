#include "engine/io/UserConfigManager.h"

#include "engine/base/Paths.h"

namespace Ostrel {

UserConfigManager::UserConfigManager(bool saveOnExit)
    : m_saveOnExit(saveOnExit), m_writer(std::make_unique<ConfigureFileXML>(false, kRootName)) {}

UserConfigManager::~UserConfigManager() {
    if (m_saveOnExit) Save();
}

std::string UserConfigManager::GetFilePath() const {
    return m_directory.empty() ? std::string(kFileName) : JoinPath(m_directory, kFileName);
}

ConfigureFileXML* UserConfigManager::GetReader() {
    if (m_reader) return m_reader.get();
    auto reader = std::make_unique<ConfigureFileXML>(true);
    if (!reader->Load(GetFilePath())) return nullptr;
    m_reader = std::move(reader);
    return m_reader.get();
}

bool UserConfigManager::Save() {
    // Carry over what the file on disk holds now (or held when it was read).
    ConfigureFileXML onDisk(true);
    const ConfigureFileXML* previous = m_reader.get();
    if (!previous && onDisk.Load(GetFilePath())) previous = &onDisk;
    ConfigureFileXML output(false, kRootName);
    output.CarryOverMissingKeys(*m_writer);
    if (previous) output.CarryOverMissingKeys(*previous);
    return output.SaveFile(GetFilePath());
}

}  // namespace Ostrel
