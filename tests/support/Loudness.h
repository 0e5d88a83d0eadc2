// Loudness.h -- a loudness meter after EBU R128 / ITU-R BS.1770 for mono sounds: K-weighting at the sound's own
// sample rate, momentary (400 ms) loudness and gated integrated loudness, in LUFS.
#pragma once

#include <vector>

namespace omxtest {

// One biquad section, a0 normalised to 1.
struct BiquadCoefficients {
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
};

// The two stages of the K-weighting filter at `sampleRate`: the head's high shelf (+4 dB above ~1.7 kHz) and the
// high-pass that leaves out the lowest bass (-3 dB near 38 Hz). At 48 kHz they are the coefficients of BS.1770's
// tables.
BiquadCoefficients kWeightingShelf(double sampleRate);
BiquadCoefficients kWeightingHighPass(double sampleRate);

// The mean square of the K-weighted signal at every sample of `samples` (full scale +-1).
// A periodic sound is weighted as it plays looping: the filters run over it twice and the second pass is kept,
// so its start hears its own end. Otherwise it starts from silence.
std::vector<double> kWeightedSquares(const std::vector<float>& samples, int sampleRate, bool periodic);

// Loudness (LUFS) of a mean square of the K-weighted signal; -inf for silence.
double loudnessOf(double meanSquare);

// Momentary loudness of the 400 ms window that starts at every `hopSamples`-th position. A periodic sound's windows
// run across its end into its start (as it loops); a one-shot is heard with silence before and after it, so its
// windows run from 400 ms before its start to its end.
std::vector<double> momentaryLoudness(const std::vector<float>& samples, int sampleRate, bool periodic,
                                      int hopSamples);

// The largest momentary loudness, the window moved sample by sample.
double momentaryMaxLoudness(const std::vector<float>& samples, int sampleRate, bool periodic);

// Integrated loudness: 400 ms blocks every 100 ms, those under -70 LUFS left out, then those more than 10 LU under
// the mean of the rest. A periodic sound's blocks run on across its end as it loops.
double integratedLoudness(const std::vector<float>& samples, int sampleRate, bool periodic);

}  // namespace omxtest
