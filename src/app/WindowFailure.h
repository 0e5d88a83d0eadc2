// WindowFailure.h -- why the game's window could not be opened, and what the player can do about it.
#pragma once

#include <string>

// The window system's error codes that tell the reasons apart (GLFW's values).
namespace windowError {
constexpr int apiUnavailable = 0x00010006;      // no OpenGL at all
constexpr int versionUnavailable = 0x00010007;  // no context of the version or profile asked for
}  // namespace windowError

struct WindowFailure {
    bool platformStarted = false;  // the window system was reached
    std::string display;           // the display named by the environment ("" when none is)
    int error = 0;                 // the window system's last error code (0: none)
    std::string description;       // ... in its own words
    int offeredMajor = 0;          // the OpenGL version a context without requests gets (0.0: none, or not tried)
    int offeredMinor = 0;
};

// One line for standard error, after "Failed to initialize OpenGL window.": the reason (no display, a display
// that cannot be opened, OpenGL below 3.3 with the version found, no OpenGL, or the window system's own words)
// and what to do about it.
std::string windowFailureLine(const WindowFailure& failure);
