#include "engine/base/RunSwitches.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace Ostrel;

namespace {
RunSwitches ParseFrom(const std::map<std::string, std::string>& env) {
    return RunSwitches::Parse([&](const char* name) -> const char* {
        auto it = env.find(name);
        return it == env.end() ? nullptr : it->second.c_str();
    });
}
}  // namespace

TEST(RunSwitches, ReadsEverySwitch) {
    RunSwitches s = ParseFrom({{"TAVRIN_MAX_FRAMES", "120"},
                               {"TAVRIN_FIXED_DT", "0.016"},
                               {"TAVRIN_SEED", "7"},
                               {"TAVRIN_INPUT_SCRIPT", "/tmp/in.txt"},
                               {"TAVRIN_SCREENSHOT", "/tmp/a@b.png@30"},
                               {"TAVRIN_TRACE_MESSAGES", "ObjectCreated,TriggerActivated"},
                               {"TAVRIN_TRACE_POSITIONS", "yak-boss-obj,spawner-Luvo"}});
    EXPECT_TRUE(s.errors.empty());
    EXPECT_EQ(s.traceMessages, (std::vector<std::string>{"ObjectCreated", "TriggerActivated"}));
    EXPECT_EQ(s.tracePositions, (std::vector<std::string>{"yak-boss-obj", "spawner-Luvo"}));
    EXPECT_EQ(s.maxFrames, 120);
    EXPECT_DOUBLE_EQ(*s.fixedDt, 0.016);
    EXPECT_EQ(s.seed, 7u);
    EXPECT_EQ(s.inputScript, "/tmp/in.txt");
    ASSERT_EQ(s.screenshots.size(), 1u);
    EXPECT_EQ(s.screenshots[0].file, "/tmp/a@b.png");
    EXPECT_EQ(s.screenshots[0].frame, 30);
}

// A list takes one picture per pair; a single name may still hold commas.
TEST(RunSwitches, ScreenshotListsAndNamesWithCommas) {
    auto shots = [](const char* value) {
        std::vector<std::pair<std::string, long>> out;
        for (const auto& shot : ParseFrom({{"TAVRIN_SCREENSHOT", value}}).screenshots) {
            out.push_back({shot.file, shot.frame});
        }
        return out;
    };
    using Shots = std::vector<std::pair<std::string, long>>;
    EXPECT_EQ(shots("a.png@10,b@c.png@20,a.png@5"), (Shots{{"a.png", 10}, {"b@c.png", 20}, {"a.png", 5}}));
    EXPECT_EQ(shots("x,y.png@3"), (Shots{{"x,y.png", 3}}));
    EXPECT_EQ(shots("a@1,b.png@2x"), (Shots{}));
    EXPECT_EQ(shots("a.png@1,"), (Shots{}));
    EXPECT_EQ(ParseFrom({{"TAVRIN_SCREENSHOT", "a.png@1,"}}).errors.size(), 1u);
}

TEST(RunSwitches, UnsetMeansNothingAndMalformedIsReportedAndIgnored) {
    EXPECT_FALSE(ParseFrom({}).maxFrames);
    RunSwitches s = ParseFrom({{"TAVRIN_MAX_FRAMES", "0"},
                               {"TAVRIN_FIXED_DT", "fast"},
                               {"TAVRIN_SEED", "-1"},
                               {"TAVRIN_SCREENSHOT", "nofr"}});
    EXPECT_FALSE(s.maxFrames);
    EXPECT_FALSE(s.fixedDt);
    EXPECT_FALSE(s.seed);
    EXPECT_TRUE(s.screenshots.empty());
    ASSERT_EQ(s.errors.size(), 4u);
    EXPECT_EQ(s.errors[0], "TAVRIN_MAX_FRAMES: malformed value '0', ignored");
}

TEST(RunSwitches, ValuesOutsideTheirRangesAreRefused) {
    struct Case {
        const char* name;
        const char* value;
        bool accepted;
    };
    const Case cases[] = {
        {"TAVRIN_MAX_FRAMES", "1000000000", true},  {"TAVRIN_MAX_FRAMES", "1000000001", false},
        {"TAVRIN_MAX_FRAMES", "99999999999999999999", false},
        {"TAVRIN_FIXED_DT", "0.000001", true},      {"TAVRIN_FIXED_DT", "1", true},
        {"TAVRIN_FIXED_DT", "1.5", false},          {"TAVRIN_FIXED_DT", "1e300", false},
        {"TAVRIN_FIXED_DT", "1e9", false},          {"TAVRIN_FIXED_DT", "1e-7", false},
        {"TAVRIN_FIXED_DT", "nan", false},          {"TAVRIN_FIXED_DT", "inf", false},
        {"TAVRIN_SEED", "0", true},                 {"TAVRIN_SEED", "4294967295", true},
        {"TAVRIN_SEED", "4294967296", false},       {"TAVRIN_SCREENSHOT", "a.png@1000000001", false},
        {"TAVRIN_TRACE_MESSAGES", "Heal", true},    {"TAVRIN_TRACE_MESSAGES", "", false},
        {"TAVRIN_TRACE_MESSAGES", "A,,B", false},   {"TAVRIN_TRACE_MESSAGES", "A,", false},
        {"TAVRIN_TRACE_MESSAGES", "A B", false},    {"TAVRIN_TRACE_MESSAGES", "A\tB", false},
        {"TAVRIN_TRACE_POSITIONS", "A,,B", false},
    };
    for (const Case& c : cases) {
        const RunSwitches s = ParseFrom({{c.name, c.value}});
        EXPECT_EQ(s.errors.empty(), c.accepted) << c.name << "=" << c.value;
        if (!c.accepted) {
            ASSERT_EQ(s.errors.size(), 1u);
            EXPECT_EQ(s.errors[0], std::string(c.name) + ": malformed value '" + c.value + "', ignored");
        }
    }
}
