// DamagedInstall.h -- a private copy of the game's install (resources/ and shaders/) with one file damaged;
// tests start the real game from it with omxtest::GameProcess.
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

}  // namespace hardening
