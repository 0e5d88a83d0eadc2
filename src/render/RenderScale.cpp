// RenderScale.cpp -- the render scale's option, its default by driver, and its controller.
#include "render/RenderScale.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "assets/Texture.h"

namespace {

constexpr double slowerThanTarget = 1.08;   // a median above 108 % of the target is slow ...
constexpr double aimBelowTarget = 0.92;     // ... and lowers the scale to the one predicted to need 92 %
constexpr double roomToSpare = 0.80;        // medians under 80 % ...
constexpr double predictedHeadroom = 0.85;  // ... let it rise to the highest step predicted under 85 %
constexpr int slowWindowsToFall = 2;        // once the first settling is over
constexpr double holdSeconds = 5.0;         // between two changes, once the first settling is over
constexpr int firstRoomyWindowsToRise = 5;
constexpr int mostRoomyWindowsToRise = 40;
constexpr double regretSeconds = 30.0;      // a fall this soon after a rise makes the next rise wait longer
constexpr double longestFrame = 0.25;       // a longer frame (a hitch) counts as this long

int clampSteps(int steps) {
    return std::clamp(steps, RenderScaleController::lowestSteps, RenderScaleController::highestSteps);
}

}  // namespace

bool parseRenderScale(const std::string& text, RenderScaleSetting& setting) {
    if (text == "auto") {
        setting.given = true;
        setting.automatic = true;
        return true;
    }
    if (text.empty()) return false;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value) || value < 0.5 || value > 1.0) return false;
    setting.given = true;
    setting.automatic = false;
    setting.fixed = static_cast<float>(value);
    return true;
}

RenderScaleSetting chooseRenderScale(const RenderScaleSetting& commandLine, const std::string& renderer) {
    if (commandLine.given) return commandLine;
    RenderScaleSetting setting;
    setting.automatic = isSoftwareRasterizer(renderer);
    return setting;
}

RenderScaleController::RenderScaleController(float start)
    : steps(clampSteps(static_cast<int>(std::lround(start * 20.0f)))), roomyWindowsToRise(firstRoomyWindowsToRise) {}

bool RenderScaleController::addFrame(double seconds) {
    if (!(seconds > 0.0)) return false;
    seconds = std::min(seconds, longestFrame);
    frames.push_back(seconds);
    framesSeconds += seconds;
    if (framesSeconds < 1.0) return false;

    const auto middle = frames.begin() + static_cast<std::ptrdiff_t>(frames.size() / 2);
    std::nth_element(frames.begin(), middle, frames.end());
    const double median = *middle;
    const double windowSeconds = framesSeconds;
    frames.clear();
    framesSeconds = 0.0;
    return judgeWindow(median, windowSeconds);
}

bool RenderScaleController::judgeWindow(double median, double windowSeconds) {
    sinceChange += windowSeconds;
    sinceRise += windowSeconds;
    if (settling > 0) {
        --settling;
        return false;
    }

    // Frame time taken to grow with the number of pixels drawn, the square of the scale. A frame also has
    // work that does not shrink with the scale, so this over-estimates a rise (it stays on the safe side)
    // and under-estimates a fall (the first settling may take a few falls).
    const double now = scale();
    if (median > targetSeconds * slowerThanTarget) {
        roomyWindows = 0;
        ++slowWindows;
        if (!firstSettling && (slowWindows < slowWindowsToFall || sinceChange < holdSeconds)) return false;
        const double wanted = now * std::sqrt(targetSeconds * aimBelowTarget / median);
        const int next = clampSteps(std::min(static_cast<int>(std::floor(wanted * 20.0 + 1e-9)), steps - 1));
        if (next == steps) return false;
        if (sinceRise < regretSeconds) roomyWindowsToRise = std::min(roomyWindowsToRise * 2, mostRoomyWindowsToRise);
        changeTo(next);
        return true;
    }
    firstSettling = false;
    slowWindows = 0;
    if (median >= targetSeconds * roomToSpare || steps == highestSteps) {
        roomyWindows = 0;
        return false;
    }
    slowestRoomy = roomyWindows == 0 ? median : std::max(slowestRoomy, median);
    if (++roomyWindows < roomyWindowsToRise || sinceChange < holdSeconds) return false;
    int next = steps;
    while (next < highestSteps) {
        const double up = (next + 1) * 0.05;
        if (slowestRoomy * (up * up) / (now * now) >= targetSeconds * predictedHeadroom) break;
        ++next;
    }
    if (next == steps) return false;
    changeTo(next);
    sinceRise = 0.0;
    return true;
}

void RenderScaleController::changeTo(int next) {
    steps = next;
    settling = 1;
    sinceChange = 0.0;
    slowWindows = 0;
    roomyWindows = 0;
}

std::string renderScaleLine(float scale) {
    char text[32];
    std::snprintf(text, sizeof text, "Render scale: %.2f", static_cast<double>(scale));
    return text;
}

SceneSize sceneSizeFor(int windowWidth, int windowHeight, float scale, int largest) {
    const auto side = [](double length) { return std::max(1, static_cast<int>(std::lround(length))); };
    const double width = static_cast<double>(windowWidth) * static_cast<double>(scale);
    const double height = static_cast<double>(windowHeight) * static_cast<double>(scale);
    SceneSize size{side(width), side(height)};
    if (largest > 0 && (size.width > largest || size.height > largest)) {
        const double shrink = static_cast<double>(largest) / static_cast<double>(std::max(size.width, size.height));
        size.width = std::min(largest, side(size.width * shrink));
        size.height = std::min(largest, side(size.height * shrink));
    }
    return size;
}
