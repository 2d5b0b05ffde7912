#include "engine/core/GenericManager.h"
#include "engine/core/Timer.h"

#include <gtest/gtest.h>

using namespace Ostrel;

TEST(Timer, DeltaIsTheDifferenceOfSinglePrecisionSecondsSinceStart) {
    ManualClock clock(1000000);
    clock.Set(5000000);  // the timer measures from its own creation
    Timer timer(clock);
    timer.Tick();
    EXPECT_EQ(timer.GetDelta(), 0.0f);
    clock.AdvanceSeconds(0.25);
    timer.Tick();
    EXPECT_EQ(timer.GetDelta(), 0.25f);
    EXPECT_EQ(timer.GetSeconds(), 0.25f);

    // Ten thousand seconds in, a 0.1 ms step is below the float spacing of
    // the time since start (about 1 ms): the delta reads 0, as designed.
    clock.AdvanceSeconds(10000.0 - 0.25);
    timer.Tick();
    clock.AdvanceSeconds(0.0001);
    timer.Tick();
    EXPECT_EQ(timer.GetDelta(), 0.0f);
    clock.AdvanceSeconds(0.0009);
    timer.Tick();
    EXPECT_EQ(timer.GetDelta(), 0.0009765625f);
}

namespace {

class SoundBank : public GenericManager<SoundBank> {};

int s_deleted = 0;
struct Asset {
    explicit Asset(std::vector<std::string>* order, std::string name)
        : m_order(order), m_name(std::move(name)) {}
    ~Asset() {
        ++s_deleted;
        m_order->push_back(m_name);
    }
    std::vector<std::string>* m_order;
    std::string m_name;
};

class AssetBank : public GenericAssetManager<AssetBank, Asset> {
public:
    void Put(const std::string& name, Asset* asset) { m_assets[name].reset(asset); }
};

}  // namespace

TEST(GenericManager, InstanceIsSetByConstructionAndClearedByDestruction) {
    EXPECT_EQ(SoundBank::Instance(), nullptr);
    {
        SoundBank first;
        EXPECT_EQ(SoundBank::Instance(), &first);
        {
            SoundBank second;  // replaces the first, without a check
            EXPECT_EQ(SoundBank::Instance(), &second);
        }
        EXPECT_EQ(SoundBank::Instance(), nullptr);
    }
    EXPECT_EQ(SoundBank::Instance(), nullptr);
}

TEST(GenericAssetManager, DeletesEachAssetOnceInNameOrderAndSkipsNulls) {
    std::vector<std::string> order;
    s_deleted = 0;
    {
        AssetBank bank;
        EXPECT_EQ(AssetBank::Instance(), &bank);
        bank.Put("zebra", new Asset(&order, "zebra"));
        bank.Put("empty", nullptr);
        EXPECT_TRUE(bank.Add("apple", new Asset(&order, "apple")));
        EXPECT_FALSE(bank.Add("apple", new Asset(&order, "apple-2")));  // first wins
        EXPECT_EQ(bank.Find("apple")->m_name, "apple");
        EXPECT_EQ(bank.Find("missing"), nullptr);
        EXPECT_EQ(bank.Find("empty"), nullptr);
        order.clear();
        s_deleted = 0;
    }
    EXPECT_EQ(s_deleted, 2);
    EXPECT_EQ(order, (std::vector<std::string>{"apple", "zebra"}));
    EXPECT_EQ(AssetBank::Instance(), nullptr);
}
