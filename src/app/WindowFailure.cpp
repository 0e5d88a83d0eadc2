// WindowFailure.cpp -- the line that says why the window could not be opened.
#include "app/WindowFailure.h"

namespace {

const char* const startFromADesktop =
    "start the game from a desktop session, or under xvfb-run on a machine without a display.";

std::string inParentheses(const std::string& text) { return text.empty() ? "" : " (" + text + ")"; }

}  // namespace

std::string windowFailureLine(const WindowFailure& failure) {
    if (!failure.platformStarted && failure.display.empty())
        return std::string("There is no display to open the window on (DISPLAY is not set): ") + startFromADesktop;
    if (!failure.platformStarted)
        return "The display \"" + failure.display + "\" cannot be opened" + inParentheses(failure.description) +
               ": " + startFromADesktop;
    const bool below33 = failure.offeredMajor < 3 || (failure.offeredMajor == 3 && failure.offeredMinor < 3);
    if (failure.offeredMajor > 0 && below33)
        return "The graphics driver offers OpenGL " + std::to_string(failure.offeredMajor) + "." +
               std::to_string(failure.offeredMinor) +
               ", and the game needs 3.3 (core profile): update the graphics driver, or use Mesa's software "
               "renderer (start the game with LIBGL_ALWAYS_SOFTWARE=1).";
    if (failure.error == windowError::apiUnavailable || failure.error == windowError::versionUnavailable)
        return "The graphics driver offers no OpenGL 3.3 core profile" + inParentheses(failure.description) +
               ": install or update the graphics driver (Mesa's is in the package libgl1-mesa-dri).";
    return "The window system refused the window" + inParentheses(failure.description) + ": " + startFromADesktop;
}
