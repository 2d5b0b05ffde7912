#include "engine/base/DebugOutput.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace Ostrel {

void WriteDebugOutput(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

std::string GetProgramPath() {
    char buffer[4096];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (length <= 0) return "<program name unknown>";
    return std::string(buffer, std::size_t(length));
}

bool IsDebuggerAttached() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("TracerPid:", 0) == 0) return std::atoi(line.c_str() + 10) != 0;
    }
    return false;
}

namespace {

std::atomic<AssertBox> s_box{&TextAssertBox};

}  // namespace

AssertBoxAnswer TextAssertBox(const std::string& text, const std::string&) {
    WriteDebugOutput(text + "\n");
    return AssertBoxAnswer::Ignore;
}

void SetAssertBox(AssertBox box) { s_box.store(box ? box : &TextAssertBox); }

AssertBoxAnswer ShowAssertBox(const std::string& text, const std::string& caption) {
    return s_box.load()(text, caption);
}

}  // namespace Ostrel
