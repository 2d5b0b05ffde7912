#include "engine/core/MetaClass.h"
#include "engine/core/MetaRegistryInst.h"
#include "engine/platform/audio/AudioClip.h"
#include "engine/platform/audio/AudioMixer.h"
#include "engine/sound/SoundChannel.h"
#include "engine/sound/SoundDeviceManager.h"
#include "engine/sound/SoundManager.h"
#include "engine/sound/SoundSystem.h"

#include "tests/engine/io/XmlTestFiles.h"
#include "tests/engine/platform/SoundImages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

using namespace Ostrel;
using Ostrel::Testing::ImageFormat;
using Ostrel::Testing::MakeSoundImage;

namespace {

struct Record {
    bool stream = true;
    bool loop = false;
    f32 volume = 1.0f;
    s32 instances = 0;
};

// The managers as a main builds them (devices, then sounds), without an
// output device: the test pulls the mixer itself, so every sample is known.
class SoundSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_system.LoadConfig(nullptr);
        m_system.Initialize();
    }
    void TearDown() override { m_system.Shutdown(); }

    void Define(const std::string& name, Record record) {
        m_devices.GetDefinitions().Update(name, [&](SoundDefinition& definition) {
            definition.SetStream(record.stream);
            definition.SetLoop(record.loop);
            definition.SetVolume(record.volume);
            definition.SetInstances(record.instances);
        });
    }
    bool Load(const std::string& name, const std::vector<float>& samples) {
        return m_devices.LoadSoundImage(
            name, MakeSoundImage(samples, 1, m_devices.GetAudio().Mixer().OutputRate(), ImageFormat::WavFloat),
            name + ".wav");
    }
    // Left channel of the next frames (the sounds are mono).
    std::vector<float> Mix(int frames) {
        std::vector<float> out(2 * frames);
        m_devices.GetAudio().Mixer().Mix(out.data(), frames);
        std::vector<float> left(frames);
        for (int i = 0; i < frames; ++i) left[i] = out[2 * i];
        return left;
    }
    void Play(std::string name) { m_system.OnPlaySound(&name); }
    void PlayBackground(std::string name) { m_system.OnPlayBackgroundSound(&name); }

    SoundDeviceManager m_devices{AudioSystem::OutputKind::None};
    SoundManager m_sounds;
    SoundSystem m_system;
};

}  // namespace

TEST_F(SoundSystemTest, InstanceLimitCountsChannelsPlayingAtTheLastUpdate) {
    Define("thud", {.stream = false, .instances = 2});
    ASSERT_TRUE(Load("thud", {0.25f, 0.25f}));
    Play("thud");
    Play("thud");
    Play("thud");  // dropped: two are counted
    EXPECT_EQ(m_system.CountedChannels("thud"), 2u);
    EXPECT_EQ(Mix(1), std::vector<float>({0.5f}));
    Mix(2);  // both ended
    Play("thud");  // still dropped: no update has run since
    EXPECT_EQ(Mix(1), std::vector<float>({0.0f}));
    m_system.Update(0.016f);
    EXPECT_EQ(m_system.CountedChannels("thud"), 0u) << "an emptied list is erased";
    Play("thud");
    EXPECT_EQ(Mix(1), std::vector<float>({0.25f}));

    ASSERT_TRUE(Load("free", {0.125f}));  // no record: no limit, never counted
    for (int i = 0; i < 5; ++i) Play("free");
    EXPECT_EQ(m_system.CountedChannels("free"), 0u);
    EXPECT_EQ(Mix(1), std::vector<float>({0.625f + 0.25f}));
}

TEST_F(SoundSystemTest, BackgroundTrackIsNotRestartedWhilePlayingButAfterItEnded) {
    ASSERT_TRUE(Load("theme", {0.1f, 0.2f, 0.3f}));
    ASSERT_TRUE(Load("other", {0.5f}));
    PlayBackground("theme");
    EXPECT_EQ(Mix(1), std::vector<float>({0.1f}));
    PlayBackground("theme");
    EXPECT_EQ(Mix(1), std::vector<float>({0.2f})) << "kept its place";
    EXPECT_EQ(m_system.LiveChannelCount(), 0u) << "the background record is not a live channel";
    Mix(1);
    EXPECT_FALSE(m_system.GetBackground()->IsPlaying());
    PlayBackground("theme");
    EXPECT_EQ(Mix(1), std::vector<float>({0.1f})) << "ended, so it starts again";
    PlayBackground("other");
    EXPECT_EQ(Mix(2), std::vector<float>({0.5f, 0.0f})) << "the old track stopped first";
    EXPECT_EQ(m_system.GetBackgroundName(), "other");
    PlayBackground("missing");
    EXPECT_EQ(m_system.GetBackground(), nullptr);
    EXPECT_EQ(m_system.GetBackgroundName(), "");
}

TEST_F(SoundSystemTest, FamiliesStopPauseMuteAndVolumeOnlyTheirOwnGroup) {
    Define("loop", {.stream = false, .loop = true});
    Define("music", {.stream = false, .loop = true});
    // Quiet enough that the sum stays under the mixer's limiter.
    ASSERT_TRUE(Load("loop", {0.125f}));
    ASSERT_TRUE(Load("music", {0.25f}));
    PlayBackground("music");
    Play("loop");
    std::string ui = "loop";
    m_system.OnPlayUiSound(&ui);
    EXPECT_EQ(Mix(1), std::vector<float>({0.5f}));

    m_system.OnPauseSounds(SoundFamilies::Music, true);
    EXPECT_EQ(Mix(1), std::vector<float>({0.25f}));
    EXPECT_TRUE(m_system.GetBackground()->IsPlaying()) << "paused counts as playing";
    m_system.OnPauseSounds(SoundFamilies::Music, false);

    m_system.OnSetSoundVolumes(SoundFamilies::Effects, 0.5f);
    m_system.OnMuteSounds(SoundFamilies::UserInterface, true);
    EXPECT_EQ(Mix(1), std::vector<float>({0.3125f}));
    bool muted = false;
    m_system.OnQueryMuteSounds(SoundFamilies::UserInterface, &muted);
    EXPECT_TRUE(muted);
    m_system.OnQueryMuteSounds(SoundFamily(7), &muted);  // unknown family: untouched
    EXPECT_TRUE(muted);
    m_system.OnMuteSounds(SoundFamily(-1), true);
    m_system.OnSetSoundVolumes(SoundFamily(3), 0.0f);

    m_system.OnStopSounds(SoundFamilies::Music);
    EXPECT_EQ(m_system.GetBackground(), nullptr);
    EXPECT_EQ(Mix(1), std::vector<float>({0.0625f}));
    m_system.OnStopSounds(SoundFamilies::Effects);
    EXPECT_EQ(Mix(1), std::vector<float>({0.0f}));
    m_system.OnMuteSounds(SoundFamilies::UserInterface, false);
    EXPECT_EQ(Mix(1), std::vector<float>({0.125f})) << "the interface sound was only muted";
}

TEST_F(SoundSystemTest, PlaysIntoAMutedGroupStaySilentFromTheFirstFrame) {
    ASSERT_TRUE(Load("click", {0.5f, 0.5f}));
    m_system.OnMuteSounds(SoundFamilies::Effects, true);
    Play("click");
    EXPECT_EQ(Mix(2), std::vector<float>({0.0f, 0.0f}));
}

TEST_F(SoundSystemTest, ReleaseChannelIgnoresNullsAndNeverStopsALaterPlayOnTheSameVoice) {
    ASSERT_TRUE(Load("short", {0.25f}));
    Define("long", {.loop = true});
    ASSERT_TRUE(Load("long", {0.5f}));
    m_system.OnReleaseChannel(nullptr);
    SoundChannel* none = nullptr;
    m_system.OnReleaseChannel(&none);
    EXPECT_EQ(none, nullptr);

    std::string name = "short";
    SoundChannel* held = nullptr;
    m_system.OnPlaySoundControl(&name, &held);
    ASSERT_NE(held, nullptr);
    EXPECT_TRUE(held->IsPlaying());
    Mix(1);
    m_system.Update(0.016f);
    EXPECT_FALSE(held->IsPlaying()) << "a held record outlives its play";
    Play("long");  // takes the voice the held record used
    SoundChannel* copy = held;
    m_system.OnReleaseChannel(&held);
    EXPECT_EQ(held, nullptr);
    m_system.OnReleaseChannel(&copy);  // released twice: only cleared
    EXPECT_EQ(Mix(1), std::vector<float>({0.5f}));

    std::string missing = "missing";
    SoundChannel* untouched = reinterpret_cast<SoundChannel*>(0x10);
    m_system.OnPlaySoundControl(&missing, &untouched);
    EXPECT_EQ(untouched, reinterpret_cast<SoundChannel*>(0x10));
}

TEST_F(SoundSystemTest, RecordsOfEndedPlaysNobodyHoldsAreReclaimed) {
    ASSERT_TRUE(Load("blip", {0.25f}));
    for (int i = 0; i < 10; ++i) Play("blip");
    std::string name = "blip";
    SoundChannel* held = nullptr;
    m_system.OnPlaySoundControl(&name, &held);
    EXPECT_EQ(m_system.LiveChannelCount(), 11u);
    m_system.Update(0.016f);
    EXPECT_EQ(m_system.LiveChannelCount(), 11u) << "still playing";
    Mix(1);
    m_system.Update(0.016f);
    EXPECT_EQ(m_system.LiveChannelCount(), 1u);
    EXPECT_FALSE(held->IsPlaying());
    m_system.OnReleaseChannel(&held);
    EXPECT_EQ(m_system.LiveChannelCount(), 0u);
}

TEST_F(SoundSystemTest, RecordsReadBeforeTheSoundApplyAndRereadingChangesVolumeAndLimitInPlace) {
    Define("x", {.stream = false, .loop = true, .volume = 0.5f, .instances = 1});
    ASSERT_TRUE(Load("x", {0.5f}));
    ASSERT_TRUE(Load("late", {0.25f}));
    Define("late", {.stream = false, .loop = true, .volume = 0.25f, .instances = 1});

    const SoundAsset* x = m_sounds.Find("x");
    ASSERT_NE(x, nullptr);
    EXPECT_FALSE(x->GetClip()->IsStream());
    EXPECT_TRUE(x->GetClip()->IsLooping());
    Play("x");
    Play("x");  // limit 1
    EXPECT_EQ(Mix(2), std::vector<float>({0.25f, 0.25f})) << "looping, once, at 0.5";

    Play("late");
    Play("late");  // no record at load: defaults, no limit, one-shot
    EXPECT_EQ(m_sounds.Find("late")->GetVolume(), 1.0f);
    EXPECT_EQ(Mix(2), std::vector<float>({0.75f, 0.25f})) << "both plays of the one-shot, at full volume";

    Define("x", {.stream = false, .loop = true, .volume = 1.0f, .instances = 2});
    Play("x");
    EXPECT_EQ(Mix(1), std::vector<float>({0.75f})) << "the new volume and limit apply";
}

TEST_F(SoundSystemTest, ASoundReplacedWhilePlayingPlaysOnAndBrokenFilesAreSkipped) {
    Define("music", {.stream = true, .loop = true});
    ASSERT_TRUE(Load("music", {0.25f, 0.5f}));
    PlayBackground("music");
    EXPECT_EQ(Mix(1), std::vector<float>({0.25f}));
    ASSERT_TRUE(Load("music", {0.125f}));
    EXPECT_EQ(m_sounds.RetiredCount(), 1u);
    EXPECT_EQ(Mix(3), std::vector<float>({0.5f, 0.25f, 0.5f}));
    PlayBackground("music");
    EXPECT_EQ(Mix(1), std::vector<float>({0.25f})) << "still the same track, not restarted";
    m_system.OnStopSounds(SoundFamilies::Music);
    PlayBackground("music");
    EXPECT_EQ(Mix(1), std::vector<float>({0.125f})) << "later plays use the new sound";

    EXPECT_FALSE(m_devices.LoadSoundImage("junk", {'R', 'I', 'F', 'F', 0, 0}, "junk.wav"));
    EXPECT_EQ(m_sounds.Find("junk"), nullptr);
    EXPECT_FALSE(m_devices.LoadSoundImage("empty", {}, "empty.wav"));
    Play("junk");
}

TEST_F(SoundSystemTest, AnMp3ThatDecodesShortIsLoggedByNameAndKept) {
    std::vector<float> tone;
    for (int i = 0; i < 22050; ++i) tone.push_back(0.5f * std::sin(i * 0.05f));
    std::vector<u8> mp3 = MakeSoundImage(tone, 1, 22050, ImageFormat::Mp3);
    ASSERT_FALSE(mp3.empty());
    XmlTest::LogCapture log;
    ASSERT_TRUE(m_devices.LoadSoundImage("whole-bgm", mp3, "sounds/whole-bgm.mp3"));
    EXPECT_EQ(log.Text(), "");
    mp3.resize(mp3.size() / 2);
    ASSERT_TRUE(m_devices.LoadSoundImage("cut-bgm", mp3, "sounds/cut-bgm.mp3"));
    EXPECT_NE(log.Text().find("Sound 'sounds/cut-bgm.mp3': decodes to "), std::string::npos) << log.Text();
    EXPECT_NE(log.Text().find("frames its header announces; what is there is played"), std::string::npos);
    EXPECT_NE(m_sounds.Find("cut-bgm"), nullptr);
}

TEST_F(SoundSystemTest, LoadingThreadStoresSoundsWhileTheMainThreadPlaysThem) {
    const std::vector<u8> image = MakeSoundImage({0.1f, 0.1f, 0.1f}, 1, 48000, ImageFormat::WavFloat);
    ASSERT_TRUE(m_devices.LoadSoundImage("hit", image, "hit.wav"));
    std::atomic<bool> done{false};
    std::thread loader([&] {
        for (int i = 0; i < 200; ++i) {
            m_devices.GetDefinitions().Update("hit", [](SoundDefinition& d) { d.SetVolume(0.5f); });
            m_devices.LoadSoundImage("hit", image, "hit.wav");
        }
        done = true;
    });
    while (!done) {
        Play("hit");
        Mix(2);
        m_system.Update(0.016f);
    }
    loader.join();
    EXPECT_EQ(m_sounds.RetiredCount(), 200u);
}

TEST(SoundSystemWithoutDevices, EveryMessageIsHarmless) {
    SoundSystem system;
    system.LoadConfig(nullptr);
    system.Initialize();
    std::string name = "anything";
    SoundChannel* channel = nullptr;
    system.OnPlaySound(&name);
    system.OnPlayUiSound(&name);
    system.OnPlaySoundControl(&name, &channel);
    system.OnPlayBackgroundSound(&name);
    system.OnPlaySound(nullptr);
    system.OnReleaseChannel(&channel);
    for (s32 value = -1; value <= 3; ++value) {
        const SoundFamily family = static_cast<SoundFamily>(value);
        bool muted = true;
        system.OnPauseSounds(family, true);
        system.OnStopSounds(family);
        system.OnSetSoundVolumes(family, 0.5f);
        system.OnMuteSounds(family, false);
        system.OnQueryMuteSounds(family, &muted);
    }
    system.OnKeyTriggered(SoundSystem::kDebugReloadKey, true);
    system.Update(0.016f);
    system.Shutdown();
    EXPECT_EQ(channel, nullptr);
}

TEST(SoundManifest, FillsRecordsKeepingMissingKeysAndFilingNamelessEntriesUnderTheEmptyName) {
    const std::string path = std::string(LV_TEST_TMP) + "/manifest-test.xsm";
    {
        FILE* file = std::fopen(path.c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fputs("<sounds>"
                   "<s><name>x</name><stream>0</stream><loop>1</loop><volume>0.5</volume><instances>1</instances></s>"
                   "<s><name>x</name><volume>0.25</volume></s>"
                   "<s><loop>1</loop></s>"
                   "</sounds>",
                   file);
        std::fclose(file);
    }
    SoundDeviceManager devices(AudioSystem::OutputKind::None);
    LoadSoundManifestResource(path);
    const SoundDefinition* x = devices.GetDefinitions().Find("x");
    ASSERT_NE(x, nullptr);
    EXPECT_FALSE(x->IsStream());
    EXPECT_TRUE(x->IsLooping());
    EXPECT_EQ(x->GetVolume(), 0.25f) << "the second entry overwrites only its own keys";
    EXPECT_EQ(x->GetInstances(), 1);
    const SoundDefinition* nameless = devices.GetDefinitions().Find("");
    ASSERT_NE(nameless, nullptr);
    EXPECT_TRUE(nameless->IsLooping());
    EXPECT_TRUE(nameless->IsStream());

    devices.LoadSoundManifest(std::string(LV_TEST_TMP) + "/no-such.xsm");  // logged, nothing read
    EXPECT_EQ(devices.GetDefinitions().Size(), 2u);
}

TEST(SoundManifest, TheShippedManifestNamesEveryShippedSound) {
    SoundDeviceManager devices(AudioSystem::OutputKind::None);
    devices.LoadSoundManifest(std::string(LV_SOURCE_DIR) + "/rsc/sounds/game-sounds.xsm");
    for (const char* name : {"battle-bgm", "boss-battle-bgm", "light-thud-sfx", "whoosh-sfx",
                             "new-menu-click-sfx"}) {
        EXPECT_NE(devices.GetDefinitions().Find(name), nullptr) << name;
    }
    EXPECT_TRUE(devices.GetDefinitions().Find("battle-bgm")->IsLooping());
    EXPECT_FALSE(devices.GetDefinitions().Find("light-thud-sfx")->IsStream());
}

TEST(SoundReflection, FamilyAndChannelTypesAreRegisteredForMessageArguments) {
    MetaClass* family = MetaRegistryInst::Instance().Find("SoundFamily");
    ASSERT_NE(family, nullptr);
    EXPECT_EQ(family, MetaClassOf<SoundFamily>());
    SoundFamily value = SoundFamilies::Music;
    family->FromString(&value, "2");
    EXPECT_EQ(value, SoundFamilies::UserInterface) << "the text form is the decimal number";
    std::string text;
    EXPECT_EQ(family->ToString(text, &value), "2");
    EXPECT_EQ(MetaRegistryInst::Instance().Find("SoundChannel"), MetaClassOf<SoundChannel>());
    // A SoundChannel** argument travels with the record's own class.
    EXPECT_EQ(MetaClassOf<SoundChannel*>(), MetaClassOf<SoundChannel>());
    EXPECT_EQ(MetaRegistryInst::Instance().Find("SoundChannel*"), nullptr);
}

TEST(SoundReflection, SystemsProfilerAndChannelHaveTheirMemoryCapabilities) {
    struct Row {
        const char* name;
        bool create, remove, copy;
    };
    // ObjectManager is not copied: see its registration.
    const Row rows[] = {
        {"SoundSystem", true, true, false},   {"Input", true, true, false},
        {"WindowSystem", true, true, true},   {"ObjectManager", true, true, false},
        {"ScopedProfiler", true, true, false}, {"SoundChannel", false, false, false},
    };
    for (const Row& row : rows) {
        MetaClass* meta = MetaRegistryInst::Instance().Find(row.name);
        ASSERT_NE(meta, nullptr) << row.name;
        EXPECT_EQ(meta->GetKind(), 15) << row.name;
        EXPECT_EQ(meta->CanNew(), row.create) << row.name;
        EXPECT_EQ(meta->CanDelete(), row.remove) << row.name;
        EXPECT_EQ(meta->CanNewCopy(), row.copy) << row.name;
        void* made = meta->New();
        EXPECT_EQ(made != nullptr, row.create) << row.name;
        if (made && row.copy) {
            void* copy = nullptr;
            meta->NewCopy(copy, made);
            EXPECT_NE(copy, nullptr) << row.name;
            meta->Delete(copy);
        }
        meta->Delete(made);
    }
}

// The mains build the systems before the managers, so the sound system
// outlives the device; in the editor it is never initialized or shut down.
TEST(SoundSystemLifetime, OutlivesTheDeviceWithChannelsStillPlaying) {
    SoundSystem system;
    SoundSystem neverRun;
    {
        SoundDeviceManager devices(AudioSystem::OutputKind::None);
        SoundManager sounds;
        ASSERT_TRUE(devices.LoadSoundImage(
            "loop", MakeSoundImage({0.5f}, 1, 48000, ImageFormat::WavFloat), "loop.wav"));
        system.LoadConfig(nullptr);
        system.Initialize();
        std::string name = "loop";
        SoundChannel* held = nullptr;
        system.OnPlayBackgroundSound(&name);
        system.OnPlaySoundControl(&name, &held);
        system.OnPlaySound(&name);
    }
    std::string name = "loop";
    system.OnPlaySound(&name);
    system.Update(0.016f);
    EXPECT_EQ(system.LiveChannelCount(), 0u);
    system.Shutdown();
}

TEST_F(SoundSystemTest, ABurstOfEffectsBeyondTheVoiceLimitNeverTakesTheMusic) {
    Define("music", {.stream = false, .loop = true});
    ASSERT_TRUE(Load("music", {0.5f}));
    ASSERT_TRUE(Load("shot", std::vector<float>(64, 0.001f)));
    PlayBackground("music");
    for (int i = 0; i < 3 * AudioMixer::kDefaultVoices; ++i) Play("shot");
    EXPECT_TRUE(m_system.GetBackground()->IsPlaying());
    EXPECT_EQ(m_devices.GetAudio().Mixer().ActiveVoices(), AudioMixer::kDefaultVoices);
    EXPECT_NEAR(Mix(1)[0], 0.5f + 99 * 0.001f, 1e-5);
}
