// The mixer's cost per device buffer (1024 stereo frames) for a busy scene:
// many decoded effects at the device rate, effects resampled from 22.05 kHz,
// and streamed music decoded while it plays. The baseline is the least any
// mixer does: summing the same number of voices' samples straight into the
// buffer, with no resampling, cursors, groups or locks.

#include "engine/platform/audio/AudioClip.h"
#include "engine/platform/audio/AudioMixer.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <sndfile.h>
#include <vector>

using namespace Ostrel;

namespace {

constexpr int kFrames = 1024;
constexpr int kRate = 48000;

std::vector<float> Tone(int frames, int channels) {
    std::vector<float> samples(static_cast<std::size_t>(frames) * channels);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = 0.1f * std::sin(0.01f * float(i));
    return samples;
}

void MixDecodedVoices(benchmark::State& state, int clipRate) {
    AudioMixer mixer(kRate, 100);
    auto clip = AudioClip::FromSamples(Tone(clipRate * 2, 1), 1, clipRate, true);
    for (int i = 0; i < state.range(0); ++i) mixer.Play(clip, false);
    std::vector<float> out(2 * kFrames);
    for (auto _ : state) {
        mixer.Mix(out.data(), kFrames);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kFrames * state.range(0));
}

void BM_MixDecodedAtDeviceRate(benchmark::State& state) { MixDecodedVoices(state, kRate); }
void BM_MixDecodedResampledFrom22k(benchmark::State& state) { MixDecodedVoices(state, 22050); }

void BM_BaselineSumVoices(benchmark::State& state) {
    const std::vector<float> source = Tone(kRate * 2, 1);
    std::vector<float> out(2 * kFrames);
    std::size_t position = 0;
    for (auto _ : state) {
        std::memset(out.data(), 0, out.size() * sizeof(float));
        for (int voice = 0; voice < state.range(0); ++voice) {
            for (int i = 0; i < kFrames; ++i) {
                const float s = source[(position + i) % source.size()];
                out[2 * i] += s;
                out[2 * i + 1] += s;
            }
        }
        position += kFrames;
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kFrames * state.range(0));
}

std::vector<u8> WavImage(const std::vector<float>& samples, int channels, int rate) {
    const std::string path = "/tmp/lv-audio-bench.wav";
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return {};
    sf_writef_float(file, samples.data(), sf_count_t(samples.size()) / channels);
    sf_close(file);
    std::vector<u8> image;
    if (FILE* in = std::fopen(path.c_str(), "rb")) {
        u8 buffer[65536];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) image.insert(image.end(), buffer, buffer + n);
        std::fclose(in);
    }
    std::remove(path.c_str());
    return image;
}

void BM_MixStreamedStereoMusic(benchmark::State& state) {
    AudioMixer mixer(kRate, 100);
    auto clip = AudioClip::Load(WavImage(Tone(44100 * 2, 2), 2, 44100), true, true, nullptr);
    if (!clip) {
        state.SkipWithError("cannot build the stream");
        return;
    }
    for (int i = 0; i < state.range(0); ++i) mixer.Play(clip, false);
    std::vector<float> out(2 * kFrames);
    for (auto _ : state) {
        mixer.Mix(out.data(), kFrames);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kFrames * state.range(0));
}

}  // namespace

BENCHMARK(BM_BaselineSumVoices)->Arg(1)->Arg(32)->Arg(100);
BENCHMARK(BM_MixDecodedAtDeviceRate)->Arg(1)->Arg(32)->Arg(100);
BENCHMARK(BM_MixDecodedResampledFrom22k)->Arg(1)->Arg(32)->Arg(100);
BENCHMARK(BM_MixStreamedStereoMusic)->Arg(1)->Arg(4);
BENCHMARK_MAIN();
