#include "engine/core/Random.h"

#include <algorithm>
#include <cstdint>

namespace Ostrel {

namespace {
std::uint32_t s_state = 1;
std::function<int()>& TestSource() {
    static std::function<int()> source;
    return source;
}
}  // namespace

int Rand() {
    if (auto& source = TestSource()) {
        return std::clamp(source(), 0, kRandMax);
    }
    s_state = s_state * 214013u + 2531011u;
    return int((s_state >> 16) & 0x7FFFu);
}

void SRand(unsigned seed) { s_state = seed; }

void SetRandSourceForTests(std::function<int()> source) { TestSource() = std::move(source); }

}  // namespace Ostrel
