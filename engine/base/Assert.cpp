#include "engine/base/Assert.h"

#include "engine/base/DebugOutput.h"

#include <atomic>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace Ostrel {

namespace {

std::atomic<AssertHandler> s_handler{&ConsoleAssertHandler};

constexpr std::size_t kTraceBufferSize = 4096;
constexpr std::size_t kMessageBufferSize = 1024;
constexpr std::size_t kBoxTextLimit = 540;

// Points the reader to what to do about a failed assertion; its length keeps
// the box text within its limit (see BuildAssertBoxText).
constexpr const char* kDocumentationLine =
    "A failed assertion is a bug in this program: see the README's notes on assertions, "
    "and the file \"error_log.log\".";
constexpr const char* kRetryLine = "(Press Retry to debug the application - JIT must be enabled)";
// Length of what follows the expression line: two line ends, the
// documentation line, two line ends and the retry line.
constexpr std::size_t kTailLength = 176;
static_assert(std::char_traits<char>::length(kDocumentationLine) +
                  std::char_traits<char>::length(kRetryLine) + 4 == kTailLength);

}  // namespace

void SetAssertHandler(AssertHandler handler) { s_handler.store(handler); }

AssertHandler GetAssertHandler() { return s_handler.load(); }

int ConsoleAssertHandler(const char* expression, const char* message, const char* file, int line) {
    std::fprintf(stdout, "%s(%d): Assert Failure: ", file ? file : "", line);
    if (expression) std::fprintf(stdout, "'%s' ", expression);
    if (message) std::fputs(message, stdout);
    std::fputs("\n", stdout);
    std::fflush(stdout);
    return 0;
}

int ShowAssertDialog(const char* expression, const char* message, const char* file, int line) {
    std::string text = BuildAssertBoxText(GetProgramPath(), expression, message, file, line);
    switch (ShowAssertBox(text, "Lantern Vaults - assertion failed")) {
        case AssertBoxAnswer::Abort: return 2;
        case AssertBoxAnswer::Retry: return 0;
        case AssertBoxAnswer::Ignore: break;
    }
    return 1;
}

const char* DebugTrace(const char* file, int line, const char* format, ...) {
    thread_local char buffer[kTraceBufferSize];
    SetAssertHandler(&ShowAssertDialog);
    int used = std::snprintf(buffer, sizeof(buffer), "%s(%d):", file ? file : "", line);
    if (used < 0) used = 0;
    if (format && std::size_t(used) < sizeof(buffer)) {
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer + used, sizeof(buffer) - std::size_t(used), format, args);
        va_end(args);
    }
    buffer[sizeof(buffer) - 1] = '\0';
    WriteDebugOutput(buffer);
    WriteDebugOutput("\n");
    return buffer;
}

int AssertFailure(const char* expression, const char* file, int line, const char* format, ...) {
    char buffer[kMessageBufferSize];
    const char* message = nullptr;
    if (format) {
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof(buffer), format, args);
        va_end(args);
        buffer[sizeof(buffer) - 1] = '\0';
        message = buffer;
    }
    AssertHandler handler = GetAssertHandler();
    return handler ? handler(expression, message, file, line) : 1;
}

void EndAssertion(int answer) {
    // Abort deliberately raises no SIGABRT: on Linux that would kill the
    // process by signal instead of ending it with code 3.
    if (answer == 0 && IsDebuggerAttached()) std::raise(SIGTRAP);
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(3);
}

std::string ShortenAssertProgramPath(const std::string& path) {
    constexpr std::size_t kKeep = 49;
    if (path.size() <= kKeep) return path;
    std::string tail = path.substr(path.size() - kKeep);
    return "..." + tail.substr(3);
}

std::string ShortenAssertFileName(const std::string& file) {
    const std::size_t n = file.size();
    if (n < 53) return file;
    std::size_t separator = file.find_last_of("\\/");
    std::size_t k = separator == std::string::npos ? n : n - separator;
    std::size_t directory = n - k;
    if (directory > 35 && k < 17) return file.substr(0, 49 - k) + "..." + file.substr(n - k);
    if (directory >= 35) {
        return file.substr(0, 32) + "..." + file.substr(directory, 7) + "..." + file.substr(n - 7);
    }
    std::size_t half = k / 2;
    std::size_t head = half < 49 ? 49 - half : 0;
    return file.substr(0, head) + "..." + file.substr(n - half);
}

std::string BuildAssertBoxText(const std::string& programPath, const char* expression,
                               const char* message, const char* file, int line) {
    std::string expressionLine = std::string(expression ? expression : "") + (message ? message : "");
    std::string text = "Assertion failed!\n\nProgram: " + ShortenAssertProgramPath(programPath) +
                       "\nFile: " + ShortenAssertFileName(file ? file : "") +
                       "\nLine: " + std::to_string(line) + "\n\nExpression: ";
    if (text.size() + expressionLine.size() + kTailLength >= kBoxTextLimit + 1) {
        std::size_t fixed = text.size() + kTailLength + 3;
        std::size_t keep = fixed < kBoxTextLimit ? kBoxTextLimit - fixed : 0;
        expressionLine = expressionLine.substr(0, keep) + "...";
    }
    text += expressionLine + "\n\n" + kDocumentationLine + "\n\n" + kRetryLine;
    if (text.size() > kBoxTextLimit) text.resize(kBoxTextLimit);
    return text;
}

}  // namespace Ostrel
