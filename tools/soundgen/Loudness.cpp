// Loudness.cpp -- K-weighted loudness (400 ms windows, gating) and the look-ahead peak limiter.
#include "Loudness.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>

namespace soundgen {

namespace {

constexpr int kWindow = kSampleRate * 4 / 10;  // 400 ms
constexpr int kHop = kSampleRate / 100;        // 10 ms between momentary windows
constexpr int kBlockHop = kSampleRate / 10;    // 100 ms between gating blocks

// Two cascaded sections: the head's high shelf and the bass roll-off (ITU-R BS.1770), in double precision.
struct KWeighting {
    double s[5], h[5];  // b0 b1 b2 a1 a2 of each section
    double s1 = 0, s2 = 0, h1 = 0, h2 = 0;

    KWeighting() {
        const double pi = 3.14159265358979323846;
        double k = std::tan(pi * 1681.974450955533 / kSampleRate);
        const double q = 0.7071752369554196, vh = std::pow(10.0, 3.999843853973347 / 20.0);
        const double vb = std::pow(vh, 0.4996667741545416);
        double a0 = 1.0 + k / q + k * k;
        s[0] = (vh + vb * k / q + k * k) / a0;
        s[1] = 2.0 * (k * k - vh) / a0;
        s[2] = (vh - vb * k / q + k * k) / a0;
        s[3] = 2.0 * (k * k - 1.0) / a0;
        s[4] = (1.0 - k / q + k * k) / a0;
        k = std::tan(pi * 38.13547087602444 / kSampleRate);
        const double qh = 0.5003270373238773;
        a0 = 1.0 + k / qh + k * k;
        h[0] = 1.0, h[1] = -2.0, h[2] = 1.0;
        h[3] = 2.0 * (k * k - 1.0) / a0;
        h[4] = (1.0 - k / qh + k * k) / a0;
    }
    double process(double x) {
        const double y = s[0] * x + s1;
        s1 = s[1] * x - s[3] * y + s2;
        s2 = s[2] * x - s[4] * y;
        const double z = h[0] * y + h1;
        h1 = h[1] * y - h[3] * z + h2;
        h2 = h[2] * y - h[4] * z;
        return z;
    }
};

// Running sums of the K-weighted squares: a loop followed by its own first window (it runs round), a one-shot
// between a window of silence on either side.
std::vector<double> weightedEnergySums(const Samples& sound, bool looped) {
    KWeighting filter;
    if (looped)
        for (const float x : sound) filter.process(x);
    std::vector<double> squares;
    squares.reserve(sound.size() + 2 * kWindow);
    if (!looped) squares.assign(kWindow, 0.0);
    for (const float x : sound) {
        const double y = filter.process(x);
        squares.push_back(y * y);
    }
    if (looped)
        for (size_t i = 0; i < static_cast<size_t>(kWindow) && !sound.empty(); ++i)
            squares.push_back(squares[i % sound.size()]);
    else
        squares.insert(squares.end(), kWindow, 0.0);
    std::vector<double> sums(squares.size() + 1, 0.0);
    for (size_t i = 0; i < squares.size(); ++i) sums[i + 1] = sums[i] + squares[i];
    return sums;
}

double lufs(double meanSquare) {
    return meanSquare > 0.0 ? -0.691 + 10.0 * std::log10(meanSquare) : -std::numeric_limits<double>::infinity();
}

double windowMean(const std::vector<double>& sums, size_t start) {
    return std::max(0.0, sums[start + kWindow] - sums[start]) / kWindow;
}

}  // namespace

double momentaryMaxLufs(const Samples& sound) {
    const std::vector<double> sums = weightedEnergySums(sound, false);
    double loudest = 0.0;
    for (size_t start = 0; start + kWindow < sums.size(); start += kHop) loudest = std::max(loudest, windowMean(sums, start));
    return lufs(loudest);
}

double integratedLufs(const Samples& loop) {
    const std::vector<double> sums = weightedEnergySums(loop, true);
    std::vector<double> blocks;
    for (size_t start = 0; start < loop.size(); start += kBlockHop) blocks.push_back(windowMean(sums, start));
    const auto meanAbove = [&](double gate) {
        double sum = 0.0;
        int count = 0;
        for (const double b : blocks)
            if (lufs(b) > gate) sum += b, ++count;
        return count > 0 ? sum / count : 0.0;
    };
    const double absoluteGate = -70.0;
    return lufs(meanAbove(std::max(absoluteGate, lufs(meanAbove(absoluteGate)) - 10.0)));
}

void limitPeaks(Samples& sound, float ceiling, bool looped) {
    const long n = static_cast<long>(sound.size());
    if (n == 0) return;
    const long lookAhead = secondsToSamples(0.002);
    const auto at = [&](long i) { return looped ? ((i % n) + n) % n : std::clamp(i, 0L, n - 1); };
    // The gain each sample needs on its own.
    std::vector<float> needed(static_cast<size_t>(n));
    for (long i = 0; i < n; ++i) {
        const float magnitude = std::fabs(sound[i]);
        needed[i] = magnitude > ceiling ? ceiling / magnitude : 1.0f;
    }
    // The least of it within the look-ahead on either side (a sliding minimum).
    std::vector<float> held(static_cast<size_t>(n));
    std::deque<long> window;
    for (long i = -lookAhead; i < n + lookAhead; ++i) {
        while (!window.empty() && needed[at(window.back())] >= needed[at(i)]) window.pop_back();
        window.push_back(i);
        while (window.front() < i - 2 * lookAhead) window.pop_front();
        if (i - lookAhead >= 0) held[i - lookAhead] = needed[at(window.front())];
    }
    // Slow recovery: the gain rises back towards 1 by a one-pole step, never above what is held; a loop runs
    // round twice so its start recovers from its end.
    const float release = static_cast<float>(1.0 - std::exp(-1.0 / (0.06 * kSampleRate)));
    std::vector<float> gain(held);
    float g = 1.0f;
    for (int pass = looped ? 2 : 1; pass > 0; --pass)
        for (long i = 0; i < n; ++i) {
            g = std::min(held[i], g + (1.0f - g) * release);
            gain[i] = g;
        }
    // Smoothed over the look-ahead: every averaged value is no more than what the peak in its reach needs.
    const long half = lookAhead / 2;
    double sum = 0.0;
    for (long i = -half; i <= half; ++i) sum += gain[at(i)];
    for (long i = 0; i < n; ++i) {
        const float smooth = static_cast<float>(sum / (2 * half + 1));
        sum += gain[at(i + half + 1)] - gain[at(i - half)];
        sound[i] *= smooth;
    }
}

void setLoudness(Samples& sound, double target, bool looped, float ceiling) {
    for (int round = 0; round < 6; ++round) {
        const double measured = looped ? integratedLufs(sound) : momentaryMaxLufs(sound);
        if (!std::isfinite(measured)) return;
        float peak = 0.0f;
        for (const float x : sound) peak = std::max(peak, std::fabs(x));
        if (std::fabs(measured - target) < 0.05 && peak <= ceiling) return;
        const float scale = static_cast<float>(std::pow(10.0, (target - measured) / 20.0));
        for (float& x : sound) x *= scale;
        limitPeaks(sound, ceiling, looped);
    }
}

}  // namespace soundgen
