#include "engine/graphics/AtomManager.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace Ostrel {
namespace {

TEST(AtomManager, InterningGivesOneStableAddressPerTextFromAnyThread) {
    AtomManagerInst& atoms = AtomManagerInst::Instance();
    EXPECT_EQ(&atoms, &AtomManagerInst::Instance());
    const ParamHandle proj = atoms.Intern("ProjMat");
    std::string copy = "ProjMat";
    EXPECT_EQ(atoms.Intern(copy), proj) << "same text, same handle";
    EXPECT_EQ(*proj, "ProjMat");
    EXPECT_NE(atoms.Intern("CamMat"), proj);
    EXPECT_NE(atoms.Intern("projmat"), proj) << "case is kept";

    // Many new names later, the first handle still points at its text.
    std::vector<std::thread> threads;
    std::vector<ParamHandle> seen(4);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) atoms.Intern("lights[" + std::to_string(i) + "].pos");
            seen[t] = atoms.Intern("lights[7].pos");
        });
    }
    for (auto& thread : threads) thread.join();
    for (ParamHandle handle : seen) EXPECT_EQ(handle, seen[0]);
    EXPECT_EQ(InternName("ProjMat"), proj);
    EXPECT_EQ(*proj, "ProjMat");
}

}  // namespace
}  // namespace Ostrel
