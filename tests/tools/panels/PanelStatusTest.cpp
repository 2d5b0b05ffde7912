// The status line's text shortened to the window: the start and the end of
// a long message stay, whatever the length of the name between them.

#include "tools/panels/PanelStatus.h"

#include <gtest/gtest.h>

namespace Ostrel {
namespace {

// 7 pixels a character (UTF-8 continuation bytes take no room).
float Measure(const std::string& text) {
    float width = 0.0f;
    for (char c : text) width += (static_cast<unsigned char>(c) & 0xC0) == 0x80 ? 0.0f : 7.0f;
    return width;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(PanelStatusText, ALongNameGivesUpItsMiddleSoTheReasonStaysInTheWindow) {
    const std::string shortText = "Load Level: 'nope' not loaded: no such room";
    EXPECT_EQ(FitStatusText(shortText, Measure(shortText), Measure), shortText);

    const std::string longText = "Load Level: '" + std::string(300, 'a') + "' not loaded: no such room";
    for (const float width : {420.0f, 423.0f, 1010.0f}) {
        const std::string fitted = FitStatusText(longText, width, Measure);
        EXPECT_LE(Measure(fitted), width) << fitted;
        EXPECT_GT(Measure(fitted) + 7.0f, width) << "not the most that fits: " << fitted;
        EXPECT_EQ(fitted.rfind("Load Level: 'aaa", 0), 0u) << fitted;
        EXPECT_TRUE(EndsWith(fitted, "aaa' not loaded: no such room")) << fitted;
        EXPECT_NE(fitted.find("..."), std::string::npos) << fitted;
    }

    // Cuts fall between characters: two-byte letters stay whole.
    const std::string accents = "Texture '" + std::string(200, 'x') + "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9' unreadable";
    for (float width = 200.0f; width < 280.0f; width += 7.0f) {
        const std::string fitted = FitStatusText(accents, width, Measure);
        for (size_t i = 0; i < fitted.size(); ++i) {
            if (static_cast<unsigned char>(fitted[i]) != 0xC3) continue;
            ASSERT_LT(i + 1, fitted.size()) << fitted;
            EXPECT_EQ(static_cast<unsigned char>(fitted[i + 1]), 0xA9) << fitted;
        }
        EXPECT_EQ(fitted.find("...\xA9"), std::string::npos) << fitted;
        EXPECT_TRUE(EndsWith(fitted, " unreadable")) << fitted;
    }

    // Too narrow for anything but the mark.
    EXPECT_EQ(FitStatusText(longText, 10.0f, Measure), "...");
}

}  // namespace
}  // namespace Ostrel
