// EndToEnd.cpp -- private Xvfb servers, the game as a child process, X input and window requests.
#include "support/EndToEnd.h"

#include <csignal>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "support/Wait.h"

namespace omxtest {
namespace {

// Depth-first search for a window whose WM_NAME equals title.
Window findWindow(Display* display, Window root, const std::string& title) {
    char* name = nullptr;
    if (XFetchName(display, root, &name) && name) {
        const bool match = title == name;
        XFree(name);
        if (match) return root;
    }
    Window rootReturn = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(display, root, &rootReturn, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i) found = findWindow(display, children[i], title);
        if (children) XFree(children);
    }
    return found;
}

}  // namespace

VirtualDisplay::VirtualDisplay(const std::string& screen) {
    int fds[2];
    if (pipe(fds) != 0) return;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const int devnull = open("/dev/null", O_RDWR);
        dup2(devnull, STDOUT_FILENO);
        dup2(devnull, STDERR_FILENO);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return;
    }
    pid_ = pid;
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (!number.empty()) name_ = ":" + number;
}

VirtualDisplay::~VirtualDisplay() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

GameProcess::GameProcess(const std::vector<std::string>& args, const std::string& display,
                         const std::string& workingFolder, const std::string& binary,
                         const Environment& environment)
    : outputs_("game"), outPath_(outputs_ / "out"), errPath_(outputs_ / "err") {
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(workingFolder.c_str()) != 0) _exit(126);
        if (display.empty())
            unsetenv("DISPLAY");
        else
            setenv("DISPLAY", display.c_str(), 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        const char* sanitizerOptions = std::getenv("ASAN_OPTIONS");
        const std::string noLeakCheck =
            std::string(sanitizerOptions && *sanitizerOptions ? std::string(sanitizerOptions) + ":" : "") + "detect_leaks=0";
        setenv("ASAN_OPTIONS", noLeakCheck.c_str(), 1);
        for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
        const int out = open(outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        std::vector<char*> argv;
        std::string program = binary;
        argv.push_back(program.data());
        std::vector<std::string> copies(args);
        for (std::string& a : copies) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    pid_ = pid;
}

GameProcess::~GameProcess() {
    if (running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

bool GameProcess::running() {
    if (pid_ <= 0 || exited_) return false;
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
        exited_ = true;
        status_ = status;
        return false;
    }
    return true;
}

bool GameProcess::sendSignal(int signal) { return running() && kill(pid_, signal) == 0; }

bool GameProcess::waitForOutput(const std::string& text, double timeoutSeconds) {
    const auto printed = [&] { return standardOutput().find(text) != std::string::npos; };
    waitUntil([&] { return printed() || !running(); }, timeoutSeconds);
    return printed();
}

std::string GameProcess::standardOutput() const { return readFile(outPath_); }
std::string GameProcess::standardError() const { return readFile(errPath_); }

int GameProcess::waitForExit(double timeoutSeconds) {
    if (!waitUntil([this] { return !running(); }, timeoutSeconds)) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        exited_ = true;
        return -1;
    }
    if (WIFEXITED(status_)) return WEXITSTATUS(status_);
    if (WIFSIGNALED(status_)) return -1000 - WTERMSIG(status_);
    return -2;
}

int xdotool(const std::string& display, const std::string& arguments) {
    const std::string command = "DISPLAY=" + display + " xdotool " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool waitForWindow(const std::string& display, const std::string& title, double timeoutSeconds) {
    return waitUntil(
        [&] {
            Display* x = XOpenDisplay(display.c_str());
            if (!x) return false;
            const Window w = findWindow(x, DefaultRootWindow(x), title);
            XCloseDisplay(x);
            return w != 0;
        },
        timeoutSeconds, 0.1);
}

bool requestWindowClose(const std::string& display, const std::string& title) {
    Display* x = XOpenDisplay(display.c_str());
    if (!x) return false;
    const Window w = findWindow(x, DefaultRootWindow(x), title);
    if (!w) {
        XCloseDisplay(x);
        return false;
    }
    XEvent event;
    std::memset(&event, 0, sizeof(event));
    event.xclient.type = ClientMessage;
    event.xclient.window = w;
    event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(x, w, False, NoEventMask, &event);
    XFlush(x);
    XCloseDisplay(x);
    return sent != 0;
}

bool focusWindow(const std::string& display, const std::string& title) {
    Display* x = XOpenDisplay(display.c_str());
    if (!x) return false;
    const Window w = title.empty() ? DefaultRootWindow(x) : findWindow(x, DefaultRootWindow(x), title);
    if (w) {
        XSetInputFocus(x, w, RevertToParent, CurrentTime);
        XSync(x, False);
    }
    XCloseDisplay(x);
    return w != 0;
}

std::vector<Image> windowIcons(const std::string& display, const std::string& title) {
    std::vector<Image> icons;
    Display* x = XOpenDisplay(display.c_str());
    if (!x) return icons;
    const Window w = findWindow(x, DefaultRootWindow(x), title);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    const Atom property = XInternAtom(x, "_NET_WM_ICON", False);
    if (w && XGetWindowProperty(x, w, property, 0, 1L << 24, False, XA_CARDINAL, &type, &format, &count, &left,
                                &data) == Success && data && format == 32) {
        // Xlib hands 32-bit items over as longs: width, height, then that many ARGB pixels, for each icon.
        const long* const items = reinterpret_cast<const long*>(data);
        for (unsigned long at = 0; at + 2 <= count;) {
            Image icon;
            icon.width = static_cast<int>(items[at]);
            icon.height = static_cast<int>(items[at + 1]);
            const unsigned long pixels =
                static_cast<unsigned long>(icon.width) * static_cast<unsigned long>(icon.height);
            at += 2;
            if (icon.width <= 0 || icon.height <= 0 || at + pixels > count) break;
            for (unsigned long i = 0; i < pixels; ++i) {
                const unsigned long argb = static_cast<unsigned long>(items[at + i]);
                for (const int shift : {16, 8, 0, 24}) icon.rgba.push_back(static_cast<unsigned char>(argb >> shift));
            }
            at += pixels;
            icons.push_back(std::move(icon));
        }
    }
    if (data) XFree(data);
    XCloseDisplay(x);
    return icons;
}

bool screenshotWindow(const std::string& display, const std::string& title, const std::string& pngPath) {
    Display* x = XOpenDisplay(display.c_str());
    if (!x) return false;
    const Window w = findWindow(x, DefaultRootWindow(x), title);
    XCloseDisplay(x);
    if (!w) return false;
    const std::string command = "DISPLAY=" + display + " import -window " + std::to_string(w) + " '" + pngPath +
                                "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

}  // namespace omxtest

namespace omxtest {

bool captureWindow(const std::string& display, const std::string& title, Image& image) {
    Display* x = XOpenDisplay(display.c_str());
    if (!x) return false;
    const Window w = findWindow(x, DefaultRootWindow(x), title);
    XWindowAttributes attributes;
    XImage* picture = nullptr;
    if (w && XGetWindowAttributes(x, w, &attributes) && attributes.map_state == IsViewable)
        picture = XGetImage(x, w, 0, 0, static_cast<unsigned>(attributes.width), static_cast<unsigned>(attributes.height),
                            AllPlanes, ZPixmap);
    if (picture) {
        // Each channel's mask, shifted down to its lowest bit and scaled to 0..255.
        const auto channel = [](unsigned long pixel, unsigned long mask) {
            if (mask == 0) return static_cast<unsigned char>(0);
            int shift = 0;
            while (!((mask >> shift) & 1ul)) ++shift;
            const unsigned long top = mask >> shift;
            return static_cast<unsigned char>(((pixel & mask) >> shift) * 255ul / top);
        };
        image.width = picture->width;
        image.height = picture->height;
        image.rgba.assign(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4, 255);
        for (int row = 0; row < image.height; ++row)
            for (int column = 0; column < image.width; ++column) {
                const unsigned long pixel = XGetPixel(picture, column, row);
                unsigned char* out =
                    &image.rgba[(static_cast<std::size_t>(row) * static_cast<std::size_t>(image.width) + column) * 4];
                out[0] = channel(pixel, picture->red_mask);
                out[1] = channel(pixel, picture->green_mask);
                out[2] = channel(pixel, picture->blue_mask);
            }
        XDestroyImage(picture);
    }
    XCloseDisplay(x);
    return picture != nullptr;
}

}  // namespace omxtest
