// HardeningFiles.cpp -- scratch folder per test process and small file helpers.
#include "HardeningFiles.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace hardening {
namespace {

struct ScratchFolder {
    std::string path;
    ScratchFolder() : path("/tmp/omnivex-hardening-" + std::to_string(getpid())) {
        if (std::system(("rm -rf '" + path + "' && mkdir -p '" + path + "'").c_str()) != 0) path = "/tmp";
    }
    ~ScratchFolder() {
        if (path != "/tmp" && std::system(("rm -rf '" + path + "'").c_str()) != 0) {
        }
    }
};

}  // namespace

const std::string& scratchDirectory() {
    static const ScratchFolder folder;
    return folder.path;
}

std::string scratchFile(const std::string& name, const std::string& bytes) {
    const std::string path = scratchDirectory() + "/" + name;
    writeFile(path, bytes);
    return path;
}

bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
    return static_cast<bool>(file);
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir))
            if (entry->d_type == DT_REG) names.emplace_back(entry->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace hardening
