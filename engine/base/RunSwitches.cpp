#include "engine/base/RunSwitches.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace Ostrel {

namespace {

std::optional<long> ParseLong(const char* text, long minimum) {
    if (!text || !*text) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < minimum) return std::nullopt;
    return value;
}

std::optional<double> ParsePositiveDouble(const char* text) {
    if (!text || !*text) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    double value = std::strtod(text, &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(value) || value <= 0.0) return std::nullopt;
    return value;
}

std::string Malformed(const char* name, const char* value) {
    return std::string(name) + ": malformed value '" + value + "', ignored";
}

}  // namespace

RunSwitches RunSwitches::Parse(const std::function<const char*(const char*)>& getValue) {
    RunSwitches switches;
    if (const char* v = getValue("TAVRIN_MAX_FRAMES")) {
        switches.maxFrames = ParseLong(v, 1);
        if (!switches.maxFrames) switches.errors.push_back(Malformed("TAVRIN_MAX_FRAMES", v));
    }
    if (const char* v = getValue("TAVRIN_FIXED_DT")) {
        switches.fixedDt = ParsePositiveDouble(v);
        if (!switches.fixedDt) switches.errors.push_back(Malformed("TAVRIN_FIXED_DT", v));
    }
    if (const char* v = getValue("TAVRIN_SEED")) {
        auto seed = ParseLong(v, 0);
        if (seed && *seed <= long(0xFFFFFFFFu)) {
            switches.seed = unsigned(*seed);
        } else {
            switches.errors.push_back(Malformed("TAVRIN_SEED", v));
        }
    }
    if (const char* v = getValue("TAVRIN_INPUT_SCRIPT"); v && *v) {
        switches.inputScript = std::string(v);
    }
    if (const char* v = getValue("TAVRIN_SCREENSHOT")) {
        std::string text(v);
        auto at = text.rfind('@');
        std::optional<long> frame;
        if (at != std::string::npos && at > 0) frame = ParseLong(text.c_str() + at + 1, 0);
        if (frame) {
            switches.screenshot = Screenshot{text.substr(0, at), *frame};
        } else {
            switches.errors.push_back(Malformed("TAVRIN_SCREENSHOT", v));
        }
    }
    return switches;
}

const RunSwitches& RunSwitches::FromEnvironment() {
    static const RunSwitches switches = Parse([](const char* name) { return std::getenv(name); });
    return switches;
}

}  // namespace Ostrel
