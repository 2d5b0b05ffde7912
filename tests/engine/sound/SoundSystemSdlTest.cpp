// Sound through a real SDL audio device: the "disk" driver writes what was
// played to a file, the "dummy" driver plays nothing, and an unknown driver
// leaves no device at all. Each test picks its driver before the audio
// layer starts SDL audio (every test runs in its own process).

#include "engine/platform/audio/AudioMixer.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/sound/SoundChannel.h"
#include "engine/sound/SoundDeviceManager.h"
#include "engine/sound/SoundManager.h"
#include "engine/sound/SoundSystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace Ostrel;

namespace {

// The sample resource tree, walked and loaded the way the programs do it.
struct SampleResources {
    SampleResources() {
        RegisterResourceKinds(resources, std::string(LV_SOURCE_DIR) + "/rsc");
        RegisterSoundLoaders(resources);
    }
    ResourceManager resources;
};

void LoadSampleSounds(SoundDeviceManager&) {
    ResourceManager::Instance()->LoadAllOfKind(kKindSoundManifest);
    ResourceManager::Instance()->LoadAllOfKind(kKindAudio);
}

// Runs frame updates until the device has pulled `frames` more frames.
bool RunUntilMixed(SoundDeviceManager& devices, SoundSystem& system, u64 frames) {
    const AudioMixer& mixer = devices.GetAudio().Mixer();
    const u64 target = mixer.MixedFrames() + frames;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (mixer.MixedFrames() < target) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        system.Update(1.0f / 60.0f);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void SendEveryMessage(SoundSystem& system) {
    for (std::string name : {"battle-bgm", "light-thud-sfx", "missing-sfx", ""}) {
        SoundChannel* channel = nullptr;
        system.OnPlayBackgroundSound(&name);
        system.OnPlaySound(&name);
        system.OnPlayUiSound(&name);
        system.OnPlaySoundControl(&name, &channel);
        system.Update(0.016f);
        system.OnReleaseChannel(&channel);
    }
    for (s32 value = -1; value <= 3; ++value) {
        const SoundFamily family = static_cast<SoundFamily>(value);
        bool muted = false;
        system.OnPauseSounds(family, true);
        system.OnPauseSounds(family, false);
        system.OnSetSoundVolumes(family, 0.5f);
        system.OnMuteSounds(family, true);
        system.OnQueryMuteSounds(family, &muted);
        system.OnMuteSounds(family, false);
        system.OnStopSounds(family);
    }
    system.OnKeyTriggered(SoundSystem::kDebugReloadKey, true);
    system.Update(0.016f);
}

}  // namespace

TEST(SoundSystemSdl, DiskDeviceRecordsMusicAndEffectsThenSilenceAfterMuteAndStop) {
    const std::string output = std::string(LV_TEST_TMP) + "/sound-disk-output.raw";
    std::filesystem::remove(output);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);  // faster than real time

    u64 playStart = 0, muteAt = 0;
    int rate = 0;
    {
        SampleResources sample;
        SoundDeviceManager devices;
        SoundManager sounds;
        ASSERT_TRUE(devices.GetAudio().HasDevice()) << devices.GetAudio().DeviceError();
        LoadSampleSounds(devices);
        ASSERT_NE(sounds.Find("battle-bgm"), nullptr) << "the MP3 music loaded";
        ASSERT_NE(sounds.Find("light-thud-sfx"), nullptr) << "the WAV effect loaded";
        SoundSystem system;
        system.LoadConfig(nullptr);
        system.Initialize();
        rate = devices.GetAudio().Mixer().OutputRate();

        std::string music = "battle-bgm", effect = "light-thud-sfx";
        playStart = devices.GetAudio().Mixer().MixedFrames();
        system.OnPlayBackgroundSound(&music);
        system.OnPlaySound(&effect);
        ASSERT_TRUE(RunUntilMixed(devices, system, rate));

        system.OnMuteSounds(SoundFamilies::Music, true);
        system.OnStopSounds(SoundFamilies::Effects);
        muteAt = devices.GetAudio().Mixer().MixedFrames();
        ASSERT_TRUE(RunUntilMixed(devices, system, rate + rate / 2));
        system.Shutdown();
    }  // closing the device flushes the file

    std::ifstream in(output, std::ios::binary);
    std::vector<float> samples;
    float value;
    while (in.read(reinterpret_cast<char*>(&value), sizeof value)) samples.push_back(value);
    ASSERT_GE(samples.size(), 2 * (muteAt + rate + rate / 2));

    double energy = 0;
    for (u64 i = 2 * playStart; i < 2 * muteAt; ++i) energy += double(samples[i]) * samples[i];
    const double rms = std::sqrt(energy / double(2 * (muteAt - playStart)));
    EXPECT_GT(rms, 0.02) << "music and effect were heard";

    // SDL may pad the file with silence when the mixer falls behind, so file
    // offsets run ahead of mixed frames: the last second of the file was
    // mixed at least half a second after the mute and the stop.
    const u64 frames = samples.size() / 2;
    u64 loud = 0;
    for (u64 i = 2 * (frames - rate); i < 2 * frames; ++i) loud += samples[i] != 0.0f;
    EXPECT_EQ(loud, 0u) << "the second after the mute and the stop is silent";
}

TEST(SoundSystemSdl, DummyDeviceAndNoDeviceTakeEveryMessageHarmlessly) {
    for (const char* driver : {"dummy", "no-such-driver"}) {
        SCOPED_TRACE(driver);
        setenv("SDL_AUDIODRIVER", driver, 1);
        SampleResources sample;
        SoundDeviceManager devices;
        SoundManager sounds;
        EXPECT_EQ(devices.GetAudio().HasDevice(), std::string(driver) == "dummy")
            << devices.GetAudio().DeviceError();
        LoadSampleSounds(devices);
        SoundSystem system;
        system.LoadConfig(nullptr);
        system.Initialize();
        SendEveryMessage(system);
        system.Shutdown();
    }
}
