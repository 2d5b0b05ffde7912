#include "engine/graphics/animation/AnimationManager.h"

#include "tests/engine/graphics/models/ModelTestSupport.h"

#include <gtest/gtest.h>

namespace Ostrel {
namespace {

using ModelTest::LogCapture;

ModelAnimationData Clip(float duration, float firstKeyTime) {
    ModelAnimationData clip;
    clip.duration = duration;
    clip.tracks = {{{firstKeyTime, {1, 2, 3}, {0, 0, 0, 1}}}};
    return clip;
}

std::string WriteSet(const std::string& name, const std::string& text) {
    return ModelTest::WriteScratchFile(name, std::vector<u8>(text.begin(), text.end()));
}

TEST(AnimationManager, SetTextTakesTheLastEntriesAndIgnoresOtherTokens) {
    const std::pair<const char*, AnimationSetText> cases[] = {
        {"anim: walk\nscale: 1.5\n", {"walk", 1.5f}},
        {"scale: -1", {"", -1.0f}},
        {"anim: a anim: b", {"b", 1.0f}},
        {"# note\nanim:\twalk\r\nspeed 9 scale: 2 scale: 0.25", {"walk", 0.25f}},
        {"anim: walk scale: fast", {"walk", 1.0f}},
        {"anim:", {"", 1.0f}},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        const AnimationSetText set = ParseAnimationSet(text, "set.anim");
        EXPECT_EQ(expected.animName, set.animName);
        EXPECT_EQ(expected.scale, set.scale);
    }
}

TEST(AnimationManager, ASetIsACopyOfItsClipWithItsOwnScale) {
    AnimationManager manager;
    manager.AddAnimation("a", Clip(1.0f, 0.0f));
    manager.AddAnimation("b", Clip(2.0f, 0.5f));
    Animation* set = manager.LoadAnimationSet(WriteSet("b-back.anim", "anim: a\nanim: b\nscale: -1\n"));
    ASSERT_NE(nullptr, set);
    EXPECT_EQ(set, manager.Find("b-back"));
    EXPECT_EQ(2.0f, set->duration);
    EXPECT_EQ(-1.0f, set->scale);
    ASSERT_EQ(1u, set->tracks.size());
    EXPECT_EQ(0.5f, set->tracks[0][0].time);
    EXPECT_EQ(1.0f, manager.Find("b")->scale);  // the source is untouched

    Animation* plain = manager.LoadAnimationSet(WriteSet("plain.anim", "anim: a"));
    ASSERT_NE(nullptr, plain);
    EXPECT_EQ(1.0f, plain->scale);
}

TEST(AnimationManager, ASetWithoutItsClipOrItsFileMakesNoEntryAndSaysWhy) {
    AnimationManager manager;
    LogCapture log;
    const std::string missingClip = WriteSet("ghost.anim", "anim: nowhere scale: 2");
    EXPECT_EQ(nullptr, manager.LoadAnimationSet(missingClip));
    EXPECT_EQ(nullptr, manager.LoadAnimationSet(WriteSet("empty.anim", "scale: 2")));
    EXPECT_EQ(nullptr, manager.LoadAnimationSet("/no/such/dir/lost.anim"));
    EXPECT_EQ(nullptr, manager.Find("ghost"));
    EXPECT_EQ(nullptr, manager.Find("empty"));
    EXPECT_NE(std::string::npos, log.Text().find(missingClip + ": clip 'nowhere' is not loaded, skipped"));
    EXPECT_NE(std::string::npos, log.Text().find("empty.anim: no 'anim:' entry, skipped"));
    EXPECT_NE(std::string::npos, log.Text().find("/no/such/dir/lost.anim: cannot be read, skipped"));
}

TEST(AnimationManager, ReplacingKeepsTheScaleAndTakesTheNewKeys) {
    AnimationManager manager;
    Animation* entry = manager.AddAnimation("walk", Clip(1.0f, 0.0f));
    entry->scale = 3.0f;
    EXPECT_EQ(entry, manager.ReplaceAnimation("walk", Clip(4.0f, 0.25f)));
    EXPECT_EQ(3.0f, entry->scale);
    EXPECT_EQ(4.0f, entry->duration);
    EXPECT_EQ(0.25f, entry->tracks[0][0].time);
    Animation* created = manager.ReplaceAnimation("run", Clip(1.0f, 0.0f));
    ASSERT_NE(nullptr, created);
    EXPECT_EQ(1.0f, created->scale);
}

}  // namespace
}  // namespace Ostrel
