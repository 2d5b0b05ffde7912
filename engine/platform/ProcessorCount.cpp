#include "engine/platform/ProcessorCount.h"

#include <fstream>
#include <map>
#include <sched.h>
#include <sstream>
#include <string>
#include <unistd.h>

namespace Ostrel {

u32 CountBits(u32 mask) {
    u32 count = 0;
    for (int bit = 31; bit >= 0; --bit) count += (mask >> bit) & 1u;
    return count;
}

u32 CountLogicalProcessors(const std::vector<ProcessorCoreRecord>& cores) {
    u32 total = 0;
    for (const ProcessorCoreRecord& core : cores) {
        if (core.flags != 0) {
            total += 1;
        } else {
            total += CountBits(u32(core.processorMask)) + CountBits(u32(core.processorMask >> 32));
        }
    }
    return total;
}

namespace {

// Parses a CPU list such as "0-3,8,10-11".
std::vector<int> ParseCpuList(const std::string& text) {
    std::vector<int> cpus;
    std::stringstream stream(text);
    std::string part;
    while (std::getline(stream, part, ',')) {
        std::size_t dash = part.find('-');
        try {
            int first = std::stoi(part.substr(0, dash));
            int last = dash == std::string::npos ? first : std::stoi(part.substr(dash + 1));
            for (int cpu = first; cpu <= last && cpu - first < 4096; ++cpu) cpus.push_back(cpu);
        } catch (...) {
            return {};
        }
    }
    return cpus;
}

}  // namespace

std::vector<ProcessorCoreRecord> ReadProcessorCoreRecords() {
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof(allowed), &allowed) != 0) return {};
    // One record per distinct sibling group, keyed by the group's text.
    std::map<std::string, ProcessorCoreRecord> cores;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (!CPU_ISSET(cpu, &allowed)) continue;
        std::ifstream file("/sys/devices/system/cpu/cpu" + std::to_string(cpu) +
                           "/topology/thread_siblings_list");
        std::string siblings;
        if (!(file >> siblings)) return {};
        std::vector<int> group = ParseCpuList(siblings);
        if (group.empty()) return {};
        ProcessorCoreRecord& core = cores[siblings];
        core.flags = group.size() > 1 ? 1 : 0;
        core.processorMask |= u64(1) << (cpu % 64);
    }
    std::vector<ProcessorCoreRecord> records;
    for (const auto& entry : cores) records.push_back(entry.second);
    return records;
}

u32 GetLogicalProcessorCount() {
    static const u32 s_count = [] {
        u32 count = CountLogicalProcessors(ReadProcessorCoreRecords());
        if (count == 0) {
            long online = sysconf(_SC_NPROCESSORS_ONLN);
            count = online > 0 ? u32(online) : 1u;
        }
        return count;
    }();
    return s_count;
}

}  // namespace Ostrel
