#include "engine/platform/audio/AudioClip.h"
#include "engine/platform/audio/AudioDecoder.h"
#include "engine/platform/audio/AudioMixer.h"

#include "tests/engine/platform/SoundImages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

using namespace Ostrel;
using Ostrel::Testing::ImageFormat;
using Ostrel::Testing::MakeSoundImage;

namespace {

constexpr int kRate = 48000;

// A decoded mono clip at the mixer's rate: output frame i is sample i.
std::shared_ptr<const AudioClip> Mono(std::vector<float> samples, bool loop = false) {
    return AudioClip::FromSamples(std::move(samples), 1, kRate, loop);
}

std::shared_ptr<const AudioClip> Streamed(const std::vector<float>& samples, int channels,
                                          int rate, bool loop) {
    return AudioClip::Load(MakeSoundImage(samples, channels, rate, ImageFormat::WavFloat), true,
                           loop, nullptr);
}

// Mixes frames frames and answers the left channel (checking right == left).
std::vector<float> MixLeft(AudioMixer& mixer, int frames) {
    std::vector<float> out(2 * frames, 99.0f);
    mixer.Mix(out.data(), frames);
    std::vector<float> left(frames);
    for (int i = 0; i < frames; ++i) {
        left[i] = out[2 * i];
        EXPECT_EQ(out[2 * i], out[2 * i + 1]) << "frame " << i;
    }
    return left;
}

}  // namespace

TEST(AudioMixer, ChannelAndGroupVolumesMultiply) {
    AudioMixer mixer(kRate);
    AudioGroup group = mixer.CreateGroup();
    AudioChannel channel = mixer.Play(Mono({0.5f, 0.5f, 0.5f, 0.5f}), false);
    EXPECT_EQ(MixLeft(mixer, 1), std::vector<float>({0.5f}));
    mixer.SetVolume(channel, 0.5f);
    mixer.SetGroup(channel, group);
    mixer.SetGroupVolume(group, 0.5f);
    EXPECT_EQ(MixLeft(mixer, 1), std::vector<float>({0.125f}));
    mixer.SetGroupVolume(group, 1.0f);
    EXPECT_EQ(MixLeft(mixer, 1), std::vector<float>({0.25f}));
}

TEST(AudioMixer, PauseHoldsThePlaceAndMuteKeepsGoingBothExactlySilent) {
    AudioMixer mixer(kRate);
    AudioGroup group = mixer.CreateGroup();
    AudioChannel channel = mixer.Play(Mono({0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f}), false);
    mixer.SetGroup(channel, group);
    EXPECT_EQ(MixLeft(mixer, 1), std::vector<float>({0.1f}));

    mixer.SetPaused(channel, true);
    EXPECT_EQ(MixLeft(mixer, 3), std::vector<float>({0, 0, 0}));
    EXPECT_TRUE(mixer.IsPlaying(channel)) << "a paused channel still counts as playing";
    mixer.SetPaused(channel, false);
    EXPECT_EQ(MixLeft(mixer, 1), std::vector<float>({0.2f}));

    mixer.SetGroupPaused(group, true);
    EXPECT_EQ(MixLeft(mixer, 2), std::vector<float>({0, 0}));
    EXPECT_TRUE(mixer.IsPlaying(channel));
    mixer.SetGroupPaused(group, false);
    EXPECT_EQ(MixLeft(mixer, 1), std::vector<float>({0.3f}));

    mixer.SetGroupMute(group, true);
    EXPECT_EQ(MixLeft(mixer, 2), std::vector<float>({0, 0}));
    mixer.SetGroupMute(group, false);
    EXPECT_EQ(MixLeft(mixer, 1), std::vector<float>({0.6f})) << "muted frames were consumed";
}

TEST(AudioMixer, StartedPausedStaysSilentUntilUnpausedInItsGroup) {
    AudioMixer mixer(kRate);
    AudioGroup group = mixer.CreateGroup();
    mixer.SetGroupVolume(group, 0.5f);
    AudioChannel channel = mixer.Play(Mono({0.5f, 0.25f}), true);
    EXPECT_EQ(MixLeft(mixer, 2), std::vector<float>({0, 0}));
    mixer.SetGroup(channel, group);
    EXPECT_EQ(MixLeft(mixer, 1), std::vector<float>({0}));
    mixer.SetPaused(channel, false);
    EXPECT_EQ(MixLeft(mixer, 3), std::vector<float>({0.25f, 0.125f, 0}));
}

TEST(AudioMixer, OneShotEndsAndLoopWraps) {
    AudioMixer mixer(kRate);
    AudioChannel once = mixer.Play(Mono({0.1f, 0.2f, 0.3f}), false);
    EXPECT_EQ(MixLeft(mixer, 3), std::vector<float>({0.1f, 0.2f, 0.3f}));
    EXPECT_FALSE(mixer.IsPlaying(once)) << "ends as soon as its last frame is out";

    AudioChannel loop = mixer.Play(Mono({0.1f, 0.2f, 0.3f}, true), false);
    EXPECT_EQ(MixLeft(mixer, 7), std::vector<float>({0.1f, 0.2f, 0.3f, 0.1f, 0.2f, 0.3f, 0.1f}));
    EXPECT_TRUE(mixer.IsPlaying(loop));
    mixer.Stop(loop);
    EXPECT_FALSE(mixer.IsPlaying(loop));
    EXPECT_EQ(MixLeft(mixer, 2), std::vector<float>({0, 0}));
}

TEST(AudioMixer, StreamLoopsAcrossDecodeBlocksAndEachPlayHasItsOwnCursor) {
    // Longer than one decode block, so the loop crosses block edges.
    std::vector<float> samples(5000);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = float(i % 97) / 128.0f;
    AudioMixer mixer(kRate);
    AudioChannel loop = mixer.Play(Streamed(samples, 1, kRate, true), false);
    std::vector<float> out = MixLeft(mixer, 12001);
    for (std::size_t i = 0; i < out.size(); ++i)
        ASSERT_EQ(out[i], samples[i % samples.size()]) << "frame " << i;
    mixer.Stop(loop);

    auto once = Streamed({0.5f, 0.25f, 0.125f}, 1, kRate, false);
    AudioChannel first = mixer.Play(once, false);
    EXPECT_EQ(MixLeft(mixer, 2), std::vector<float>({0.5f, 0.25f}));
    AudioChannel second = mixer.Play(once, false);
    EXPECT_EQ(MixLeft(mixer, 3), std::vector<float>({0.625f, 0.25f, 0.125f}));
    EXPECT_FALSE(mixer.IsPlaying(first));
    EXPECT_FALSE(mixer.IsPlaying(second));
}

TEST(AudioMixer, DecodedPlaysOfOneClipHaveTheirOwnCursors) {
    AudioMixer mixer(kRate);
    auto clip = Mono({0.5f, 0.25f, 0.125f});
    mixer.Play(clip, false);
    MixLeft(mixer, 1);
    mixer.Play(clip, false);
    EXPECT_EQ(MixLeft(mixer, 3), std::vector<float>({0.75f, 0.375f, 0.125f}));
}

TEST(AudioMixer, LowerAndHigherClipRatesReachTheDeviceRate) {
    struct Case {
        int rate;
        int channels;
    };
    for (Case c : {Case{22050, 1}, Case{44100, 2}}) {
        SCOPED_TRACE(c.rate);
        // One second of a 441 Hz sine, right channel a constant.
        std::vector<float> samples;
        for (int i = 0; i < c.rate; ++i) {
            samples.push_back(0.5f * std::sin(2.0 * M_PI * 441.0 * i / c.rate));
            if (c.channels == 2) samples.push_back(-0.25f);
        }
        AudioMixer mixer(kRate);
        AudioChannel channel =
            mixer.Play(AudioClip::FromSamples(samples, c.channels, c.rate, false), false);
        std::vector<float> out(2 * (kRate + 100));
        mixer.Mix(out.data(), kRate + 100);
        EXPECT_FALSE(mixer.IsPlaying(channel));
        int lastSounding = -1, crossings = 0;
        for (int i = 0; i < kRate + 100; ++i) {
            if (out[2 * i] != 0.0f) lastSounding = i;
            if (i > 0 && (out[2 * i - 2] < 0) != (out[2 * i] < 0)) ++crossings;
            if (c.channels == 2 && i < kRate - 2) {
                ASSERT_EQ(out[2 * i + 1], -0.25f) << i;
            }
            if (c.channels == 1) {
                ASSERT_EQ(out[2 * i + 1], out[2 * i]) << i;
            }
        }
        // One second of source is one second of output, pitch unchanged.
        EXPECT_NEAR(lastSounding, kRate - 1, 3);
        EXPECT_NEAR(crossings, 2 * 441, 3);
    }
}

TEST(AudioMixer, StaleHandlesNeverTouchTheVoiceThatReusedTheirSlot) {
    AudioMixer mixer(kRate, 1);
    AudioChannel old = mixer.Play(Mono({0.5f}), false);
    MixLeft(mixer, 1);
    AudioChannel fresh = mixer.Play(Mono({0.25f, 0.25f}, true), false);
    ASSERT_EQ(fresh.slot, old.slot);
    mixer.Stop(old);
    mixer.SetPaused(old, true);
    mixer.SetVolume(old, 0.0f);
    EXPECT_FALSE(mixer.IsPlaying(old));
    EXPECT_TRUE(mixer.IsPlaying(fresh));
    EXPECT_EQ(MixLeft(mixer, 1), std::vector<float>({0.25f}));
    EXPECT_FALSE(mixer.IsPlaying(AudioChannel{}));
    mixer.Stop(AudioChannel{7, 99});
    mixer.SetGroup(fresh, AudioGroup{42});  // unknown group: ignored
    EXPECT_EQ(MixLeft(mixer, 1), std::vector<float>({0.25f}));
}

TEST(AudioMixer, AtTheVoiceLimitTheOldestOneShotIsTakenThenTheOldestLoop) {
    AudioMixer mixer(kRate, 3);
    AudioChannel music = mixer.Play(Mono({0.5f}, true), false);
    AudioChannel first = mixer.Play(Mono({0.1f, 0.1f}), false);
    AudioChannel second = mixer.Play(Mono({0.1f, 0.1f}), false);
    AudioChannel third = mixer.Play(Mono({0.1f, 0.1f}), false);
    EXPECT_TRUE(mixer.IsPlaying(music));
    EXPECT_FALSE(mixer.IsPlaying(first));
    EXPECT_TRUE(mixer.IsPlaying(second));
    EXPECT_TRUE(mixer.IsPlaying(third));

    AudioMixer loops(kRate, 2);
    AudioChannel a = loops.Play(Mono({0.5f}, true), false);
    AudioChannel b = loops.Play(Mono({0.5f}, true), false);
    AudioChannel c = loops.Play(Mono({0.5f}, true), false);
    EXPECT_FALSE(loops.IsPlaying(a));
    EXPECT_TRUE(loops.IsPlaying(b));
    EXPECT_TRUE(loops.IsPlaying(c));
}

TEST(AudioMixer, StoppingAGroupStopsOnlyItsChannels) {
    AudioMixer mixer(kRate);
    AudioGroup effects = mixer.CreateGroup();
    AudioGroup music = mixer.CreateGroup();
    AudioChannel shot = mixer.Play(Mono({0.25f}, true), true);
    AudioChannel track = mixer.Play(Mono({0.5f}, true), false);
    mixer.SetGroup(shot, effects);
    mixer.SetGroup(track, music);
    mixer.StopGroup(effects);
    EXPECT_FALSE(mixer.IsPlaying(shot)) << "paused channels stop too";
    EXPECT_TRUE(mixer.IsPlaying(track));
    EXPECT_EQ(MixLeft(mixer, 1), std::vector<float>({0.5f}));
}

TEST(AudioClip, DecodesWavAndMp3ImagesAndRejectsBrokenOnes) {
    std::vector<float> tone;
    for (int i = 0; i < 22050; ++i) tone.push_back(0.5f * std::sin(i * 0.05f));
    std::string error;
    auto wav = AudioClip::Load(MakeSoundImage(tone, 1, 22050, ImageFormat::Wav16), false, false, &error);
    ASSERT_TRUE(wav) << error;
    EXPECT_EQ(wav->Frames(), 22050);
    EXPECT_NEAR(wav->Samples()[100], tone[100], 1.0 / 16384);

    std::vector<u8> mp3Image = MakeSoundImage(tone, 1, 22050, ImageFormat::Mp3);
    ASSERT_FALSE(mp3Image.empty()) << "libsndfile writes MP3 here";
    auto mp3 = AudioClip::Load(mp3Image, false, false, &error);
    ASSERT_TRUE(mp3) << error;
    EXPECT_EQ(mp3->SampleRate(), 22050);
    EXPECT_NEAR(double(mp3->Frames()), 22050.0, 2000.0);
    float peak = 0;
    for (float s : mp3->Samples()) peak = std::max(peak, std::fabs(s));
    EXPECT_GT(peak, 0.3f);

    auto streamedMp3 = AudioClip::Load(mp3Image, true, false, &error);
    ASSERT_TRUE(streamedMp3) << error;
    AudioMixer mixer(22050);
    AudioChannel channel = mixer.Play(streamedMp3, false);
    std::vector<float> out(2 * 4096);
    mixer.Mix(out.data(), 4096);
    EXPECT_TRUE(mixer.IsPlaying(channel));
    float streamedPeak = 0;
    for (float s : out) streamedPeak = std::max(streamedPeak, std::fabs(s));
    EXPECT_GT(streamedPeak, 0.3f);

    // A WAV cut in its data still decodes what is there, but the cut is
    // described; whole images and MP3s are not.
    std::vector<u8> cutWav = MakeSoundImage(tone, 1, 22050, ImageFormat::Wav16);
    EXPECT_EQ(AudioDecoder::DescribeCut(cutWav.data(), cutWav.size()), "");
    EXPECT_EQ(AudioDecoder::DescribeCut(mp3Image.data(), mp3Image.size()), "");
    const std::size_t whole = cutWav.size();
    cutWav.resize(1000);
    EXPECT_TRUE(AudioClip::Load(cutWav, false, false, &error)) << error;
    EXPECT_EQ(AudioDecoder::DescribeCut(cutWav.data(), cutWav.size()),
              "the file is cut short: its header announces " + std::to_string(whole) + " bytes, it holds 1000");

    // Whole files decode to what they announce; an MP3 cut in half decodes
    // short, decoded or streamed, and a stream plays what is there and ends.
    EXPECT_FALSE(wav->DecodesShort());
    EXPECT_FALSE(mp3->DecodesShort()) << mp3->Frames() << " of " << mp3->AnnouncedFrames();
    EXPECT_FALSE(streamedMp3->DecodesShort());
    std::vector<u8> halfMp3(mp3Image.begin(), mp3Image.begin() + std::ptrdiff_t(mp3Image.size() / 2));
    auto cutMp3 = AudioClip::Load(halfMp3, false, false, &error);
    ASSERT_TRUE(cutMp3) << error;
    EXPECT_TRUE(cutMp3->DecodesShort()) << cutMp3->Frames() << " of " << cutMp3->AnnouncedFrames();
    EXPECT_EQ(cutMp3->AnnouncedFrames(), mp3->AnnouncedFrames());
    auto cutStream = AudioClip::Load(halfMp3, true, false, &error);
    ASSERT_TRUE(cutStream) << error;
    EXPECT_TRUE(cutStream->DecodesShort());
    EXPECT_EQ(cutStream->Frames(), cutMp3->Frames());
    AudioChannel cutChannel = mixer.Play(cutStream, false);
    std::vector<float> rest(2 * 4096);
    int mixes = 0;
    while (mixer.IsPlaying(cutChannel) && mixes < 100) mixer.Mix(rest.data(), 4096), ++mixes;
    EXPECT_FALSE(mixer.IsPlaying(cutChannel)) << "the cut stream ends where its data ends";

    // Formats no sound can have are refused before anything is decoded.
    std::vector<u8> wide = MakeSoundImage(tone, 1, 22050, ImageFormat::Wav16);
    wide[22] = 200;  // channel count
    EXPECT_FALSE(AudioClip::Load(wide, false, false, &error));
    EXPECT_NE(error.find("impossible format: 200 channels"), std::string::npos) << error;
    std::vector<u8> fast = MakeSoundImage(tone, 1, 22050, ImageFormat::Wav16);
    fast[24] = 0, fast[25] = 0, fast[26] = 0, fast[27] = 0x10;  // 268435456 Hz
    EXPECT_FALSE(AudioClip::Load(fast, false, false, &error));
    EXPECT_NE(error.find("impossible format"), std::string::npos) << error;

    std::vector<u8> truncated = MakeSoundImage(tone, 1, 22050, ImageFormat::Wav16);
    truncated.resize(20);
    EXPECT_FALSE(AudioClip::Load(truncated, false, false, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(AudioClip::Load({'n', 'o', 't', ' ', 'a', 'u', 'd', 'i', 'o'}, true, false, nullptr));
    EXPECT_FALSE(AudioClip::Load({}, false, false, nullptr));
}

TEST(AudioMixer, MixingOnAnotherThreadWhilePlaysComeAndGo) {
    AudioMixer mixer(kRate, 8);
    auto clip = Streamed(std::vector<float>(3000, 0.01f), 1, kRate, false);
    std::atomic<bool> done{false};
    std::thread audio([&] {
        std::vector<float> out(2 * 256);
        while (!done) mixer.Mix(out.data(), 256);
    });
    for (int i = 0; i < 400; ++i) {
        AudioChannel channel = mixer.Play(clip, i % 2 == 0);
        mixer.SetPaused(channel, false);
        if (i % 3 == 0) mixer.Stop(channel);
        mixer.ReclaimEnded();
    }
    done = true;
    audio.join();
    EXPECT_LE(mixer.ActiveVoices(), 8);
}

// Forty loud square waves at once (a sum of 40 at full scale) stay under the
// limiter's ceiling, are turned down rather than cut off, and the mix comes
// back to unity gain once they end: a lone quiet clip afterwards is exact.
TEST(AudioMixer, ManyLoudSoundsAtOnceNeverReachFullScale) {
    AudioMixer mixer(kRate);
    std::vector<float> square(kRate / 4);
    for (std::size_t i = 0; i < square.size(); ++i) square[i] = (i / 40) % 2 ? 1.0f : -1.0f;
    for (int i = 0; i < 40; ++i) mixer.Play(Mono(square), false);
    float peak = 0.0f, lastPeak = 0.0f;
    for (int block = 0; block < 12; ++block) {
        std::vector<float> out(2 * 1024);
        mixer.Mix(out.data(), 1024);
        lastPeak = 0.0f;
        for (float sample : out) lastPeak = std::max(lastPeak, std::fabs(sample));
        peak = std::max(peak, lastPeak);
    }
    EXPECT_LE(peak, AudioMixer::kCeiling);
    EXPECT_GT(lastPeak, 0.5f) << "the loud mix is limited, not silenced";
    MixLeft(mixer, kRate / 2);  // the squares end; the gain recovers
    mixer.Play(Mono({0.5f, -0.25f}), false);
    EXPECT_EQ(MixLeft(mixer, 2), std::vector<float>({0.5f, -0.25f}));
}

// A burst of loud hits, as a fight sets off: a dozen decaying tones of
// different pitches starting 60 frames apart, mixed in blocks of 441 frames
// (so peaks fall across block ends). The limiter turns the burst down as a
// whole: every sample stays under the ceiling, no two neighbouring samples
// sit flat at one level over the knee (the sign of a clamp or of a gain that
// tracks each sample), and the loudest ones come near the ceiling.
TEST(AudioMixer, ABurstOfLoudHitsIsTurnedDownWithoutFlatTops) {
    AudioMixer mixer(kRate);
    constexpr float kPi = 3.14159265f;
    for (int hit = 0; hit < 12; ++hit) {
        std::vector<float> tone(kRate / 5 + 60 * hit, 0.0f);
        const float hz = 90.0f + 70.0f * hit;
        for (int i = 0; i < kRate / 5; ++i)
            tone[60 * hit + i] = 0.7f * std::exp(-i / 4000.0f) * std::sin(2.0f * kPi * hz * i / kRate);
        mixer.Play(Mono(std::move(tone)), false);
    }
    std::vector<float> left;
    for (int block = 0; block < 30; ++block) {
        const std::vector<float> part = MixLeft(mixer, 441);
        left.insert(left.end(), part.begin(), part.end());
    }
    float peak = 0.0f;
    for (std::size_t i = 0; i < left.size(); ++i) {
        peak = std::max(peak, std::fabs(left[i]));
        ASSERT_LT(std::fabs(left[i]), AudioMixer::kCeiling) << "frame " << i;
        if (i > 0 && std::fabs(left[i]) > AudioMixer::kKnee) {
            ASSERT_NE(left[i], left[i - 1]) << "flat at frame " << i;
        }
    }
    EXPECT_GT(peak, AudioMixer::kKnee) << "limited, not silenced";
    // The curve: levels up to the knee pass, louder ones rise towards the
    // ceiling in order without reaching it; nonsense is silenced.
    EXPECT_EQ(AudioMixer::LimiterGain(AudioMixer::kKnee), 1.0f);
    float lastLevel = AudioMixer::kKnee;
    for (float level : {0.92f, 1.0f, 2.0f, 10.0f, 40.0f}) {
        const float out = level * AudioMixer::LimiterGain(level);
        EXPECT_GT(out, lastLevel) << level;
        EXPECT_LT(out, AudioMixer::kCeiling) << level;
        lastLevel = out;
    }
    EXPECT_EQ(AudioMixer::LimiterGain(std::nanf("")), 0.0f);
}
