#pragma once
// How many processors the engine may keep busy (the animation system starts
// one worker per counted processor). A core whose logical processors share it
// (hyper-threading) counts once; other cores count each of their processors.
// Only processors this process may run on (its affinity) are counted.

#include "engine/base/Types.h"

#include <vector>

namespace Ostrel {

// One physical core as the system describes it.
struct ProcessorCoreRecord {
    // Non-zero when the core's logical processors share it (hyper-threading).
    u8 flags = 0;
    // The core's logical processors, one bit each.
    u64 processorMask = 0;
};

// The cached count, computed on the first call (never below 1).
u32 GetLogicalProcessorCount();

// The number of set bits of mask.
u32 CountBits(u32 mask);

// The count over a list of core records (see the rule above).
u32 CountLogicalProcessors(const std::vector<ProcessorCoreRecord>& cores);

// The core records of the processors in this process's affinity, from the
// sysfs topology; empty when they cannot be read.
std::vector<ProcessorCoreRecord> ReadProcessorCoreRecords();

}  // namespace Ostrel
