// DamagedInstall.h -- a private copy of the game's install (resources/ and shaders/) with one file damaged, and
// the real game binary run from it on a virtual display.
#pragma once

#include <string>
#include <vector>

namespace hardening {

enum class Damage { Missing, Empty, Truncated, RandomBytes };

const char* damageName(Damage damage);

// A copy of the build folder's resources/ and shaders/ in a fresh temporary folder, removed with the object.
// Files are hard links where the file system allows; a damaged file is always replaced, never written through.
class Install {
public:
    explicit Install(const std::string& label);
    ~Install();
    Install(const Install&) = delete;
    Install& operator=(const Install&) = delete;

    bool ok() const { return ok_; }
    const std::string& folder() const { return folder_; }

    // Damages the file at `relativePath`. A truncated file keeps the first `keepBytes` bytes (half the file
    // when keepBytes is 0); random bytes have the file's own length and come from a fixed seed.
    bool damage(const std::string& relativePath, Damage damage, size_t keepBytes = 0);

private:
    std::string folder_;
    bool ok_ = false;
};

// Adds detect_leaks=0 to ASAN_OPTIONS for processes started from now on. In the sanitizer build the game's
// GL driver is unloaded before the leak check runs, so what it keeps cannot be told apart from our own;
// the test programs themselves keep the leak check.
void withoutLeakCheck();

// The game binary started with `folder` as its working folder, its output captured to files, without the
// leak check (see withoutLeakCheck).
class InstalledGame {
public:
    InstalledGame(const std::string& folder, const std::string& display, const std::vector<std::string>& args = {});
    ~InstalledGame();  // kills the game if it still runs
    InstalledGame(const InstalledGame&) = delete;
    InstalledGame& operator=(const InstalledGame&) = delete;

    bool waitForOutput(const std::string& text, double timeoutSeconds);
    std::string standardOutput() const;
    std::string standardError() const;
    // Exit status, or -1000 - signal when killed by a signal, or -1 on timeout (the game is then killed).
    int waitForExit(double timeoutSeconds);

private:
    bool running();
    int pid_ = -1;
    int status_ = 0;
    bool exited_ = false;
    std::string outPath_;
    std::string errPath_;
};

}  // namespace hardening
