#pragma once
// Where Input reads the game pad from: up to four pads by user index 0..3.
// The SDL implementation (SdlPadSource) is the real one; tests use a fake.

#include "engine/platform/ControllerData.h"

namespace Ostrel {

class PadSource {
public:
    static constexpr int kMaxPads = 4;

    virtual ~PadSource() = default;
    // Called once per frame before the reads: refresh the devices' state.
    virtual void Refresh() {}
    // Reads the pad at index into out. False means "no pad at this index",
    // which is a normal state and must not be logged per frame.
    virtual bool GetState(int index, PadState& out) = 0;
    // Drives the two motors (low-frequency left, high-frequency right);
    // 0, 0 stops them.
    virtual void SetVibration(int index, u16 left, u16 right) = 0;
};

}  // namespace Ostrel
