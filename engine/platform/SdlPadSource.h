#pragma once
// Game pads through SDL's game-controller API, presented in the pad layout
// Input expects (see ControllerData.h). User indices 0..3 are given to the
// controllers in the order they were opened; an index freed by an unplugged
// pad is reused by the next one. The packet number of an index increments
// whenever any field read from its pad changes. Triggers 0..32767 become
// 0..255; thumb Y axes are negated (SDL reports up as negative) and clamped to
// 32767. Having no pad, or no game-controller support at all, is normal and
// logs nothing.

#include "engine/platform/PadSource.h"

#include <memory>

namespace Ostrel {

class SdlPadSource final : public PadSource {
public:
    SdlPadSource();
    ~SdlPadSource() override;
    SdlPadSource(const SdlPadSource&) = delete;
    SdlPadSource& operator=(const SdlPadSource&) = delete;

    // Opens newly attached controllers and closes detached ones.
    void Refresh() override;
    bool GetState(int index, PadState& out) override;
    void SetVibration(int index, u16 left, u16 right) override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace Ostrel
