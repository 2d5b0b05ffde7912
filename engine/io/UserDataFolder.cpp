#include "engine/io/UserDataFolder.h"

#include "engine/base/Paths.h"
#include "engine/base/UserFolder.h"

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
