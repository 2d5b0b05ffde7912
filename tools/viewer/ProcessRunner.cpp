#include "tools/viewer/ProcessRunner.h"

#include "engine/base/DebugOutput.h"
#include "engine/base/Log.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace Ostrel {

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& logPath,
                         const std::string& workFolder) {
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
    if (!workFolder.empty()) posix_spawn_file_actions_addchdir_np(&actions, workFolder.c_str());

    pid_t pid = 0;
    const int error = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        result.error = std::strerror(error);
        LogMessage("RunProcess: '" + argv[0] + "' could not be run: " + result.error + "\n");
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
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    return result;
}

namespace {

bool IsExecutableFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string HelperProgramFolder() { return std::filesystem::path(GetProgramPath()).parent_path().string(); }

std::string FindHelperProgram(const std::string& name) {
    const std::filesystem::path beside = std::filesystem::path(HelperProgramFolder()) / name;
    if (IsExecutableFile(beside)) return beside.string();
    return name;
}

std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (!path || name.empty() || name.find('/') != std::string::npos) return {};
    const std::string folders = path;
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        // An empty entry means the working folder, as for the shell.
        const std::string folder = end > start ? folders.substr(start, end - start) : ".";
        const std::filesystem::path candidate = std::filesystem::path(folder) / name;
        if (IsExecutableFile(candidate)) return candidate.string();
        start = end + 1;
    }
    return {};
}

}  // namespace Ostrel
