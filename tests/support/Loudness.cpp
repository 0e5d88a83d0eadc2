// Loudness.cpp -- K-weighting, momentary and gated integrated loudness (EBU R128 / ITU-R BS.1770).
#include "support/Loudness.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace omxtest {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kWindowSeconds = 0.4;      // momentary window and gating block
constexpr double kBlockStepSeconds = 0.1;   // gating blocks overlap by 75 %
constexpr double kAbsoluteGate = -70.0;     // LUFS
constexpr double kRelativeGate = -10.0;     // LU under the mean of the blocks above the absolute gate

struct BiquadState {
    BiquadCoefficients c;
    double z1 = 0.0, z2 = 0.0;
    double process(double x) {
        const double y = c.b0 * x + z1;
        z1 = c.b1 * x - c.a1 * y + z2;
        z2 = c.b2 * x - c.a2 * y;
        return y;
    }
};

int windowLength(int sampleRate) { return static_cast<int>(std::lround(kWindowSeconds * sampleRate)); }

// Running sums of the squares, one entry longer than the input (sums[i] = squares before i).
std::vector<double> runningSums(const std::vector<double>& squares) {
    std::vector<double> sums(squares.size() + 1, 0.0);
    for (size_t i = 0; i < squares.size(); ++i) sums[i + 1] = sums[i] + squares[i];
    return sums;
}

// The K-weighted squares laid out so that every window the meter looks at is a plain slice: a periodic sound
// followed by its own first window (it loops), a one-shot between a window of silence on each side.
std::vector<double> windowedLayout(const std::vector<float>& samples, int sampleRate, bool periodic) {
    const std::vector<double> squares = kWeightedSquares(samples, sampleRate, periodic);
    const size_t window = static_cast<size_t>(windowLength(sampleRate));
    std::vector<double> layout;
    if (periodic) {
        layout = squares;
        for (size_t i = 0; i < window && !squares.empty(); ++i) layout.push_back(squares[i % squares.size()]);
    } else {
        layout.assign(window, 0.0);
        layout.insert(layout.end(), squares.begin(), squares.end());
        layout.insert(layout.end(), window, 0.0);
    }
    return layout;
}

// Mean squares of the windows starting every `hop` samples; a periodic sound has one start per sample of its own
// length, a one-shot one per sample from a window before its start to its end.
std::vector<double> windowMeanSquares(const std::vector<float>& samples, int sampleRate, bool periodic, int hop) {
    const std::vector<double> sums = runningSums(windowedLayout(samples, sampleRate, periodic));
    const size_t window = static_cast<size_t>(windowLength(sampleRate));
    const size_t starts = periodic ? samples.size() : samples.size() + window;
    std::vector<double> means;
    for (size_t start = 0; start < starts && start + window < sums.size(); start += static_cast<size_t>(hop))
        means.push_back(std::max(0.0, sums[start + window] - sums[start]) / static_cast<double>(window));
    return means;
}

}  // namespace

BiquadCoefficients kWeightingShelf(double sampleRate) {
    const double f0 = 1681.974450955533, gainDb = 3.999843853973347, q = 0.7071752369554196;
    const double k = std::tan(kPi * f0 / sampleRate);
    const double vh = std::pow(10.0, gainDb / 20.0);
    const double vb = std::pow(vh, 0.4996667741545416);
    const double a0 = 1.0 + k / q + k * k;
    BiquadCoefficients c;
    c.b0 = (vh + vb * k / q + k * k) / a0;
    c.b1 = 2.0 * (k * k - vh) / a0;
    c.b2 = (vh - vb * k / q + k * k) / a0;
    c.a1 = 2.0 * (k * k - 1.0) / a0;
    c.a2 = (1.0 - k / q + k * k) / a0;
    return c;
}

BiquadCoefficients kWeightingHighPass(double sampleRate) {
    const double f0 = 38.13547087602444, q = 0.5003270373238773;
    const double k = std::tan(kPi * f0 / sampleRate);
    const double a0 = 1.0 + k / q + k * k;
    BiquadCoefficients c;
    c.b0 = 1.0;
    c.b1 = -2.0;
    c.b2 = 1.0;
    c.a1 = 2.0 * (k * k - 1.0) / a0;
    c.a2 = (1.0 - k / q + k * k) / a0;
    return c;
}

std::vector<double> kWeightedSquares(const std::vector<float>& samples, int sampleRate, bool periodic) {
    BiquadState shelf{kWeightingShelf(sampleRate)}, highPass{kWeightingHighPass(sampleRate)};
    if (periodic)
        for (const float x : samples) highPass.process(shelf.process(x));
    std::vector<double> squares(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        const double y = highPass.process(shelf.process(samples[i]));
        squares[i] = y * y;
    }
    return squares;
}

double loudnessOf(double meanSquare) {
    return meanSquare > 0.0 ? -0.691 + 10.0 * std::log10(meanSquare) : -std::numeric_limits<double>::infinity();
}

std::vector<double> momentaryLoudness(const std::vector<float>& samples, int sampleRate, bool periodic,
                                      int hopSamples) {
    std::vector<double> levels = windowMeanSquares(samples, sampleRate, periodic, std::max(1, hopSamples));
    for (double& level : levels) level = loudnessOf(level);
    return levels;
}

double momentaryMaxLoudness(const std::vector<float>& samples, int sampleRate, bool periodic) {
    const std::vector<double> means = windowMeanSquares(samples, sampleRate, periodic, 1);
    return means.empty() ? -std::numeric_limits<double>::infinity()
                         : loudnessOf(*std::max_element(means.begin(), means.end()));
}

double integratedLoudness(const std::vector<float>& samples, int sampleRate, bool periodic) {
    const int step = static_cast<int>(std::lround(kBlockStepSeconds * sampleRate));
    std::vector<double> blocks = windowMeanSquares(samples, sampleRate, periodic, step);
    if (!periodic) {
        // A one-shot's blocks lie wholly within the sound: the first starts at its start.
        const size_t leading = static_cast<size_t>(windowLength(sampleRate) / step);
        const size_t whole = samples.size() >= static_cast<size_t>(windowLength(sampleRate))
                                 ? (samples.size() - windowLength(sampleRate)) / step + 1
                                 : 0;
        blocks = std::vector<double>(blocks.begin() + std::min(leading, blocks.size()),
                                     blocks.begin() + std::min(leading + whole, blocks.size()));
    }
    const auto gatedMean = [&](double gate) {
        double sum = 0.0;
        size_t count = 0;
        for (const double block : blocks)
            if (loudnessOf(block) > gate) sum += block, ++count;
        return count > 0 ? sum / static_cast<double>(count) : 0.0;
    };
    const double relativeGate = loudnessOf(gatedMean(kAbsoluteGate)) + kRelativeGate;
    return loudnessOf(gatedMean(std::max(kAbsoluteGate, relativeGate)));
}

}  // namespace omxtest
