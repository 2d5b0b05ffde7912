// Routes the text SerializerDebug collects (the object manager's debug
// display) to the debug-text queue. SerializerDebug lives below graphics, so
// graphics installs itself as its drawing function at start-up.
#include "engine/graphics/Graphics.h"
#include "engine/io/SerializerDebug.h"

namespace Ostrel {

namespace {

void DrawSerializerDebugText(const std::string& text, float x, float y, DebugTextColor color) {
    Graphics::DrawDebugText(text.c_str(), x, y, static_cast<u8>(color.red), static_cast<u8>(color.green),
                            static_cast<u8>(color.blue), static_cast<u8>(color.alpha));
}

const bool s_installed = (SerializerDebug::SetDrawFunction(&DrawSerializerDebugText), true);

}  // namespace

}  // namespace Ostrel
