#pragma once
// The player's own settings, "UserConfig.xcfg" in the per-user folder (root
// "UserSettings"): window size, full screen, music and effects muted.
//
// Reading: GetReader loads the file on first demand and keeps it; while the
// file is missing or unreadable it answers null and tries again on the next
// call. Writing: systems write their keys into a fresh document (GetWriter)
// at shutdown; the destructor saves it. Keys of the loaded file that nobody
// rewrote in this run are carried over at the end, so a program that does
// not run every system (the editor has no sound) keeps the player's other
// choices. The file is written to a temporary file and renamed; a failed
// write is logged.
//
// A settings file that does not parse is never written over: it is renamed
// to "UserConfig.xcfg.broken" (or ".broken-2" and so on when that exists)
// with one log line, and the keys the parser had read completely before the
// fault are still used. When it cannot be renamed it stays as it is and this
// run saves nothing.

#include "engine/core/GenericManager.h"
#include "engine/io/ConfigureFileXML.h"

#include <memory>
#include <string>

namespace Ostrel {

class UserConfigManager : public GenericManager<UserConfigManager> {
public:
    static constexpr const char* kFileName = "UserConfig.xcfg";
    static constexpr const char* kRootName = "UserSettings";

    explicit UserConfigManager(bool saveOnExit);
    // Saves the settings when built to save on exit.
    ~UserConfigManager() override;

    // The per-user folder (with or without a trailing separator).
    void SetDirectory(const std::string& directory) { m_directory = directory; }
    std::string GetFilePath() const;

    // The loaded settings, or null while the file is missing (or held
    // nothing that could be read).
    ConfigureFileXML* GetReader();
    ConfigureFileXML* GetWriter() { return m_writer.get(); }

    // Writes the settings file now (what the destructor does when saving on
    // exit); answers whether the file was written.
    bool Save();

private:
    // Loads the file into reader, setting it aside when it does not parse;
    // answers whether reader holds any settings.
    bool ReadFile(ConfigureFileXML& reader);
    void SetAside(const ConfigureFileXML& salvaged);

    std::string m_directory;
    bool m_keepFile = false;
    bool m_saveOnExit;
    std::unique_ptr<ConfigureFileXML> m_writer;
    std::unique_ptr<ConfigureFileXML> m_reader;
};

}  // namespace Ostrel
