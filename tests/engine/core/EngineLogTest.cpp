#include "EngineTestSupport.h"
#include "engine/base/Log.h"
#include "engine/base/Logger.h"
#include "engine/core/Engine.h"

#include <gtest/gtest.h>

#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

using namespace Ostrel;
using namespace Ostrel::Testing;


TEST(EngineLog, MessagesFromSeveralThreadsArriveWhole) {
    std::vector<std::string> lines;
    Logger logger;
    logger.AddProvider(std::make_unique<CollectingProvider>(&lines));
    ManualClock clock;
    RecordingSleeper sleeper;
    Engine engine(clock, sleeper);
    engine.SetLog(&logger);

    constexpr int kPerThread = 300;
    auto work = [](char tag) {
        std::string filler(200, tag);  // long enough to interleave in a shared buffer
        for (int i = 0; i < kPerThread; ++i) LogErrorf("%c%d:%s\n", tag, i, filler.c_str());
    };
    std::thread a(work, 'a'), b(work, 'b');
    work('m');
    a.join();
    b.join();

    ASSERT_EQ(lines.size(), 3u * kPerThread);
    std::set<std::string> distinct(lines.begin(), lines.end());
    EXPECT_EQ(distinct.size(), lines.size());
    for (const std::string& line : lines) {
        char tag = line[0];
        EXPECT_EQ(line.find_first_not_of(tag, line.find(':') + 1), line.size() - 1) << line;
    }
}

TEST(EngineLog, LongTextIsCutAndLoggingWorksBeforeAnEngineExists) {
    std::vector<std::string> lines;
    Logger logger;
    logger.AddProvider(std::make_unique<CollectingProvider>(&lines));
    Logger::SetCurrent(&logger);
    std::string huge(5000, 'x');
    LogErrorf("%s", huge.c_str());  // no engine: the current hub takes it
    {
        ManualClock clock;
        RecordingSleeper sleeper;
        Engine engine(clock, sleeper);
        LogErrorf("dropped\n");  // an engine without a log drops the text
        engine.SetLog(&logger);
        LogErrorf("kept %d\n", 42);
    }
    Logger::SetCurrent(nullptr);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), std::size_t(kEngineLogBufferSize - 1));
    EXPECT_EQ(lines[1], "kept 42\n");
}
