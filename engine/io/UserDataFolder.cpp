#include "engine/io/UserDataFolder.h"

#include "engine/platform/Paths.h"
#include "engine/platform/UserFolder.h"

namespace Ostrel {

std::string GetLocalAppDataPath() {
    std::string base = UserDataBaseFolder();
    return base.empty() ? std::string(".") : base;
}

std::string GetUserDataPath(const char* folder) {
    return JoinPath(GetLocalAppDataPath(), folder ? folder : "");
}

bool CreateUserDataFolder(const char* folder) { return CreateDirectories(GetUserDataPath(folder)); }

}  // namespace Ostrel
