#include "engine/io/StateResourceTable.h"

#include "engine/base/RunSwitches.h"
#include "engine/core/Clock.h"
#include "engine/core/Engine.h"
#include "engine/core/System.h"

#include "engine/io/SerializerXML.h"

#include "XmlTestFiles.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

namespace Ostrel {
namespace {

TEST(StateResourceTable, SelectCurrentFollowsTheStateAndDropsUnknownOnes) {
    StateResourceTable table;
    EXPECT_EQ(StateResourceTable::Instance(), &table);
    EXPECT_EQ(table.Current(), nullptr);
    table.AddState("GamePlay", StateRecord{{"player-obj", ObjectTypeRecord{1, 3}}});
    EXPECT_FALSE(table.AddState("GamePlay", StateRecord{})) << "the first record of a state stays";
    table.AddState("LevelEditor", StateRecord{});

    table.SelectCurrent("GamePlay");
    ASSERT_NE(table.Current(), nullptr);
    EXPECT_EQ(table.Current()->at("player-obj").objectFlags, 3u);
    table.SelectCurrent("LevelEditor");
    EXPECT_EQ(table.Current(), table.Find("LevelEditor"));
    XmlTest::LogCapture log;
    table.SelectCurrent("Nowhere");
    EXPECT_EQ(log.Text(), "States: unknown state 'Nowhere', no state record is current\n");
    EXPECT_EQ(table.Current(), nullptr);
    EXPECT_EQ(table.CurrentName(), "");
}

TEST(StateResourceTable, InstanceEndsWithTheTable) {
    {
        StateResourceTable table;
    }
    EXPECT_EQ(StateResourceTable::Instance(), nullptr);
}

TEST(ObjectTypeRecord, WrittenRecordsReadBackTheSame) {
    StateRecord records{{"b-obj", {2, 7}}, {"a-obj", {-1, 0xFFFFFFFFu}}};
    SerializerXML writer(false);
    ObjectTypeRecord::Serialize(writer, records);

    SerializerXML reader(true);
    TiXmlPrinter printer;
    writer.Document().Accept(&printer);
    reader.Document().Parse(("<s>" + std::string(printer.CStr()) + "</s>").c_str());
    reader.BeginBlockList(reader.Document().FirstChildElement()->FirstChildElement());
    StateRecord copy;
    ObjectTypeRecord::Serialize(reader, copy);
    ASSERT_EQ(copy.size(), 2u);
    EXPECT_EQ(copy["a-obj"].activity, -1);
    EXPECT_EQ(copy["a-obj"].objectFlags, 0xFFFFFFFFu);
    EXPECT_EQ(copy["b-obj"].objectFlags, 7u);
}

}  // namespace
}  // namespace Ostrel

namespace Ostrel {
namespace {

TEST(StateResourceTable, SampleStatesSelectGamePlay) {
    StateResourceTable table;
    SerializerXML reader(true);
    ASSERT_TRUE(reader.LoadStates(std::string(LV_SOURCE_DIR) + "/rsc/states.xstt"));
    table.SelectCurrent("GamePlay");
    ASSERT_NE(table.Current(), nullptr);
    EXPECT_EQ(table.Current()->at("spawner-Luvo").activity, 1);
    EXPECT_EQ(table.Current()->at("spawner-Luvo").objectFlags, 3u);
    table.SelectCurrent("LevelEditor");
    ASSERT_NE(table.Current(), nullptr);
    EXPECT_TRUE(table.Current()->empty());
}

}  // namespace
}  // namespace Ostrel

namespace Ostrel {
namespace {

// Ends the run after its first update, noting which state record was current
// while the systems ran.
class FirstFrameProbe : public System {
public:
    explicit FirstFrameProbe(StateResourceTable& table) : m_table(table) {}
    void Update(f32) override {
        m_seen = m_table.CurrentName();
        GetEngine()->Quit();
    }
    std::string GetName() const override { return "FirstFrameProbe"; }
    u32 GetId() const override { return 900; }
    std::string m_seen;

private:
    StateResourceTable& m_table;
};

class NoSleep : public ISleeper {
public:
    void SleepMs(u32) override {}
};

TEST(StateResourceTable, SampleStatesMakeGamePlayCurrentInTheFirstFrame) {
    StateResourceTable table;
    SerializerXML reader(true);
    ASSERT_TRUE(reader.LoadStates(std::string(LV_SOURCE_DIR) + "/rsc/states.xstt", table));
    ASSERT_NE(table.Find("GamePlay"), nullptr);
    ASSERT_NE(table.Find("LevelEditor"), nullptr);

    ManualClock clock;
    NoSleep sleeper;
    Engine engine(clock, sleeper);
    engine.SetRunSwitches(RunSwitches{});
    engine.SetStateSelector([&table](const std::string& state) { table.SelectCurrent(state); });
    FirstFrameProbe probe(table);
    engine.AddSystem(&probe);
    engine.PushState("GamePlay");
    EXPECT_EQ(table.Current(), nullptr) << "the push is carried out at the start of the next frame";
    engine.Run();
    EXPECT_EQ(probe.m_seen, "GamePlay");
    EXPECT_EQ(table.Current(), table.Find("GamePlay"));
}

}  // namespace
}  // namespace Ostrel
