#pragma once
// The per-user folder that holds "error_log.log" and "UserConfig.xcfg":
// $XDG_DATA_HOME/<folder>, else ~/.local/share/<folder>, else ./<folder>.

#include <string>

namespace Ostrel {

// The game's title without its colon, used as the per-user folder's name.
inline constexpr const char* kUserFolderName = "Brisa and Qil Lantern Vaults";

// The base data folder; "." when the environment gives none (an empty base
// would put the folder at the file-system root).
std::string GetLocalAppDataPath();

// GetLocalAppDataPath() + "/" + folder (no trailing separator).
std::string GetUserDataPath(const char* folder);

// Creates the per-user folder with its parents. True when it exists
// afterwards, also when it existed already.
bool CreateUserDataFolder(const char* folder);

}  // namespace Ostrel
