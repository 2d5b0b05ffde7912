#include "engine/io/SerializerDebug.h"

#include <sstream>
#include <utility>

namespace Ostrel {

namespace {

SerializerDebug::DrawFunction& DrawSlot() {
    static SerializerDebug::DrawFunction s_draw;
    return s_draw;
}

template <typename T>
std::string StreamText(T value) {
    std::ostringstream stream;
    stream << value;
    return stream.str();
}

}  // namespace

SerializerDebug::SerializerDebug(float x, float y) : m_x(x), m_y(y) {}

SerializerDebug::~SerializerDebug() {
    if (DrawSlot()) {
        DrawSlot()(m_text, m_x, m_y, kTextColor);
    }
}

SerializerDebug::DrawFunction SerializerDebug::SetDrawFunction(DrawFunction draw) {
    return std::exchange(DrawSlot(), std::move(draw));
}

bool SerializerDebug::SerializeString(const std::string& name, std::string* value) {
    m_text += name + " : " + *value + "\n";
    return true;
}

bool SerializerDebug::SerializeFloat(const std::string& name, float* value) {
    m_text += name + " : " + StreamText(*value) + "\n";
    return true;
}

bool SerializerDebug::SerializeInt(const std::string& name, int* value) {
    m_text += name + " : " + StreamText(*value) + "\n";
    return true;
}

bool SerializerDebug::SerializeBool(const std::string& name, bool* value) {
    int number = *value ? 1 : 0;
    return SerializeInt(name, &number);
}

bool SerializerDebug::SerializeBlock(std::string& name) {
    if (name != "EOF") {
        m_text += name + " : \n\n";
    }
    return true;
}

}  // namespace Ostrel
