// DamagedInstall.cpp -- temporary install copies, file damage and the game run from a chosen folder.
#include "DamagedInstall.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>

#include "HardeningFiles.h"

namespace hardening {
namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

bool run(const std::string& command) { return std::system(command.c_str()) == 0; }

std::string freshFolder(const std::string& stem) {
    std::string pattern = "/tmp/omnivex-" + stem + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    return mkdtemp(buffer.data()) ? std::string(buffer.data()) : std::string();
}

}  // namespace

void withoutLeakCheck() {
    const char* options = std::getenv("ASAN_OPTIONS");
    const std::string joined = std::string(options ? options : "") + (options && *options ? ":" : "") + "detect_leaks=0";
    setenv("ASAN_OPTIONS", joined.c_str(), 1);
}

const char* damageName(Damage damage) {
    switch (damage) {
        case Damage::Missing: return "missing";
        case Damage::Empty: return "empty";
        case Damage::Truncated: return "truncated";
        case Damage::RandomBytes: return "random";
    }
    return "?";
}

Install::Install(const std::string& label) : folder_(freshFolder("install-" + label)) {
    if (folder_.empty()) return;
    const std::string build = OMNIVEX_BINARY_DIR;
    // Hard links first (fast, no space); a plain copy where the temporary folder is on another file system.
    ok_ = run("cp -al '" + build + "/resources' '" + build + "/shaders' '" + folder_ + "/' 2>/dev/null") ||
          run("rm -rf '" + folder_ + "'/* && cp -a '" + build + "/resources' '" + build + "/shaders' '" + folder_ +
              "/'");
}

Install::~Install() {
    if (!folder_.empty() && !run("rm -rf '" + folder_ + "'")) {
    }
}

bool Install::damage(const std::string& relativePath, Damage damage, size_t keepBytes) {
    const std::string path = folder_ + "/" + relativePath;
    const std::string original = readFile(path);
    if (original.empty() || unlink(path.c_str()) != 0) return false;
    switch (damage) {
        case Damage::Missing: return true;
        case Damage::Empty: return writeFile(path, std::string());
        case Damage::Truncated: return writeFile(path, original.substr(0, keepBytes ? keepBytes : original.size() / 2));
        case Damage::RandomBytes: {
            std::mt19937 random(20261206u);
            std::string bytes(original.size(), '\0');
            for (char& c : bytes) c = static_cast<char>(random() & 0xff);
            return writeFile(path, bytes);
        }
    }
    return false;
}

InstalledGame::InstalledGame(const std::string& folder, const std::string& display,
                             const std::vector<std::string>& args) {
    const std::string logs = freshFolder("damaged-game");
    outPath_ = logs + "/out";
    errPath_ = logs + "/err";
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.c_str()) != 0) _exit(126);
        setenv("DISPLAY", display.c_str(), 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        withoutLeakCheck();
        const int out = open(outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        std::string binary = OMNIVEX_GAME_BINARY;
        std::vector<std::string> copies(args);
        std::vector<char*> argv{binary.data()};
        for (std::string& a : copies) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(binary.c_str(), argv.data());
        _exit(127);
    }
    pid_ = pid;
}

InstalledGame::~InstalledGame() {
    if (running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    const std::string logs = outPath_.substr(0, outPath_.size() - 4);
    if (!run("rm -rf '" + logs + "'")) {
    }
}

bool InstalledGame::running() {
    if (pid_ <= 0 || exited_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        status_ = status;
        return false;
    }
    return true;
}

bool InstalledGame::waitForOutput(const std::string& text, double timeoutSeconds) {
    const auto start = Clock::now();
    for (;;) {
        if (standardOutput().find(text) != std::string::npos) return true;
        if (!running() || secondsSince(start) > timeoutSeconds)
            return standardOutput().find(text) != std::string::npos;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

std::string InstalledGame::standardOutput() const { return readFile(outPath_); }
std::string InstalledGame::standardError() const { return readFile(errPath_); }

int InstalledGame::waitForExit(double timeoutSeconds) {
    const auto start = Clock::now();
    while (running()) {
        if (secondsSince(start) > timeoutSeconds) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            exited_ = true;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (WIFEXITED(status_)) return WEXITSTATUS(status_);
    if (WIFSIGNALED(status_)) return -1000 - WTERMSIG(status_);
    return -2;
}

}  // namespace hardening
