#include "engine/base/RunSwitches.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace Ostrel {

namespace {

// Frame counts, fixed steps and seeds outside these ranges are refused: a
// step of 1e300 seconds or a billion-second frame overflows the clock, and
// nothing sane needs more.
constexpr long kMaxFrameCount = 1000000000;
constexpr double kMinFixedDt = 1e-6;
constexpr double kMaxFixedDt = 1.0;
constexpr long long kMaxSeed = 0xFFFFFFFFll;

std::optional<long long> ParseInteger(const char* text, long long minimum, long long maximum) {
    if (!text || !*text) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < minimum || value > maximum) return std::nullopt;
    return value;
}

std::optional<long> ParseFrameCount(const char* text, long minimum) {
    const auto value = ParseInteger(text, minimum, kMaxFrameCount);
    return value ? std::optional<long>(long(*value)) : std::nullopt;
}

std::optional<double> ParseFixedDt(const char* text) {
    if (!text || !*text) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    double value = std::strtod(text, &end);
    if (errno != 0 || *end != '\0' || !(value >= kMinFixedDt && value <= kMaxFixedDt)) return std::nullopt;
    return value;
}

// "A,B,C": names of printable characters without blanks, none empty.
std::optional<std::vector<std::string>> ParseNameList(const char* text) {
    std::vector<std::string> names(1);
    for (const char* c = text; *c; ++c) {
        if (*c == ',') {
            names.emplace_back();
        } else if (*c > ' ' && *c < 127) {
            names.back() += *c;
        } else {
            return std::nullopt;
        }
    }
    for (const std::string& name : names)
        if (name.empty()) return std::nullopt;
    return names;
}

std::string Malformed(const char* name, const char* value) {
    return std::string(name) + ": malformed value '" + value + "', ignored";
}

std::optional<RunSwitches::Screenshot> ParseScreenshot(const std::string& text) {
    const size_t at = text.rfind('@');
    if (at == std::string::npos || at == 0) return std::nullopt;
    const std::optional<long> frame = ParseFrameCount(text.c_str() + at + 1, 0);
    if (!frame) return std::nullopt;
    return RunSwitches::Screenshot{text.substr(0, at), *frame};
}

// "FILE@N" or "FILE@N,FILE@N,...": a list only when every piece between
// the commas is a picture of its own, so a single file name may still hold
// commas. Empty when malformed.
std::vector<RunSwitches::Screenshot> ParseScreenshots(const std::string& text) {
    std::vector<RunSwitches::Screenshot> shots;
    for (size_t start = 0;;) {
        const size_t comma = text.find(',', start);
        const auto shot = ParseScreenshot(text.substr(start, comma == std::string::npos ? comma : comma - start));
        if (!shot) {
            shots.clear();
            break;
        }
        shots.push_back(*shot);
        if (comma == std::string::npos) return shots;
        start = comma + 1;
    }
    if (const auto whole = ParseScreenshot(text)) shots.push_back(*whole);
    return shots;
}

}  // namespace

RunSwitches RunSwitches::Parse(const std::function<const char*(const char*)>& getValue) {
    RunSwitches switches;
    if (const char* v = getValue("TAVRIN_MAX_FRAMES")) {
        switches.maxFrames = ParseFrameCount(v, 1);
        if (!switches.maxFrames) switches.errors.push_back(Malformed("TAVRIN_MAX_FRAMES", v));
    }
    if (const char* v = getValue("TAVRIN_FIXED_DT")) {
        switches.fixedDt = ParseFixedDt(v);
        if (!switches.fixedDt) switches.errors.push_back(Malformed("TAVRIN_FIXED_DT", v));
    }
    if (const char* v = getValue("TAVRIN_SEED")) {
        if (auto seed = ParseInteger(v, 0, kMaxSeed)) {
            switches.seed = unsigned(*seed);
        } else {
            switches.errors.push_back(Malformed("TAVRIN_SEED", v));
        }
    }
    if (const char* v = getValue("TAVRIN_INPUT_SCRIPT"); v && *v) {
        switches.inputScript = std::string(v);
    }
    if (const char* v = getValue("TAVRIN_SCREENSHOT")) {
        switches.screenshots = ParseScreenshots(v);
        if (switches.screenshots.empty()) switches.errors.push_back(Malformed("TAVRIN_SCREENSHOT", v));
    }
    if (const char* v = getValue("TAVRIN_TRACE_MESSAGES")) {
        switches.traceMessages = ParseNameList(v);
        if (!switches.traceMessages) switches.errors.push_back(Malformed("TAVRIN_TRACE_MESSAGES", v));
    }
    if (const char* v = getValue("TAVRIN_TRACE_POSITIONS")) {
        switches.tracePositions = ParseNameList(v);
        if (!switches.tracePositions) switches.errors.push_back(Malformed("TAVRIN_TRACE_POSITIONS", v));
    }
    return switches;
}

const RunSwitches& RunSwitches::FromEnvironment() {
    static const RunSwitches switches = Parse([](const char* name) { return std::getenv(name); });
    return switches;
}

}  // namespace Ostrel
