#pragma once
// SerializerDebug: turns whatever an object serializes into "name : value"
// lines and draws them on screen when it is destroyed, for the object
// manager's debug display. The graphics layer installs the drawing function
// (Graphics::DrawDebugText); without one the text is dropped.

#include "engine/base/Serializer.h"

#include <functional>
#include <string>

namespace Ostrel {

struct DebugTextColor {
    int red = 0;
    int green = 0;
    int blue = 0;
    int alpha = 0;
};

class SerializerDebug : public Serializer {
public:
    using DrawFunction = std::function<void(const std::string& text, float x, float y, DebugTextColor color)>;

    SerializerDebug(float x, float y);
    ~SerializerDebug() override;
    SerializerDebug(const SerializerDebug&) = delete;
    SerializerDebug& operator=(const SerializerDebug&) = delete;

    bool SerializeString(const std::string& name, std::string* value) override;
    bool SerializeFloat(const std::string& name, float* value) override;
    bool SerializeBool(const std::string& name, bool* value) override;
    bool SerializeInt(const std::string& name, int* value) override;
    bool SerializeBlock(std::string& name) override;
    bool IsReading() const override { return false; }
    bool IsWriting() const override { return true; }

    const std::string& Text() const { return m_text; }

    // Installed by the graphics system at start-up (main thread only);
    // answers the previous function.
    static DrawFunction SetDrawFunction(DrawFunction draw);

    static constexpr DebugTextColor kTextColor{54, 69, 79, 255};

private:
    float m_x;
    float m_y;
    std::string m_text;
};

}  // namespace Ostrel
