// SoundMusicTest.cpp -- the two pieces of music carry the world's mood: the good one in a major key,
// the bad one in a minor key, judged from the decoded sound by a pitch-class profile.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "SoundDecoding.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Key {
    int tonic;  // pitch class, 0 = C
    bool major;
};

// Loudness of each pitch class over the whole piece (notes A2..A6, frame by frame).
std::array<double, 12> pitchClassProfile(const soundtest::DecodedSound& sound) {
    // Quarter rate is plenty for notes up to A6 and keeps the analysis quick.
    std::vector<float> x(sound.samples.size() / 4);
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = 0.25f * (sound.samples[4 * i] + sound.samples[4 * i + 1] + sound.samples[4 * i + 2] + sound.samples[4 * i + 3]);
    const double rate = sound.sampleRate / 4.0;
    constexpr size_t frame = 4096;
    std::array<double, 12> profile{};
    for (int note = 45; note <= 93; ++note) {
        const double hz = 440.0 * std::pow(2.0, (note - 69) / 12.0);
        const double coefficient = 2.0 * std::cos(2.0 * kPi * hz / rate);
        for (size_t start = 0; start + frame <= x.size(); start += frame) {
            double s1 = 0.0, s2 = 0.0;
            for (size_t i = 0; i < frame; ++i) {
                const double s0 = x[start + i] + coefficient * s1 - s2;
                s2 = s1;
                s1 = s0;
            }
            profile[note % 12] += std::sqrt(std::max(0.0, s1 * s1 + s2 * s2 - coefficient * s1 * s2));
        }
    }
    return profile;
}

// The key whose Krumhansl-Kessler profile correlates best with the measured profile.
Key estimateKey(const std::array<double, 12>& profile) {
    static const double major[12] = {6.35, 2.23, 3.48, 2.33, 4.38, 4.09, 2.52, 5.19, 2.39, 3.66, 2.29, 2.88};
    static const double minor[12] = {6.33, 2.68, 3.52, 5.38, 2.60, 3.53, 2.54, 4.75, 3.98, 2.69, 3.34, 3.17};
    auto correlation = [&](const double* reference, int tonic) {
        double meanP = 0.0, meanR = 0.0;
        for (int i = 0; i < 12; ++i) {
            meanP += profile[i] / 12.0;
            meanR += reference[i] / 12.0;
        }
        double pr = 0.0, pp = 0.0, rr = 0.0;
        for (int i = 0; i < 12; ++i) {
            const double p = profile[(i + tonic) % 12] - meanP;
            const double r = reference[i] - meanR;
            pr += p * r;
            pp += p * p;
            rr += r * r;
        }
        return pr / std::sqrt(pp * rr);
    };
    Key best{0, true};
    double bestScore = -2.0;
    for (int tonic = 0; tonic < 12; ++tonic) {
        for (bool isMajor : {true, false}) {
            const double score = correlation(isMajor ? major : minor, tonic);
            if (score > bestScore) {
                bestScore = score;
                best = {tonic, isMajor};
            }
        }
    }
    return best;
}

std::string keyName(const Key& key) {
    static const char* names[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    return std::string(names[key.tonic]) + (key.major ? " major" : " minor");
}

TEST(SoundMusic, TheGoodMusicIsInAMajorKeyAndTheBadMusicInAMinorKey) {
    const soundtest::DecodedSound& good = soundtest::builtSound(0);
    const soundtest::DecodedSound& bad = soundtest::builtSound(1);
    ASSERT_TRUE(good.loaded);
    ASSERT_TRUE(bad.loaded);
    const Key goodKey = estimateKey(pitchClassProfile(good));
    const Key badKey = estimateKey(pitchClassProfile(bad));
    EXPECT_TRUE(goodKey.major) << "MusicGood sounds in " << keyName(goodKey);
    EXPECT_FALSE(badKey.major) << "MusicBad sounds in " << keyName(badKey);
}

}  // namespace
