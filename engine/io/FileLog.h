#pragma once
// The log file provider ("error_log.log" in the per-user folder). Each run
// appends "[<time>] Starting application" when it opens the file and
// "[<time>] Terminating application" when it is destroyed in an orderly end;
// a run ended by a failed assertion leaves no end line. Every write is
// flushed at once so a crash loses nothing already logged.

#include "engine/base/ILogProvider.h"

#include <ctime>
#include <fstream>
#include <string>

namespace Ostrel {

class FileLog : public ILogProvider {
public:
    // Opens path for output with mode added (the mains pass append). Throws
    // LogException("unable to open requested log file: " + path) on failure.
    FileLog(const std::string& path, std::ios_base::openmode mode);
    ~FileLog() override;

    void Write(const char* text) override;
    void Write(int a, int b, const char* text) override;

    // The 24-character local time text "Sun Sep 07 09:05:03 2025": the day of
    // month always in two digits, single blanks, no line end.
    static std::string TimeText(std::time_t when);

private:
    std::ofstream m_stream;
};

}  // namespace Ostrel
