#include "engine/io/FileLog.h"

#include "engine/io/LogException.h"

#include <cstdio>

namespace Ostrel {

FileLog::FileLog(const std::string& path, std::ios_base::openmode mode) {
    m_stream.open(path, mode | std::ios_base::out);
    if (!m_stream.is_open()) throw LogException("unable to open requested log file: " + path);
    m_stream << "[" << TimeText(std::time(nullptr)) << "] Starting application\n";
    m_stream.flush();
}

FileLog::~FileLog() {
    if (!m_stream.is_open()) return;
    m_stream << "[" << TimeText(std::time(nullptr)) << "] Terminating application\n";
    m_stream.close();
}

void FileLog::Write(const char* text) {
    if (!m_stream.is_open() || !text) return;
    m_stream << text;
    m_stream.flush();
}

void FileLog::Write(int, int, const char* text) { Write(text); }

std::string FileLog::TimeText(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    // Written by hand rather than with asctime (which pads the day with a
    // blank) or strftime (whose names follow the locale).
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), "%s %s %02d %02d:%02d:%02d %04d",
                  kDays[(local.tm_wday % 7 + 7) % 7], kMonths[(local.tm_mon % 12 + 12) % 12],
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, local.tm_year + 1900);
    return buffer;
}

}  // namespace Ostrel
