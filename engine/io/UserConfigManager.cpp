#include "engine/io/UserConfigManager.h"

#include "engine/base/Log.h"
#include "engine/base/Paths.h"

#include <filesystem>
#include <system_error>
#include <vector>

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
    if (!ReadFile(*reader)) return nullptr;
    m_reader = std::move(reader);
    return m_reader.get();
}

bool UserConfigManager::ReadFile(ConfigureFileXML& reader) {
    std::error_code error;
    const std::string path = GetFilePath();
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, error))) return false;
    if (!reader.LoadSalvaging(path)) SetAside(reader);
    return reader.IsLoaded();
}

void UserConfigManager::SetAside(const ConfigureFileXML& salvaged) {
    const std::string path = GetFilePath();
    std::string aside = path + ".broken";
    std::error_code error;
    for (int n = 2; std::filesystem::exists(std::filesystem::symlink_status(aside, error)) && n < 1000; ++n) {
        aside = path + ".broken-" + std::to_string(n);
    }
    std::string line = std::string(kFileName) + " could not be read (" + salvaged.LoadError() + ")";
    std::filesystem::rename(path, aside, error);
    if (error) {
        // Left where it is, and nothing may be written over it.
        m_keepFile = true;
        line += " and could not be set aside (" + error.message() + "): it stays as it is, this run's " +
                "settings are not saved";
    } else {
        line += ": kept as " + std::filesystem::path(aside).filename().string();
    }
    const std::vector<std::string> keys = salvaged.IsLoaded() ? salvaged.GetKeys() : std::vector<std::string>();
    if (keys.empty()) {
        line += ", using the defaults";
    } else {
        line += ", using the defaults except";
        for (size_t i = 0; i < keys.size(); ++i) line += (i ? ", " : " ") + keys[i];
        line += " (read from it)";
    }
    LogMessage(line + "\n");
}

bool UserConfigManager::Save() {
    // Carry over what the file on disk holds now (or held when it was read);
    // a file that no longer parses is set aside first, never written over.
    ConfigureFileXML onDisk(true);
    const ConfigureFileXML* previous = m_reader.get();
    if (!previous && ReadFile(onDisk)) previous = &onDisk;
    if (m_keepFile) {
        LogMessage("Settings not saved: " + GetFilePath() + " could not be read and is left as it is\n");
        return false;
    }
    ConfigureFileXML output(false, kRootName);
    output.CarryOverMissingKeys(*m_writer);
    if (previous) output.CarryOverMissingKeys(*previous);
    return output.SaveFile(GetFilePath());
}

}  // namespace Ostrel
