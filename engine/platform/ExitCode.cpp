#include "engine/platform/ExitCode.h"

#include <atomic>

namespace Ostrel {

namespace {
std::atomic<int> s_exitCode{0};
}  // namespace

void SetProcessExitCode(int code) {
    s_exitCode.store(code);
}

int ProcessExitCode() {
    return s_exitCode.load();
}

}  // namespace Ostrel
