// RenderScale.cpp -- the render scale's option, its default by driver, and its controller.
#include "render/RenderScale.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "assets/Texture.h"

namespace {

constexpr double slowerThanTarget = 1.08;   // a median above 108 % of the target lowers the scale
constexpr double aimBelowTarget = 0.92;     // ... to the scale predicted to need 92 %
constexpr double roomToSpare = 0.80;        // medians under 80 % ...
constexpr double predictedHeadroom = 0.85;  // ... let it rise a step predicted to need under 85 %
constexpr int roomyWindowsToRise = 3;
constexpr int largestFall = 3;              // steps per change
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
    : steps(clampSteps(static_cast<int>(std::lround(start * 20.0f)))) {}

bool RenderScaleController::addFrame(double seconds) {
    if (!(seconds > 0.0)) return false;
    seconds = std::min(seconds, longestFrame);
    frames.push_back(seconds);
    framesSeconds += seconds;
    if (framesSeconds < 1.0) return false;

    const auto middle = frames.begin() + static_cast<std::ptrdiff_t>(frames.size() / 2);
    std::nth_element(frames.begin(), middle, frames.end());
    const double median = *middle;
    frames.clear();
    framesSeconds = 0.0;
    if (settling > 0) {
        --settling;
        return false;
    }

    // Frame time taken to grow with the number of pixels drawn, the square of the scale.
    const double now = scale();
    int next = steps;
    if (median > targetSeconds * slowerThanTarget) {
        roomyWindows = 0;
        const double wanted = now * std::sqrt(targetSeconds * aimBelowTarget / median);
        next = std::max(static_cast<int>(std::floor(wanted * 20.0 + 1e-9)), steps - largestFall);
        next = std::min(next, steps - 1);
    } else if (median < targetSeconds * roomToSpare && steps < highestSteps) {
        const double up = (steps + 1) * 0.05;
        const bool fits = median * (up * up) / (now * now) < targetSeconds * predictedHeadroom;
        roomyWindows = fits ? roomyWindows + 1 : 0;
        if (roomyWindows >= roomyWindowsToRise) {
            next = steps + 1;
            roomyWindows = 0;
        }
    } else {
        roomyWindows = 0;
    }
    next = clampSteps(next);
    if (next == steps) return false;
    steps = next;
    settling = 1;
    return true;
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
