#include "engine/io/DataValue.h"

#include "XmlTestFiles.h"
#include "engine/io/ConfigureFileXML.h"
#include "engine/io/SerializerXML.h"

#include <gtest/gtest.h>

#include <cmath>

namespace Ostrel {
namespace {

using XmlTest::LogCapture;

// One row: the text, the limits, the rule, and what the key holds after the
// read (its default is 7) with the problem the log line names ("" for none).
struct IntCase {
    const char* text;
    ValueLimits<int> limits;
    NumberText rule;
    int expected;
    const char* problem;
};

TEST(DataValue, IntTextsAreWholeNumbersWithinTheKeysLimits) {
    const NumberText W = NumberText::Whole;
    const NumberText L = NumberText::Leading;
    const IntCase cases[] = {
        {"42", {}, W, 42, ""},
        {"  -3 \n", {}, W, -3, ""},
        {"+5", {}, W, 5, ""},
        {"2147483647", {}, W, 2147483647, ""},
        {"abc", {}, W, 7, "is not a whole number; the default 7 is kept"},
        {"abc", {}, L, 7, "is not a whole number; the default 7 is kept"},
        {"2e9", {}, W, 7, "is not a whole number; the default 7 is kept"},
        {"2e9", {}, L, 2, "is not a whole number (read as 2)"},
        {"1.5", {}, L, 1, "is not a whole number (read as 1)"},
        {"2.0.0", {}, W, 7, "is not a whole number"},
        {"0x10", {}, W, 7, "is not a whole number"},
        {"0x10", {}, L, 0, "is not a whole number (read as 0)"},
        {"", {}, L, 7, "is blank; the default 7 is kept"},
        {"   ", {}, W, 7, "is blank"},
        {"3000000000", {}, L, 7, "is out of range for a whole number; the default 7 is kept"},
        {"-1", NonNegative<int>(), W, 7, "is below 0; the default 7 is kept"},
        {"0", Positive<int>(), W, 7, "is not above 0"},
        {"70000", NonNegative<int>(65536), W, 7, "is above 65536"},
        {"70000abc", NonNegative<int>(65536), L, 7, "is above 65536"},
        {"65536", NonNegative<int>(65536), W, 65536, ""},
        {"--4", {}, L, 7, "is not a whole number"},
    };
    for (const IntCase& c : cases) {
        SCOPED_TRACE(c.text);
        LogCapture log;
        int value = 7;
        ReadDataValue("rsc/a.xobj: object 'spark'", "Count", c.text, &value, c.limits, c.rule);
        EXPECT_EQ(value, c.expected);
        if (*c.problem == '\0') {
            EXPECT_EQ(log.Text(), "");
        } else {
            EXPECT_EQ(log.Text().rfind("rsc/a.xobj: object 'spark': key 'Count': '", 0), 0u) << log.Text();
            EXPECT_NE(log.Text().find(c.problem), std::string::npos) << log.Text();
            EXPECT_EQ(std::count(log.Text().begin(), log.Text().end(), '\n'), 1);
        }
    }
}

struct FloatCase {
    const char* text;
    ValueLimits<float> limits;
    NumberText rule;
    float expected;
    const char* problem;
};

TEST(DataValue, FloatTextsMustBeFiniteDecimalNumbersWithinLimits) {
    const NumberText W = NumberText::Whole;
    const NumberText L = NumberText::Leading;
    const FloatCase cases[] = {
        {"1.5", {}, W, 1.5f, ""},
        {"-30.000000", {}, W, -30.0f, ""},
        {"1e3", {}, W, 1000.0f, ""},
        {".25", {}, W, 0.25f, ""},
        {"+2", {}, W, 2.0f, ""},
        {"nan", {}, L, 7.0f, "is not a number; the default 7 is kept"},
        {"-inf", {}, L, 7.0f, "is not a number"},
        {"infinity", {}, W, 7.0f, "is not a number"},
        {"1e999", {}, L, 7.0f, "is out of range for a number"},
        {"2.0.0", {}, W, 7.0f, "is not a number; the default 7 is kept"},
        {"2.0.0", {}, L, 2.0f, "is not a number (read as 2)"},
        {"0x10", {}, W, 7.0f, "is not a number"},
        {"", {}, W, 7.0f, "is blank"},
        {"-0.5", NonNegative<float>(), L, 7.0f, "is below 0; the default 7 is kept"},
        {"0", Positive<float>(), W, 7.0f, "is not above 0"},
        {"0", NonNegative<float>(), W, 0.0f, ""},
        {"4097", NonNegative(4096.0f), W, 7.0f, "is above 4096"},
    };
    for (const FloatCase& c : cases) {
        SCOPED_TRACE(c.text);
        LogCapture log;
        float value = 7.0f;
        ReadDataValue("", "Rate", c.text, &value, c.limits, c.rule);
        EXPECT_EQ(value, c.expected);
        if (*c.problem == '\0') {
            EXPECT_EQ(log.Text(), "");
        } else {
            EXPECT_EQ(log.Text().rfind("key 'Rate': '", 0), 0u) << log.Text();
            EXPECT_NE(log.Text().find(c.problem), std::string::npos) << log.Text();
        }
    }
}

TEST(DataValue, LoggedTextIsEscapedAndCutAndNullReadsAsBlank) {
    LogCapture log;
    int value = 1;
    ReadDataValue("f", "K", std::string("a\x01\\b" + std::string(100, 'x')).c_str(), &value);
    EXPECT_NE(log.Text().find("'a\\x01\\x5cb" + std::string(60, 'x') + "...' is not a whole number"),
              std::string::npos)
        << log.Text();
    ReadDataValue("f", "K", nullptr, &value);
    EXPECT_NE(log.Text().find("f: key 'K': '' is blank"), std::string::npos);
    EXPECT_EQ(value, 1);
}

// Both XML readers go through the helper and name their file, and an
// archetype's values name the object too; valid values log nothing.
TEST(DataValue, SerializersNameTheFileTheObjectAndTheKey) {
    const std::string config = XmlTest::WriteFile("physics.xcfg",
                                                  "<Physics><GRAVITY>-30</GRAVITY><DRAG>-2</DRAG>"
                                                  "<RK4>1x</RK4><Width>nan</Width></Physics>");
    LogCapture log;
    ConfigureFileXML reader(true);
    ASSERT_TRUE(reader.Load(config));
    float gravity = 0.0f, drag = 0.5f, width = 3.0f;
    bool rk4 = false;
    reader.SerializeFloat("GRAVITY", &gravity);
    SerializeValue(reader, "DRAG", &drag, NonNegative<float>());
    reader.SerializeBool("RK4", &rk4);
    reader.SerializeFloat("Width", &width);
    EXPECT_EQ(gravity, -30.0f);
    EXPECT_EQ(drag, 0.5f);
    EXPECT_TRUE(rk4);  // "1x" starts with 1: kept, and logged
    EXPECT_EQ(width, 3.0f);
    EXPECT_NE(log.Text().find(config + ": key 'DRAG': '-2' is below 0; the default 0.5 is kept"), std::string::npos)
        << log.Text();
    EXPECT_NE(log.Text().find(config + ": key 'RK4': '1x' is not a whole number (read as 1)"), std::string::npos);
    EXPECT_NE(log.Text().find(config + ": key 'Width': 'nan' is not a number"), std::string::npos);
    EXPECT_EQ(log.Text().find("GRAVITY"), std::string::npos);

    // Writing goes through the serializer's own number operation.
    ConfigureFileXML writer(false, "Physics");
    float written = 0.25f;
    SerializeValue(writer, "DRAG", &written, NonNegative<float>());
    EXPECT_NE(writer.ToText().find("<DRAG>0.250000</DRAG>"), std::string::npos);
}

}  // namespace
}  // namespace Ostrel
