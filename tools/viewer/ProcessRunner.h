#pragma once
// Runs a helper program directly (no shell): the argument vector reaches the
// program exactly as given, so file names with blanks, quotes, "$(...)" or
// ';' are passed untouched and nothing else runs. Its standard output and
// standard error go to a log file, which is truncated first. It runs in a
// folder of the caller's choice (by default the caller's working folder).

#include <string>
#include <vector>

namespace Ostrel {

struct ProcessResult {
    bool started = false;  // false: the program could not be run (logged)
    int exitCode = -1;     // the exit status; -1 when it ended by a signal
    int signal = 0;        // the signal that ended it, 0 when none
    std::string error;     // why it could not be run, when it was not
};

// argv[0] is the program: a path (with a '/') is run as is, a bare name is
// looked up on PATH. Waits for the program to end. workFolder (when not
// empty) is the program's working folder; a relative logPath is relative to
// the caller's.
ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& logPath,
                         const std::string& workFolder = {});

// The program to run for name: the file of that name next to this
// executable when it exists and is executable, else the bare name (looked up
// on PATH when run).
std::string FindHelperProgram(const std::string& name);

// The folder FindHelperProgram looks in first: this executable's folder.
std::string HelperProgramFolder();

// The executable file of that name in a folder of PATH, or empty when none.
std::string FindOnPath(const std::string& name);

}  // namespace Ostrel
