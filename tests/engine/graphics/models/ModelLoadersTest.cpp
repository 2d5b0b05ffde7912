#include "engine/graphics/models/ModelLoaders.h"

#include "tests/engine/graphics/models/ModelTestSupport.h"
#include "engine/graphics/animation/AnimationManager.h"
#include "engine/graphics/models/Mesh.h"
#include "engine/graphics/models/MeshManager.h"
#include "engine/graphics/animation/SkeletonManager.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "tools/model-writer/SampleModels.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace Ostrel {
namespace {

using ModelTest::LogCapture;
using ModelTest::WriteScratchFile;

struct Managers {
    MeshManager meshes;
    SkeletonManager skeletons;
    AnimationManager animations;
};

std::string WriteModel(const std::string& name, const WriterModel& model) {
    return WriteScratchFile(name, EncodeModel(model));
}

TEST(ModelLoaders, EveryPartIsStoredUnderTheFileBaseNameWithItsCase) {
    Managers m;
    LoadGeometryResource(WriteModel("Hinge.bin", MakeHinge()));
    Mesh* mesh = m.meshes.Find("Hinge");
    ASSERT_NE(nullptr, mesh);
    EXPECT_TRUE(mesh->IsSkinned());
    EXPECT_EQ(60u, mesh->GetIndexCount());
    ASSERT_NE(nullptr, m.skeletons.Find("Hinge"));
    EXPECT_EQ(2u, m.skeletons.Find("Hinge")->bones.size());
    ASSERT_NE(nullptr, m.animations.Find("Hinge"));
    EXPECT_EQ(1.0f, m.animations.Find("Hinge")->scale);
    EXPECT_EQ(nullptr, m.meshes.Find("hinge"));

    WriterModel skeletonOnly;
    skeletonOnly.skeleton = MakeHinge().skeleton;
    LoadGeometryResource(WriteModel("bones.bin", skeletonOnly));
    EXPECT_NE(nullptr, m.skeletons.Find("bones"));
    EXPECT_EQ(nullptr, m.meshes.Find("bones"));
    EXPECT_EQ(nullptr, m.animations.Find("bones"));
}

TEST(ModelLoaders, ReloadReplacesOnlyThePartsInTheMaskThatTheFileHas) {
    Managers m;
    const std::string path = WriteModel("swap.bin", MakeHinge());
    LoadGeometryResource(path);
    Mesh* mesh = m.meshes.Find("swap");
    Skeleton* skeleton = m.skeletons.Find("swap");
    Animation* clip = m.animations.Find("swap");
    clip->scale = 2.0f;

    // The same name now holds a static crate, a one-bone skeleton and the wave.
    WriterModel other = MakeCrate();
    other.skeleton = std::vector<WriterBone>{{"only", kNoParentBone, {}}};
    other.clip = MakeSwingClip(1, 2.0f, 0.0f, {}, {});
    WriteModel("swap.bin", other);

    EXPECT_EQ(kModelPartMesh, ReloadGeometryResource(path, kModelPartMesh));
    EXPECT_EQ(mesh, m.meshes.Find("swap"));
    EXPECT_FALSE(mesh->IsSkinned());
    EXPECT_EQ(36u, mesh->GetIndexCount());
    EXPECT_EQ(2u, skeleton->bones.size());
    EXPECT_EQ(1.0f, clip->duration);

    EXPECT_EQ(kModelPartAnimation, ReloadGeometryResource(path, kModelPartAnimation));
    EXPECT_EQ(2.0f, clip->duration);
    EXPECT_EQ(2.0f, clip->scale);
    EXPECT_EQ(2u, skeleton->bones.size());

    EXPECT_EQ(kModelPartMesh | kModelPartAnimation | kModelPartSkeleton, ReloadGeometryResource(path, 0xFFFF));
    EXPECT_EQ(skeleton, m.skeletons.Find("swap"));
    EXPECT_EQ(1u, skeleton->bones.size());

    // The viewer's animation-only reload of a clip-only file.
    EXPECT_EQ(kModelPartAnimation, ReloadGeometryResource(WriteModel("swap.bin", MakeHingeWave()), 0xFFFF));

    LogCapture log;
    EXPECT_EQ(0u, ReloadGeometryResource("/no/such/model.bin", 0xFFFF));
    EXPECT_NE(std::string::npos, log.Text().find("model file /no/such/model.bin: cannot be opened"));
}

// The background loader files meshes, skeletons and clips while the main
// thread looks them up. Whatever the lookup finds is complete.
TEST(ModelLoaders, LoaderThreadInsertsWhileTheMainThreadLooksUp) {
    Managers m;
    constexpr int kFiles = 12;
    std::vector<std::string> paths;
    for (int i = 0; i < kFiles; ++i) paths.push_back(WriteModel("t" + std::to_string(i) + ".bin", MakeHinge()));
    std::atomic<bool> done{false};
    std::thread loader([&] {
        for (int round = 0; round < 4; ++round)
            for (const std::string& path : paths) LoadGeometryResource(path);
        done = true;
    });
    int found = 0;
    while (!done) {
        for (int i = 0; i < kFiles; ++i) {
            const std::string name = "t" + std::to_string(i);
            if (const Skeleton* s = m.skeletons.Find(name)) {
                ASSERT_EQ(2u, s->bones.size());
                ASSERT_EQ(&s->bones[0], s->roots.at(0));
                ++found;
            }
            if (const Animation* a = m.animations.Find(name)) {
                ASSERT_EQ(2u, a->tracks.size());
                ++found;
            }
            if (m.meshes.Find(name)) ++found;
        }
    }
    loader.join();
    for (int i = 0; i < kFiles; ++i) EXPECT_NE(nullptr, m.meshes.Find("t" + std::to_string(i)));
    EXPECT_GE(found, 0);
}

// The checked-in samples are what the writer makes today, and they load
// through the resource manager as the game loads them, without a complaint.
TEST(ModelLoaders, SampleModelsAreCurrentAndLoadThroughTheResourceManager) {
    const std::string folder = std::string(LV_SOURCE_DIR) + "/rsc/models/";
    EXPECT_EQ(EncodeModel(MakeCrate()), ModelTest::ReadWholeFile(folder + "crate.bin"));
    EXPECT_EQ(EncodeModel(MakeHinge()), ModelTest::ReadWholeFile(folder + "hinge.bin"));
    EXPECT_EQ(EncodeModel(MakeHingeWave()), ModelTest::ReadWholeFile(folder + "hinge-wave.bin"));
    EXPECT_EQ(EncodeModel(MakeYak()), ModelTest::ReadWholeFile(folder + "yak-mesh.bin"));
    EXPECT_EQ(EncodeModel(MakeYakHeadshake()), ModelTest::ReadWholeFile(folder + "yak-headshake-anim.bin"));
    EXPECT_EQ(EncodeModel(MakeYakCharge()), ModelTest::ReadWholeFile(folder + "yak-charge-anim.bin"));
    EXPECT_EQ(EncodeModel(MakeFoxTail()), ModelTest::ReadWholeFile(folder + "boxfox-tail-mesh.bin"));
    EXPECT_EQ(EncodeModel(MakeFoxDigUp()), ModelTest::ReadWholeFile(folder + "boxfox-dig-up-anim.bin"));
    EXPECT_EQ(EncodeModel(MakeFoxLook()), ModelTest::ReadWholeFile(folder + "boxfox-look-anim.bin"));
    EXPECT_EQ(EncodeModel(MakeFoxDigDown()), ModelTest::ReadWholeFile(folder + "boxfox-dig-down-anim.bin"));
    EXPECT_EQ(EncodeModel(MakeLuvo()), ModelTest::ReadWholeFile(folder + "luvo.bin"));
    EXPECT_EQ(EncodeModel(MakeLuvoWalk()), ModelTest::ReadWholeFile(folder + "luvo-walk-anim.bin"));
    EXPECT_EQ(EncodeModel(MakeLuvoDodge()), ModelTest::ReadWholeFile(folder + "brisa-dodge-anim.bin"));
    EXPECT_EQ(EncodeModel(MakeLuvoOuch()), ModelTest::ReadWholeFile(folder + "brisa-ouch-anim.bin"));
    EXPECT_EQ(EncodeModel(MakeFoxTailAttack()), ModelTest::ReadWholeFile(folder + "foxtail-attack-anim.bin"));
    EXPECT_EQ(EncodeModel(MakeFoxTailFlourish()), ModelTest::ReadWholeFile(folder + "foxtail-flourish-anim.bin"));
    EXPECT_EQ(EncodeModel(MakeFoxTailDown()), ModelTest::ReadWholeFile(folder + "foxtail-down-anim.bin"));
    const std::vector<u8> set = ModelTest::ReadWholeFile(folder + "hinge-fast.anim");
    EXPECT_EQ(HingeFastAnimationSet(), std::string(set.begin(), set.end()));

    Managers m;
    LogCapture log;
    ResourceManager resources;
    RegisterResourceKinds(resources, std::string(LV_SOURCE_DIR) + "/rsc");
    RegisterModelLoaders(resources);
    resources.LoadAllOfKind(kKindGeometry);
    resources.LoadAllOfKind(kKindAnimWrapper);
    EXPECT_EQ("", log.Text());
    ASSERT_NE(nullptr, m.meshes.Find("crate"));
    EXPECT_EQ(24u, m.meshes.Find("crate")->GetVertexCount());
    EXPECT_NE(nullptr, m.skeletons.Find("hinge"));
    EXPECT_NE(nullptr, m.skeletons.Find("yak-mesh"));
    EXPECT_NE(nullptr, m.animations.Find("yak-headshake-anim"));
    EXPECT_NE(nullptr, m.animations.Find("yak-charge-anim"));
    EXPECT_NE(nullptr, m.skeletons.Find("luvo"));
    for (const char* clip : {"luvo", "luvo-walk-anim", "brisa-dodge-anim"}) EXPECT_NE(nullptr, m.animations.Find(clip));
    EXPECT_EQ(nullptr, m.meshes.Find("hinge-wave"));
    const Animation* fast = m.animations.Find("hinge-fast");
    ASSERT_NE(nullptr, fast);
    EXPECT_EQ(2.0f, fast->scale);
    EXPECT_EQ(1.0f, fast->duration);
    ASSERT_NE(nullptr, m.animations.Find("hinge-wave"));
    EXPECT_EQ(2.0f, m.animations.Find("hinge-wave")->duration);
    // The fox's clips: the sample fox wants 1.0 s of digging and 5.625 s of
    // looking, so they play at the exact rates 0.5, 0.5 and 0.75.
    for (const char* name : {"boxfox-tail-mesh", "boxfox-dig-up-anim", "boxfox-look-anim"}) {
        EXPECT_NE(nullptr, m.meshes.Find(name)) << name;
        EXPECT_NE(nullptr, m.skeletons.Find(name)) << name;
    }
    ASSERT_NE(nullptr, m.animations.Find("boxfox-dig-down-anim"));
    EXPECT_EQ(0.5f, m.animations.Find("boxfox-dig-up-anim")->duration / 1.0f);
    EXPECT_EQ(0.5f, m.animations.Find("boxfox-look-anim")->duration / 5.625f);
    EXPECT_EQ(0.75f, m.animations.Find("boxfox-dig-down-anim")->duration / 1.0f);
    // The fox boss's tail clips play at exactly 0.5 of its default lengths.
    const std::pair<const char*, float> tails[] = {
        {"foxtail-attack-anim", 1.0f}, {"foxtail-flourish-anim", 3.125f}, {"foxtail-down-anim", 2.16f}};
    for (const auto& [name, wanted] : tails) {
        ASSERT_NE(nullptr, m.animations.Find(name)) << name;
        EXPECT_NE(nullptr, m.skeletons.Find(name)) << name;
        EXPECT_EQ(0.5f, m.animations.Find(name)->duration / wanted) << name;
    }
}

}  // namespace
}  // namespace Ostrel
