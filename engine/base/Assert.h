#pragma once
// Assertions: for broken invariants in our own code, never for bad data.
//
// OSTREL_ASSERT(condition, format, ...) does nothing while the condition
// holds. When it fails, the trace "file(line):" + message goes to the debug
// output (stderr), the assertion handler is asked (a box when a display is
// there, otherwise the box text on stderr), and the program then always ends
// with _exit(3): no destructors run, so the log gets no end line, and the
// process never dies by a signal (Abort does not raise SIGABRT; Retry breaks
// only into an attached debugger, then exits 3 as well).
//
// Messages are formatted once from the caller's format; after that the text
// travels verbatim, so a '%' in a path or name is never read as a directive.

#include <string>

namespace Ostrel {

// Answers: 0 = debug (Retry), 1 = ignore, 2 = abort.
using AssertHandler = int (*)(const char* expression, const char* message, const char* file,
                              int line);

void SetAssertHandler(AssertHandler handler);
AssertHandler GetAssertHandler();

// Prints "file(line): Assert Failure: 'expression' message\n" to stdout; answers 0.
int ConsoleAssertHandler(const char* expression, const char* message, const char* file, int line);

// Shows the assertion box (see BuildAssertBoxText) and maps its answer.
int ShowAssertDialog(const char* expression, const char* message, const char* file, int line);

// Writes "file(line):" + the formatted message (at most 4095 characters) to
// the debug output, installs ShowAssertDialog as the handler and returns the
// text (a per-thread buffer, valid until this thread's next trace).
const char* DebugTrace(const char* file, int line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Formats the message (null format: no message; at most 1023 characters) and
// returns the current handler's answer.
int AssertFailure(const char* expression, const char* file, int line, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

// Acts on the handler's answer and ends the program with exit code 3.
[[noreturn]] void EndAssertion(int answer);

// The box text (at most 540 characters): program, file, line and the
// expression line, with the program path cut to its last 49 characters and
// long file names and expression lines shortened with "...".
std::string BuildAssertBoxText(const std::string& programPath, const char* expression,
                               const char* message, const char* file, int line);
std::string ShortenAssertProgramPath(const std::string& path);
std::string ShortenAssertFileName(const std::string& file);

}  // namespace Ostrel

#define OSTREL_ASSERT(condition, ...)                                                        \
    do {                                                                                     \
        if (!(condition)) {                                                                  \
            const char* ostrelTrace_ = ::Ostrel::DebugTrace(__FILE__, __LINE__, __VA_ARGS__); \
            ::Ostrel::EndAssertion(                                                          \
                ::Ostrel::AssertFailure(#condition, __FILE__, __LINE__, "%s", ostrelTrace_)); \
        }                                                                                    \
    } while (false)
