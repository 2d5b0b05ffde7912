// sound-gen: writes the game's sample sounds (tones, arpeggios and noise
// bursts) through libsndfile, as WAV for effects and MP3 for music.
// Usage: sound-gen OUTPUT_DIR
// The output is a pure function of this file: a fixed-seed noise generator,
// no clock, no randomness from outside. scripts/gen-sounds.sh runs it.

#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Sound {
    explicit Sound(std::string soundName, int sampleRate = 22050, int channelCount = 1,
                   bool asMp3 = false)
        : name(std::move(soundName)), rate(sampleRate), channels(channelCount), mp3(asMp3) {}
    std::string name;
    int rate;
    int channels;
    bool mp3;
    std::vector<float> samples;  // interleaved
};

// xorshift32, fixed seed per sound: repeatable noise in -1..1.
struct Noise {
    unsigned state;
    float Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return float(state) / 2147483648.0f - 1.0f;
    }
};

int Frames(int rate, double seconds) { return int(rate * seconds); }

// A low thump: a falling sine with a short noisy attack.
Sound Thud(const std::string& name, double startHz, double endHz, double seconds, unsigned seed) {
    Sound s(name);
    Noise noise{seed};
    const int n = Frames(s.rate, seconds);
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / n;
        const double hz = startHz + (endHz - startHz) * t;
        phase += 2 * kPi * hz / s.rate;
        const double body = std::sin(phase) * std::exp(-5.0 * t);
        const double click = noise.Next() * std::exp(-60.0 * t) * 0.4;
        s.samples.push_back(float(0.8 * body + click));
    }
    return s;
}

// A noise burst swelling and fading, smoothed by a one-pole low-pass.
Sound Whoosh(const std::string& name, double seconds, unsigned seed) {
    Sound s(name);
    Noise noise{seed};
    const int n = Frames(s.rate, seconds);
    double low = 0;
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / n;
        const double cutoff = 0.05 + 0.25 * std::sin(kPi * t);
        low += cutoff * (noise.Next() - low);
        s.samples.push_back(float(1.6 * low * std::sin(kPi * t)));
    }
    return s;
}

// Short tones in sequence, each with a quick attack and release.
Sound Blips(const std::string& name, const std::vector<double>& notesHz, double noteSeconds) {
    Sound s(name);
    const int perNote = Frames(s.rate, noteSeconds);
    for (double hz : notesHz) {
        for (int i = 0; i < perNote; ++i) {
            const double t = double(i) / perNote;
            const double envelope = std::min(1.0, t * 20.0) * (1.0 - t);
            s.samples.push_back(float(0.5 * envelope * std::sin(2 * kPi * hz * i / s.rate)));
        }
    }
    return s;
}

// A looping stereo arpeggio: bass on both sides, the melody panned by note.
// The loop length is a whole number of bars so the seam is clean.
Sound Music(const std::string& name, const std::vector<double>& chordRootsHz, double beatSeconds) {
    Sound s(name, 44100, 2, true);
    const int perBeat = Frames(s.rate, beatSeconds);
    const double intervals[4] = {1.0, 1.2599, 1.4983, 2.0};  // root, third, fifth, octave
    for (double root : chordRootsHz) {
        for (int beat = 0; beat < 4; ++beat) {
            const double hz = root * 2 * intervals[beat];
            const double pan = 0.5 + 0.35 * ((beat % 2) ? 1 : -1);
            for (int i = 0; i < perBeat; ++i) {
                const double t = double(i) / perBeat;
                const double envelope = std::min(1.0, t * 40.0) * std::exp(-3.0 * t);
                const double melody = 0.35 * envelope * std::sin(2 * kPi * hz * i / s.rate);
                const double bass = 0.25 * std::sin(2 * kPi * root / 2 * (beat * perBeat + i) / s.rate);
                s.samples.push_back(float(bass + melody * (1 - pan)));
                s.samples.push_back(float(bass + melody * pan));
            }
        }
    }
    return s;
}

bool Write(const Sound& s, const std::string& folder) {
    const std::string path = folder + "/" + s.name + (s.mp3 ? ".mp3" : ".wav");
    SF_INFO info{};
    info.samplerate = s.rate;
    info.channels = s.channels;
    info.format = s.mp3 ? (SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III) : (SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "sound-gen: cannot write '%s': %s\n", path.c_str(), sf_strerror(nullptr));
        return false;
    }
    const sf_count_t frames = sf_count_t(s.samples.size()) / s.channels;
    const bool complete = sf_writef_float(file, s.samples.data(), frames) == frames;
    sf_close(file);
    if (!complete) std::fprintf(stderr, "sound-gen: short write to '%s'\n", path.c_str());
    else std::printf("%s\n", path.c_str());
    return complete;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: sound-gen OUTPUT_DIR\n");
        return 2;
    }
    const std::vector<Sound> sounds = {
        Thud("light-thud-sfx", 140, 60, 0.25, 11),
        Thud("low-thud-sfx", 90, 40, 0.4, 12),
        Whoosh("whoosh-sfx", 0.35, 13),
        Whoosh("dash-sfx", 0.2, 14),
        Blips("new-menu-click-sfx", {1800}, 0.05),
        Blips("new-menu-select-sfx", {880, 1320}, 0.07),
        Blips("checkpoint-sfx", {660, 880, 1100}, 0.1),
        Blips("yak-spawn-sfx", {330, 440, 550}, 0.06),
        Thud("yak-death-sfx", 220, 50, 0.5, 15),
        Whoosh("yak-charge-sfx", 0.6, 16),
        Thud("yak-brood-death-sfx", 160, 30, 1.2, 18),
        Thud("yak-slam-sfx", 60, 20, 0.9, 19),
        Thud("yak-boss-dmg-1-sfx", 180, 70, 0.3, 20),
        Thud("yak-boss-dmg-2-sfx", 150, 60, 0.3, 21),
        Thud("yak-boss-dmg-3-sfx", 120, 50, 0.35, 22),
        Thud("spawner-death-sfx", 70, 25, 0.8, 17),
        Thud("fox-death-sfx", 260, 70, 0.45, 18),
        Blips("fox-spawn-sfx", {520, 390, 650}, 0.05),
        Whoosh("fox-surface-sfx", 0.3, 19),
        Blips("fox-pant-sfx", {300, 280, 300, 280}, 0.08),
        Whoosh("fox-burrow-sfx", 0.45, 20),
        Thud("bird-death-sfx", 600, 180, 0.3, 21),
        Blips("bird-split-sfx", {990, 1480}, 0.06),
        Blips("bird-spawn-sfx", {1180, 1320, 1560}, 0.04),
        Thud("menhir-move-sfx", 55, 30, 1.2, 18),
        Blips("powerup-health-sfx", {523.25, 659.25, 783.99, 1046.5}, 0.08),
        Blips("powerup-attack-sfx", {392, 587.33, 392, 783.99}, 0.07),
        Blips("fox-boss-spawn-sfx", {392, 294, 523}, 0.07),
        Thud("fox-boss-dmg-1-sfx", 240, 90, 0.3, 23),
        Thud("fox-boss-dmg-2-sfx", 210, 80, 0.3, 24),
        Thud("fox-boss-dmg-3-sfx", 190, 70, 0.35, 25),
        Thud("fox-boss-death-sfx", 130, 35, 1.1, 26),
        Blips("fox-boss-pant-sfx", {250, 230, 250, 230, 250}, 0.09),
        Thud("fox-slam-sfx", 75, 25, 0.7, 27),
        Thud("bird-boss-dmg-1-sfx", 520, 160, 0.25, 28),
        Thud("bird-boss-dmg-2-sfx", 470, 150, 0.25, 29),
        Thud("bird-boss-dmg-3-sfx", 430, 140, 0.3, 30),
        Thud("player-death-sfx", 140, 35, 1.0, 32),
        Thud("bird-boss-death-sfx", 350, 60, 1.0, 31),
        Whoosh("attack-arc-sfx", 0.4, 33),
        Thud("attack-meteor-sfx", 100, 25, 0.8, 34),
        Blips("qil-ascent-sfx", {523.25, 659.25, 783.99, 1046.5, 1318.5, 1568.0}, 0.12),
        Music("battle-bgm", {110.0, 87.31, 130.81, 98.0}, 0.25),
        Music("boss-battle-bgm", {82.41, 87.31, 77.78, 73.42}, 0.2),
        Music("menu-bgm", {98.0, 130.81, 110.0, 87.31}, 0.45),
    };
    bool ok = true;
    for (const Sound& s : sounds) ok = Write(s, argv[1]) && ok;
    return ok ? 0 : 1;
}
