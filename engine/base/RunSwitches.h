#pragma once
// Environment switches for automated runs. Only the platform layer and the
// engine loop read them; a player at a desktop sets none.
//   TAVRIN_MAX_FRAMES=N       the run ends cleanly after N frames (1..10^9)
//   TAVRIN_FIXED_DT=S         every frame reads S seconds from the timer
//                             (0.000001..1)
//   TAVRIN_SEED=N             seeds Rand (0..2^32-1)
//   TAVRIN_INPUT_SCRIPT=FILE  scripted platform events (see InputScript)
//   TAVRIN_SCREENSHOT=FILE@N[,FILE@N...]
//                             writes frame N as PNG (0..10^9); a list takes
//                             one picture per pair (a single FILE@N may hold
//                             commas and '@' in FILE)
//   TAVRIN_TRACE_MESSAGES=NAME[,NAME...]
//                             logs every send of the named global messages
//                             with the frame and the arguments
//   TAVRIN_TRACE_POSITIONS=NAME[,NAME...]
//                             logs, at the end of every frame, the position
//                             of each live object of the named archetypes
// A malformed or out-of-range value is reported in errors and ignored.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace Ostrel {

struct RunSwitches {
    std::optional<long> maxFrames;
    std::optional<double> fixedDt;
    std::optional<unsigned> seed;
    std::optional<std::string> inputScript;
    struct Screenshot {
        std::string file;
        long frame = 0;
    };
    // In the order given; empty when unset.
    std::vector<Screenshot> screenshots;
    // Names of global messages whose sends are logged (none empty).
    std::optional<std::vector<std::string>> traceMessages;
    // Archetype names whose objects' positions are logged every frame.
    std::optional<std::vector<std::string>> tracePositions;
    // One line per malformed switch, ready for the log.
    std::vector<std::string> errors;

    // Reads the switches through getValue (nullptr for an unset variable).
    static RunSwitches Parse(const std::function<const char*(const char*)>& getValue);
    // Reads the process environment once and keeps the result.
    static const RunSwitches& FromEnvironment();
};

}  // namespace Ostrel
