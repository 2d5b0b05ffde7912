// The sound code over the resource manager and the user settings: sounds and
// manifests found by the walk, the debug reload, failed files, and the mute
// flags kept across runs.

#include "engine/io/ConfigureFileXML.h"
#include "engine/io/UserConfigManager.h"
#include "engine/platform/SoundAsset.h"
#include "engine/platform/audio/AudioClip.h"
#include "engine/resources/ResourceKinds.h"
#include "engine/resources/ResourceManager.h"
#include "engine/sound/SoundDeviceManager.h"
#include "engine/sound/SoundManager.h"
#include "engine/sound/SoundSystem.h"

#include "tests/engine/platform/SoundImages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace Ostrel;
using Ostrel::Testing::ImageFormat;
using Ostrel::Testing::MakeSoundImage;

namespace {

namespace fs = std::filesystem;

class SoundResourcesTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = fs::path(LV_TEST_TMP) / ("sound-rsc-" + std::string(
            ::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_root);
        fs::create_directories(m_root / "sound");
    }
    void Write(const std::string& relative, const std::string& text) {
        std::ofstream(m_root / relative, std::ios::binary) << text;
    }
    void WriteSound(const std::string& relative, const std::vector<float>& samples) {
        const std::vector<u8> image = MakeSoundImage(samples, 1, 48000, ImageFormat::WavFloat);
        std::ofstream(m_root / relative, std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()));
    }
    static std::string Manifest(const std::string& volume, const std::string& stream) {
        return "<sounds><s><name>thud-sfx</name><stream>" + stream +
               "</stream><loop>0</loop><volume>" + volume +
               "</volume><instances>2</instances></s></sounds>";
    }

    fs::path m_root;
};

}  // namespace

TEST_F(SoundResourcesTest, BackgroundLoadFindsRecordsAndDebugKeyRereadsManifestsInPlace) {
    Write("sound/test-sounds.xsm", Manifest("0.5", "0"));
    WriteSound("sound/thud-sfx.wav", {0.5f, 0.5f});
    WriteSound("sound/plain-sfx.wav", {0.5f});
    Write("sound/broken-sfx.wav", "RIFF....WAVEfmt not really");
    WriteSound("sound/gone-sfx.wav", {0.5f});

    ResourceManager resources;
    RegisterResourceKinds(resources, m_root.string());
    RegisterSoundLoaders(resources);
    SoundDeviceManager devices(AudioSystem::OutputKind::None);
    SoundManager sounds;
    fs::remove(m_root / "sound/gone-sfx.wav");  // recorded by the walk, then removed
    testing::internal::CaptureStderr();
    resources.BackgroundLoad();
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("Sound '" + (m_root / "sound/gone-sfx.wav").string() + "': cannot open the file, skipped"),
              std::string::npos)
        << log;

    SoundAsset* thud = sounds.Find("thud-sfx");
    ASSERT_NE(thud, nullptr);
    EXPECT_FALSE(thud->GetClip()->IsStream()) << "the manifest loads before the sounds";
    EXPECT_EQ(thud->GetVolume(), 0.5f);
    EXPECT_EQ(thud->GetInstanceLimit(), 2);
    ASSERT_NE(sounds.Find("plain-sfx"), nullptr);
    EXPECT_TRUE(sounds.Find("plain-sfx")->GetClip()->IsStream()) << "no record: streamed";
    EXPECT_EQ(sounds.Find("broken-sfx"), nullptr) << "undecodable: logged and skipped";
    EXPECT_EQ(sounds.Find("gone-sfx"), nullptr) << "cannot be opened: skipped";

    SoundSystem system;
    ConfigureFileXML config(true);
    ASSERT_TRUE(config.LoadFromText("<SoundSystem><Debug>1</Debug></SoundSystem>"));
    system.LoadConfig(&config);
    EXPECT_TRUE(system.IsDebug());
    system.Initialize();

    Write("sound/test-sounds.xsm", Manifest("0.25", "1"));
    system.OnKeyTriggered(SoundSystem::kDebugReloadKey, false);
    system.OnKeyTriggered('T', true);
    EXPECT_EQ(thud->GetVolume(), 0.5f) << "only a press of 'S' reloads";
    system.OnKeyTriggered(SoundSystem::kDebugReloadKey, true);
    EXPECT_EQ(thud->GetVolume(), 0.25f);
    EXPECT_FALSE(thud->GetClip()->IsStream()) << "stream applies to later loads only";
    resources.LoadResource("thud-sfx");
    EXPECT_TRUE(sounds.Find("thud-sfx")->GetClip()->IsStream());
    system.Shutdown();
}

TEST_F(SoundResourcesTest, DebugKeyDoesNothingWithoutDebug) {
    Write("sound/test-sounds.xsm", Manifest("0.5", "0"));
    WriteSound("sound/thud-sfx.wav", {0.5f});
    ResourceManager resources;
    RegisterResourceKinds(resources, m_root.string());
    RegisterSoundLoaders(resources);
    SoundDeviceManager devices(AudioSystem::OutputKind::None);
    SoundManager sounds;
    resources.BackgroundLoad();
    SoundSystem system;
    system.LoadConfig(nullptr);
    system.Initialize();
    Write("sound/test-sounds.xsm", Manifest("0.25", "0"));
    system.OnKeyTriggered(SoundSystem::kDebugReloadKey, true);
    EXPECT_EQ(sounds.Find("thud-sfx")->GetVolume(), 0.5f);
    system.Shutdown();
}

TEST_F(SoundResourcesTest, EffectsMuteIsKeptAcrossRunsAndTheInterfaceMuteIsNeverSaved) {
    const std::string folder = m_root.string();
    auto run = [&](const std::function<void(SoundSystem&)>& play) {
        UserConfigManager settings(true);
        settings.SetDirectory(folder);
        SoundSystem system;
        system.LoadConfig(nullptr);
        system.Initialize();
        play(system);
        system.Shutdown();
    };
    run([](SoundSystem& system) {
        EXPECT_FALSE(system.IsMuted(SoundFamilies::Effects)) << "no settings yet";
        system.OnMuteSounds(SoundFamilies::Effects, true);
        system.OnMuteSounds(SoundFamilies::UserInterface, false);
    });
    std::ifstream in(m_root / UserConfigManager::kFileName);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("<bgm-mute>0</bgm-mute>"), std::string::npos) << text;
    EXPECT_NE(text.find("<sfx-mute>1</sfx-mute>"), std::string::npos) << text;

    run([](SoundSystem& system) {
        EXPECT_TRUE(system.IsMuted(SoundFamilies::Effects));
        EXPECT_TRUE(system.IsMuted(SoundFamilies::UserInterface)) << "follows sfx-mute";
        EXPECT_FALSE(system.IsMuted(SoundFamilies::Music));
        system.OnMuteSounds(SoundFamilies::Effects, false);
        system.OnMuteSounds(SoundFamilies::UserInterface, true);
        system.OnMuteSounds(SoundFamilies::Music, true);
    });
    run([](SoundSystem& system) {
        EXPECT_FALSE(system.IsMuted(SoundFamilies::UserInterface)) << "its own mute was not saved";
        EXPECT_FALSE(system.IsMuted(SoundFamilies::Effects));
        EXPECT_TRUE(system.IsMuted(SoundFamilies::Music));
        EXPECT_EQ(system.GetVolume(SoundFamilies::Music), 1.0f) << "volumes are not stored";
    });
}
