#pragma once
// Placeholder until the graphics subsystem is built: it keeps the screen size
// it is given and builds no matrices.

#include "engine/core/Types.h"
#include "engine/platform/DeviceParams.h"

namespace Ostrel {

class MatrixManager {
public:
    MatrixManager() = default;
    MatrixManager(const MatrixManager&) = delete;
    MatrixManager& operator=(const MatrixManager&) = delete;
    // A size of 0 (a minimised window) keeps the last good size.
    void SetScreenSize(const DeviceParams& params) {
        if (params.width == 0 || params.height == 0) return;
        m_width = params.width;
        m_height = params.height;
    }
    void Initialize() {}
    u32 GetWidth() const { return m_width; }
    u32 GetHeight() const { return m_height; }

private:
    u32 m_width = 0;
    u32 m_height = 0;
};

}  // namespace Ostrel
