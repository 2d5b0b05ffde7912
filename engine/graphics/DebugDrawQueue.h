#pragma once
// The frame's queue of debug text and debug shapes. Engine code (the profiler
// report, the object list) queues through Graphics::DrawDebugText and
// Graphics::DrawDebugShape; the renderer drains the queue at the end of the
// frame and draws everything over the picture. Until a renderer drains it,
// the queue simply records the calls, which is also what tests read.
//
// Main thread only: debug drawing is queued from system updates.

#include "engine/base/Types.h"

#include <string>
#include <vector>

namespace Ostrel {

struct DebugTextCall {
    std::string text;
    float x = 0.0f;
    float y = 0.0f;
    u8 red = 0, green = 0, blue = 0, alpha = 0;
    // 0xAARRGGBB, the packed colour the renderer uses.
    u32 PackedColour() const { return u32(alpha) << 24 | u32(red) << 16 | u32(green) << 8 | blue; }
};

struct DebugShapeCall {
    int kind = 0;
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float sizeX = 0.0f, sizeY = 0.0f, sizeZ = 0.0f;
    u8 red = 0, green = 0, blue = 0, alpha = 0;
};

class DebugDrawQueue {
public:
    static DebugDrawQueue& Instance();

    void AddText(DebugTextCall call) { m_texts.push_back(std::move(call)); }
    void AddShape(const DebugShapeCall& call) { m_shapes.push_back(call); }

    const std::vector<DebugTextCall>& Texts() const { return m_texts; }
    const std::vector<DebugShapeCall>& Shapes() const { return m_shapes; }

    // Hands the queued calls to the caller (the renderer at the end of the
    // frame) and leaves the queue empty.
    std::vector<DebugTextCall> TakeTexts();
    std::vector<DebugShapeCall> TakeShapes();
    void Clear();

private:
    std::vector<DebugTextCall> m_texts;
    std::vector<DebugShapeCall> m_shapes;
};

}  // namespace Ostrel
