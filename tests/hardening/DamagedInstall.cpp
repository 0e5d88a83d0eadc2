// DamagedInstall.cpp -- temporary copies of the install with one file damaged.
#include "DamagedInstall.h"

#include <unistd.h>

#include <cstdlib>
#include <random>

#include "HardeningFiles.h"

namespace hardening {
namespace {

bool run(const std::string& command) { return std::system(command.c_str()) == 0; }

std::string freshFolder(const std::string& stem) {
    std::string pattern = "/tmp/omnivex-" + stem + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    return mkdtemp(buffer.data()) ? std::string(buffer.data()) : std::string();
}

}  // namespace

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

}  // namespace hardening
