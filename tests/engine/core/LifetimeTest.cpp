#include "engine/core/Lifetime.h"
#include "engine/core/MetaRegistryInst.h"
#include "engine/core/SmallAllocator.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

using namespace Ostrel;

namespace {

struct Announcer {
    const char* name;
    ~Announcer() { std::fprintf(stderr, "destroyed %s\n", name); }
};

void RegisterInTheEngineOrderAndExit() {
    // The order in which the engine's singletons come into being.
    SetLongevity(new Announcer{"allocator"}, kLongevitySmallAllocator);
    SetLongevity(new Announcer{"registry"}, kLongevityMetaRegistry);
    SetLongevity(new Announcer{"binder"}, kLongevityMethodBinder);
    SetLongevity(new Announcer{"atoms"}, kLongevityAtomManager);
    std::exit(0);
}

}  // namespace

TEST(LifetimeDeathTest, SingletonsAreDestroyedBySmallestLongevityNewestFirst) {
    EXPECT_EXIT(RegisterInTheEngineOrderAndExit(), testing::ExitedWithCode(0),
                "destroyed atoms\ndestroyed binder\ndestroyed registry\ndestroyed allocator\n");
}

TEST(Lifetime, EngineSingletonsExistAndAreDistinct) {
    EXPECT_NE(DefaultSmallAllocator::Instance(), nullptr);
    EXPECT_EQ(DefaultSmallAllocator::Instance(), DefaultSmallAllocator::Get());
    EXPECT_EQ(DefaultSmallAllocator::Instance()->GetChunkSize(), 4096u);
    EXPECT_EQ(DefaultSmallAllocator::Instance()->GetMaxObjectSize(), 64u);
    EXPECT_EQ(&MetaRegistryInst::Instance(), MetaRegistryInst::InstanceIfAlive());
}
