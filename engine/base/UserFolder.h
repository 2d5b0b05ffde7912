#pragma once
// The per-user folder where the log and the user settings live:
// $XDG_DATA_HOME/<folder name>, or ~/.local/share/<folder name> when
// XDG_DATA_HOME is unset or empty.

#include <string>
#include <string_view>

namespace Ostrel {

// Returns the base data folder ($XDG_DATA_HOME or $HOME/.local/share), or an
// empty string when neither variable gives one.
std::string UserDataBaseFolder();

// Returns base/folderName, created with its parents, or an empty string when
// it could not be created (the caller then logs to stderr only).
std::string EnsureUserFolder(std::string_view folderName);

}  // namespace Ostrel
