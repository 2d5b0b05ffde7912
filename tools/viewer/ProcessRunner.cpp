#include "tools/viewer/ProcessRunner.h"

#include "engine/base/DebugOutput.h"
#include "engine/base/Log.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace Ostrel {

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& logPath) {
    ProcessResult result;
    if (argv.empty() || argv[0].empty()) {
        LogMessage("RunProcess: no program given\n");
        return result;
    }
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);

    pid_t pid = 0;
    const int error = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        LogMessage("RunProcess: '" + argv[0] + "' could not be run: " + std::strerror(error) + "\n");
        return result;
    }
    result.started = true;
    int status = 0;
    pid_t waited = 0;
    do {
        waited = waitpid(pid, &status, 0);
    } while (waited < 0 && errno == EINTR);
    if (waited < 0) {
        LogMessage("RunProcess: waiting for '" + argv[0] + "' failed: " + std::strerror(errno) + "\n");
        return result;
    }
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    return result;
}

std::string FindHelperProgram(const std::string& name) {
    const std::string self = GetProgramPath();
    std::error_code error;
    const std::filesystem::path beside = std::filesystem::path(self).parent_path() / name;
    if (std::filesystem::is_regular_file(beside, error) && ::access(beside.c_str(), X_OK) == 0) return beside.string();
    return name;
}

}  // namespace Ostrel
