#include "engine/graphics/animation/SkeletonManager.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace Ostrel {
namespace {

// Bones 1 and 2 hang from bone 0, bone 3 from bone 2.
Skeleton MakeFork() {
    Skeleton skeleton;
    skeleton.bones.resize(4);
    const u32 parents[4] = {kNoParentBone, 0, 0, 2};
    for (u32 i = 0; i < 4; ++i) {
        skeleton.bones[i].name = "b" + std::to_string(i);
        skeleton.bones[i].parent = parents[i];
        skeleton.bones[i].bindTranslation = {0, float(i), 0};
    }
    LinkBones(skeleton);
    return skeleton;
}

// Every link points into the skeleton's own bone list, each bone is linked
// exactly once, and children and roots are in bone order.
void ExpectLinksOf(const Skeleton& skeleton, const std::vector<std::vector<u32>>& children,
                   const std::vector<u32>& roots) {
    auto indices = [&](const std::vector<Bone*>& links) {
        std::vector<u32> out;
        for (const Bone* bone : links) {
            EXPECT_TRUE(bone >= skeleton.bones.data() && bone < skeleton.bones.data() + skeleton.bones.size());
            out.push_back(u32(bone - skeleton.bones.data()));
        }
        return out;
    };
    EXPECT_EQ(roots, indices(skeleton.roots));
    for (std::size_t i = 0; i < skeleton.bones.size(); ++i) EXPECT_EQ(children[i], indices(skeleton.bones[i].children));
}

TEST(SkeletonManager, LinksChildrenInBoneOrderAndCopiesRebuildTheirOwnLinks) {
    const Skeleton source = MakeFork();
    ExpectLinksOf(source, {{1, 2}, {}, {3}, {}}, {0});
    EXPECT_EQ(QuaternionTranslationToMatrix(Quaternion(), {0, 3, 0}), source.bones[3].bindMatrix);

    SkeletonManager manager;
    Skeleton* added = manager.AddSkeleton("fork", source);
    EXPECT_EQ(added, manager.Find("fork"));
    ExpectLinksOf(*added, {{1, 2}, {}, {3}, {}}, {0});
    EXPECT_EQ(source.bones[3].bindMatrix, added->bones[3].bindMatrix);
    EXPECT_EQ(nullptr, manager.Find("Fork"));
}

TEST(SkeletonManager, ReplacingTwiceLeavesEachLinkOnceAndKeepsThePointer) {
    SkeletonManager manager;
    Skeleton* filed = manager.AddSkeleton("fork", MakeFork());
    EXPECT_EQ(filed, manager.ReplaceSkeleton("fork", MakeFork()));
    EXPECT_EQ(filed, manager.ReplaceSkeleton("fork", MakeFork()));
    ExpectLinksOf(*filed, {{1, 2}, {}, {3}, {}}, {0});

    // A smaller skeleton leaves nothing of the old links behind.
    Skeleton pair;
    pair.bones.resize(2);
    pair.bones[1].parent = 0;
    LinkBones(pair);
    manager.ReplaceSkeleton("fork", pair);
    ExpectLinksOf(*filed, {{1}, {}}, {0});
    // Replacing a missing name creates it.
    EXPECT_NE(nullptr, manager.ReplaceSkeleton("new", pair));
}

TEST(SkeletonManager, ADisplacedSkeletonStaysValidUntilTheManagerGoes) {
    SkeletonManager manager;
    Skeleton* first = manager.AddSkeleton("s", MakeFork());
    Skeleton* second = manager.Create("s");
    EXPECT_NE(first, second);
    EXPECT_EQ(second, manager.Find("s"));
    EXPECT_EQ(4u, first->bones.size());  // still readable (ASan would object otherwise)
    EXPECT_TRUE(second->bones.empty());
}

}  // namespace
}  // namespace Ostrel
