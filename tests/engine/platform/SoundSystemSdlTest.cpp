// Sound through a real SDL audio device: the "disk" driver writes what was
// played to a file, the "dummy" driver plays nothing, and an unknown driver
// leaves no device at all. Each test picks its driver before the audio
// layer starts SDL audio (every test runs in its own process).

#include "engine/platform/SoundChannel.h"
#include "engine/platform/SoundDeviceManager.h"
#include "engine/platform/SoundManager.h"
#include "engine/platform/SoundSystem.h"
#include "engine/platform/audio/AudioMixer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

using namespace Ostrel;

namespace {

const std::string kSounds = std::string(LV_SOURCE_DIR) + "/rsc/sounds/";

void LoadSampleSounds(SoundDeviceManager& devices) {
    devices.LoadSoundManifest(kSounds + "game-sounds.xsm");
    for (const auto& entry : std::filesystem::directory_iterator(kSounds)) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".wav" && ext != ".mp3") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<u8> image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        devices.LoadSoundImage(entry.path().stem().string(), std::move(image), entry.path().string());
    }
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
        SoundDeviceManager devices;
        SoundManager sounds;
        ASSERT_TRUE(devices.GetAudio().HasDevice()) << devices.GetAudio().DeviceError();
        LoadSampleSounds(devices);
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
        ASSERT_TRUE(RunUntilMixed(devices, system, rate + 4096));
        system.Shutdown();
    }  // closing the device flushes the file

    std::ifstream in(output, std::ios::binary);
    std::vector<float> samples;
    float value;
    while (in.read(reinterpret_cast<char*>(&value), sizeof value)) samples.push_back(value);
    ASSERT_GE(samples.size(), 2 * (muteAt + rate));

    double energy = 0;
    for (u64 i = 2 * playStart; i < 2 * muteAt; ++i) energy += double(samples[i]) * samples[i];
    const double rms = std::sqrt(energy / double(2 * (muteAt - playStart)));
    EXPECT_GT(rms, 0.02) << "music and effect were heard";

    // One device buffer may have been mixed before the mute took hold.
    const u64 quietFrom = 2 * (muteAt + 2048), quietTo = 2 * (muteAt + rate);
    u64 loud = 0;
    for (u64 i = quietFrom; i < quietTo; ++i) loud += samples[i] != 0.0f;
    EXPECT_EQ(loud, 0u) << "the second after the mute and the stop is silent";
}

TEST(SoundSystemSdl, DummyDeviceAndNoDeviceTakeEveryMessageHarmlessly) {
    for (const char* driver : {"dummy", "no-such-driver"}) {
        SCOPED_TRACE(driver);
        setenv("SDL_AUDIODRIVER", driver, 1);
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
