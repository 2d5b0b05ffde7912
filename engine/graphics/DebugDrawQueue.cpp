#include "engine/graphics/DebugDrawQueue.h"

namespace Ostrel {

DebugDrawQueue& DebugDrawQueue::Instance() {
    static DebugDrawQueue queue;
    return queue;
}

std::vector<DebugTextCall> DebugDrawQueue::TakeTexts() {
    std::vector<DebugTextCall> out;
    out.swap(m_texts);
    return out;
}

std::vector<DebugShapeCall> DebugDrawQueue::TakeShapes() {
    std::vector<DebugShapeCall> out;
    out.swap(m_shapes);
    return out;
}

void DebugDrawQueue::Clear() {
    m_texts.clear();
    m_shapes.clear();
}

}  // namespace Ostrel
