#include "engine/core/CoreSystem.h"
#include "engine/core/Engine.h"
#include "engine/platform/audio/AudioMixer.h"
#include "engine/sound/SoundChannel.h"
#include "engine/sound/SoundDeviceManager.h"
#include "engine/sound/SoundManager.h"
#include "engine/sound/SoundSystem.h"

#include "tests/engine/platform/SoundImages.h"

#include <gtest/gtest.h>

using namespace Ostrel;
using Ostrel::Testing::ImageFormat;
using Ostrel::Testing::MakeSoundImage;

namespace {

float MixOne(SoundDeviceManager& devices) {
    float frame[2] = {};
    devices.GetAudio().Mixer().Mix(frame, 1);
    return frame[0];
}

}  // namespace

// The handlers are reached through the global message table with the
// argument types other code sends: a text sent as characters, std::string*,
// SoundChannel**, SoundFamily with bool, bool* or float.
TEST(SoundSystemMessages, SentMessagesReachTheHandlersUntilShutdown) {
    SoundDeviceManager devices(AudioSystem::OutputKind::None);
    SoundManager sounds;
    devices.GetDefinitions().Update("loop", [](SoundDefinition& d) { d.SetLoop(true); });
    ASSERT_TRUE(devices.LoadSoundImage("click", MakeSoundImage({0.5f}, 1, 48000, ImageFormat::WavFloat), "click.wav"));
    ASSERT_TRUE(devices.LoadSoundImage("loop", MakeSoundImage({0.25f}, 1, 48000, ImageFormat::WavFloat), "loop.wav"));
    Engine engine;
    CoreSystem core;
    SoundSystem system;
    engine.AddSystem(&core);
    engine.AddSystem(&system);
    system.LoadConfig(nullptr);
    system.Initialize();

    core.SendMessageString("PlaySound", "click");
    EXPECT_EQ(MixOne(devices), 0.5f);

    std::string name = "loop";
    SoundChannel* channel = nullptr;
    core.SendMessageValues("PlaySoundControl", &name, &channel);
    ASSERT_NE(channel, nullptr);
    EXPECT_TRUE(channel->IsPlaying());
    EXPECT_EQ(MixOne(devices), 0.25f);

    core.SendMessageValues("SetSoundVolumes", SoundFamilies::Effects, 0.5f);
    EXPECT_EQ(MixOne(devices), 0.125f);
    core.SendMessageSoundFamilyBool("MuteSounds", SoundFamilies::Effects, true);
    bool muted = false;
    core.SendMessageSoundFamilyBoolPtr("QueryMuteSounds", SoundFamilies::Effects, &muted);
    EXPECT_TRUE(muted);
    EXPECT_EQ(MixOne(devices), 0.0f);
    core.SendMessageSoundFamilyBool("MuteSounds", SoundFamilies::Effects, false);

    core.SendMessageValues("ReleaseChannel", &channel);
    EXPECT_EQ(channel, nullptr);
    EXPECT_EQ(MixOne(devices), 0.0f);

    core.SendMessageStringPtr("PlayBackgroundSound", &name);
    EXPECT_EQ(system.GetBackgroundName(), "loop");
    core.SendMessageSoundFamilyBool("PauseSounds", SoundFamilies::Music, true);
    EXPECT_EQ(MixOne(devices), 0.0f);
    core.SendMessageValues("StopSounds", SoundFamilies::Music);
    EXPECT_EQ(system.GetBackground(), nullptr);

    system.Shutdown();
    core.SendMessageString("PlaySound", "click");
    EXPECT_EQ(devices.GetAudio().Mixer().ActiveVoices(), 0) << "unsubscribed at shutdown";
}
