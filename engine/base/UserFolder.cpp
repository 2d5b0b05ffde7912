#include "engine/base/UserFolder.h"

#include "engine/base/Paths.h"

#include <cstdlib>

namespace Ostrel {

std::string UserDataBaseFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg) return xdg;
    const char* home = std::getenv("HOME");
    if (home && *home) return JoinPath(home, ".local/share");
    return {};
}

std::string EnsureUserFolder(std::string_view folderName) {
    std::string base = UserDataBaseFolder();
    if (base.empty()) return {};
    std::string folder = JoinPath(base, folderName);
    return CreateDirectories(folder) ? folder : std::string{};
}

}  // namespace Ostrel
