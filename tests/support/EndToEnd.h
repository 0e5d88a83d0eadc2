// EndToEnd.h -- run the real game binary on a private virtual X display and talk to it like a player.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "support/Files.h"
#include "support/Image.h"

namespace omxtest {

// A private Xvfb server (started on a free display number, stopped with the object).
class VirtualDisplay {
public:
    explicit VirtualDisplay(const std::string& screen = "1280x1024x24");
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool ok() const { return !name_.empty(); }
    const std::string& name() const { return name_; }  // e.g. ":57"

private:
    int pid_ = -1;
    std::string name_;
};

// The game binary (the one just built unless told otherwise), started in a folder that holds its shaders/
// and resources/ (the build folder unless told otherwise), with its output captured to files. In a
// sanitizer build the game runs without the leak check: its GL driver is unloaded before the check, so a
// report could not name what leaked.
class GameProcess {
public:
    // Variables set for the game on top of the test's own (SDL's silent audio driver unless replaced here).
    using Environment = std::vector<std::pair<std::string, std::string>>;
    // display "" runs it with no DISPLAY at all.
    GameProcess(const std::vector<std::string>& args, const std::string& display,
                const std::string& workingFolder = OMNIVEX_BINARY_DIR,
                const std::string& binary = OMNIVEX_GAME_BINARY, const Environment& environment = {});
    ~GameProcess();  // kills the game if it still runs
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    // Waits until standard output contains `text` (or the process ended / the time ran out).
    bool waitForOutput(const std::string& text, double timeoutSeconds);
    std::string standardOutput() const;
    std::string standardError() const;
    bool running();
    // Sends a signal to the game, as a terminal's Ctrl+C or a kill would; false when it has already ended.
    bool sendSignal(int signal);
    // Exit status, or -1000 - signal when killed by a signal, or -1 on timeout (the game is then killed).
    int waitForExit(double timeoutSeconds);

private:
    int pid_ = -1;
    int status_ = 0;
    bool exited_ = false;
    TempFolder outputs_;
    std::string outPath_;
    std::string errPath_;
};

// Runs xdotool with DISPLAY set; returns its exit status.
int xdotool(const std::string& display, const std::string& arguments);
// Sends the window manager's close request (WM_DELETE_WINDOW) to the window titled `title`.
bool requestWindowClose(const std::string& display, const std::string& title);
// True once a mapped window with this title exists.
bool waitForWindow(const std::string& display, const std::string& title, double timeoutSeconds);
// Gives the keyboard focus to the window titled `title`, or to the root window (the desktop) when the
// title is empty; false when there is no such window.
bool focusWindow(const std::string& display, const std::string& title);
// The icons the window titled `title` offers its window manager (_NET_WM_ICON), in the order given; empty when
// it offers none or there is no such window.
std::vector<Image> windowIcons(const std::string& display, const std::string& title);
// Saves the contents of the window titled `title` as a PNG file.
bool screenshotWindow(const std::string& display, const std::string& title, const std::string& pngPath);
// The contents of the window titled `title`, read straight from the X server (much quicker than a PNG file: for
// tests that look at many frames); false when there is no such window on show.
bool captureWindow(const std::string& display, const std::string& title, Image& image);

}  // namespace omxtest
