#include "engine/io/SerializerDebug.h"

#include <gtest/gtest.h>

#include <string>

namespace Ostrel {
namespace {

TEST(SerializerDebug, CollectsLinesAndDrawsThemInItsColourWhenDone) {
    std::string drawn;
    float drawnX = 0.0f;
    float drawnY = 0.0f;
    DebugTextColor drawnColor;
    auto previous = SerializerDebug::SetDrawFunction(
        [&](const std::string& text, float x, float y, DebugTextColor color) {
            drawn = text;
            drawnX = x;
            drawnY = y;
            drawnColor = color;
        });
    {
        SerializerDebug debug(10.0f, 20.0f);
        std::string block = "TransformComponent";
        int x = 3;
        float pi = 3.14159265f;
        bool on = true;
        std::string name = "bat";
        EXPECT_TRUE(debug.IsWriting());
        debug.SerializeBlock(block);
        EXPECT_TRUE(debug.SerializeInt("x", &x));
        EXPECT_TRUE(debug.SerializeFloat("pi", &pi));
        EXPECT_TRUE(debug.SerializeBool("on", &on));
        EXPECT_TRUE(debug.SerializeString("name", &name));
        block = "EOF";
        debug.SerializeBlock(block);
    }
    SerializerDebug::SetDrawFunction(previous);
    EXPECT_EQ(drawn, "TransformComponent : \n\nx : 3\npi : 3.14159\non : 1\nname : bat\n");
    EXPECT_EQ(drawnX, 10.0f);
    EXPECT_EQ(drawnY, 20.0f);
    EXPECT_EQ(drawnColor.red, 54);
    EXPECT_EQ(drawnColor.green, 69);
    EXPECT_EQ(drawnColor.blue, 79);
    EXPECT_EQ(drawnColor.alpha, 255);
}

}  // namespace
}  // namespace Ostrel
