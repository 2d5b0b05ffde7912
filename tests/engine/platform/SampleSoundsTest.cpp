#include "engine/platform/audio/AudioClip.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace Ostrel;

// The generated sounds shipped in rsc/sounds must all decode, with sound in
// them, both fully and as streams (the manifest streams the music).
TEST(SampleSounds, EveryShippedSoundDecodesAndIsNotSilent) {
    const std::filesystem::path folder = std::filesystem::path(LV_SOURCE_DIR) / "rsc" / "sounds";
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".wav" && ext != ".mp3") continue;
        SCOPED_TRACE(entry.path().string());
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<u8> image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string error;
        ASSERT_TRUE(AudioClip::Load(image, true, true, &error)) << error;
        auto clip = AudioClip::Load(std::move(image), false, false, &error);
        ASSERT_TRUE(clip) << error;
        float peak = 0;
        for (float s : clip->Samples()) peak = std::max(peak, std::fabs(s));
        EXPECT_GT(peak, 0.1f);
        ++count;
    }
    EXPECT_GE(count, 9);
}
