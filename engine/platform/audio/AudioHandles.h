#pragma once
// Handles the mixer gives out. A channel handle names a voice slot and the
// generation the slot had when the play started: once that play has ended,
// been stopped or had its voice taken by a later play, the handle is stale and
// every operation on it is a harmless no-op (IsPlaying answers false). A
// default-constructed handle is stale from the start.

#include "engine/base/Types.h"

namespace Ostrel {

struct AudioChannel {
    static constexpr u32 kNoSlot = 0xFFFFFFFFu;
    u32 slot = kNoSlot;
    u32 generation = 0;

    bool IsNull() const { return slot == kNoSlot; }
    friend bool operator==(const AudioChannel&, const AudioChannel&) = default;
};

// A channel group. Index 0 is the master group every play starts in; groups
// live as long as the mixer.
struct AudioGroup {
    u32 index = 0;
    friend bool operator==(const AudioGroup&, const AudioGroup&) = default;
};

}  // namespace Ostrel
