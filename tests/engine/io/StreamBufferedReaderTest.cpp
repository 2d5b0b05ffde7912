#include "engine/io/StreamBufferedReader.h"

#include <gtest/gtest.h>

namespace Ostrel {
namespace {

TEST(StreamBufferedReader, PushBackIsLastInFirstOut) {
    auto reader = StreamBufferedReader::FromText("stream");
    reader->UnreadToken("A");
    reader->UnreadToken("B");
    std::string token;
    EXPECT_TRUE(reader->ReadToken(token));
    EXPECT_EQ(token, "B");
    EXPECT_TRUE(reader->ReadToken(token));
    EXPECT_EQ(token, "A");
    EXPECT_TRUE(reader->ReadToken(token));
    EXPECT_EQ(token, "stream");
}

TEST(StreamBufferedReader, PushedBackNumbersUseSixSignificantDigits) {
    auto reader = StreamBufferedReader::FromText("");
    reader->UnreadDouble(3.14159265);
    std::string token;
    EXPECT_TRUE(reader->IsGood());
    EXPECT_TRUE(reader->ReadToken(token));
    EXPECT_EQ(token, "3.14159");
    reader->UnreadInt(42);
    int value = 0;
    EXPECT_TRUE(reader->ReadInt(value));
    EXPECT_EQ(value, 42);
    reader->UnreadChar('q');
    char c = 0;
    EXPECT_TRUE(reader->ReadChar(c));
    EXPECT_EQ(c, 'q');
}

TEST(StreamBufferedReader, PushedBackTextThatIsNotANumberAnswersFalseAndKeepsValue) {
    auto reader = StreamBufferedReader::FromText("7");
    reader->UnreadToken("abc");
    int value = 5;
    EXPECT_FALSE(reader->ReadInt(value));
    EXPECT_EQ(value, 5);
    EXPECT_TRUE(reader->ReadInt(value));
    EXPECT_EQ(value, 7);
}

TEST(StreamBufferedReader, LastValueWithoutFinalLineEndIsDeliveredAndAnsweredTrue) {
    for (const char* text : {"anim: walk\nscale: 1.5", "anim: walk\nscale: 1.5\n"}) {
        auto reader = StreamBufferedReader::FromText(text);
        std::string label, name;
        double scale = 1.0;
        EXPECT_TRUE(reader->ReadToken(label));
        EXPECT_TRUE(reader->ReadToken(name));
        EXPECT_TRUE(reader->ReadToken(label));
        EXPECT_TRUE(reader->ReadDouble(scale)) << text;
        EXPECT_DOUBLE_EQ(scale, 1.5) << text;
        EXPECT_EQ(name, "walk");
        std::string after = "unchanged";
        EXPECT_FALSE(reader->ReadToken(after));
        EXPECT_EQ(after, "unchanged");
        EXPECT_FALSE(reader->IsGood());
        EXPECT_FALSE(reader->IsBad());
    }
}

TEST(StreamBufferedReader, FailedNumberKeepsStateUntilClearError) {
    auto reader = StreamBufferedReader::FromText("x 5");
    int value = 9;
    EXPECT_FALSE(reader->ReadInt(value));
    EXPECT_EQ(value, 9);
    EXPECT_FALSE(reader->IsGood());
    EXPECT_FALSE(reader->ReadInt(value));
    reader->ClearError();
    EXPECT_TRUE(reader->IsGood());
    std::string token;
    EXPECT_TRUE(reader->ReadToken(token));
    EXPECT_EQ(token, "x");
    double number = 0;
    *reader >> number;
    EXPECT_DOUBLE_EQ(number, 5.0);
}

}  // namespace
}  // namespace Ostrel
