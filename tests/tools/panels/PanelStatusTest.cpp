// The status line's text shortened to the window: the start and the end of
// a long message stay, whatever the length of the name between them.

#include "tools/panels/PanelStatus.h"

#include <gtest/gtest.h>

namespace Ostrel {
namespace {

// 7 pixels a character; UTF-8 continuation bytes take no room.
float Measure(const std::string& text) {
    float width = 0.0f;
    for (char c : text) width += (static_cast<unsigned char>(c) & 0xC0) == 0x80 ? 0.0f : 7.0f;
    return width;
}

TEST(PanelStatusText, ALongNameGivesUpItsMiddleAndCutsFallBetweenCharacters) {
    const std::string text = "Load Level: '" + std::string(300, 'a') + "' not loaded: no such room";
    EXPECT_EQ(FitStatusText(text, Measure(text), Measure), text);
    EXPECT_EQ(FitStatusText(text, 423.0f, Measure), "Load Level: 'aaaaaaaaaaaaaaa...aaa' not loaded: no such room");
    EXPECT_EQ(FitStatusText(text, 10.0f, Measure), "...");
    // "\xC3\xA9" is one letter of two bytes: a cut inside it moves past it.
    const std::string e = "\xC3\xA9", accents = e + e + e + std::string(20, 'x') + e + e + e;
    EXPECT_EQ(FitStatusText(accents, 56.0f, Measure), e + e + "..." + e + e + e);
    EXPECT_EQ(FitStatusText(accents, 63.0f, Measure), e + e + e + "..." + e + e + e);
    EXPECT_EQ(FitStatusText(accents, 77.0f, Measure), e + e + e + "x...x" + e + e + e);
}

}  // namespace
}  // namespace Ostrel
