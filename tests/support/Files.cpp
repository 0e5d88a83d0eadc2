// Files.cpp -- temporary folders and small file helpers shared by the test programs.
#include "support/Files.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace omxtest {

TempFolder::TempFolder(const std::string& tag) : owner_(static_cast<int>(getpid())) {
    std::string pattern = (fs::temp_directory_path() / ("omnivex-" + tag + "-XXXXXX")).string();
    if (mkdtemp(pattern.data())) path_ = pattern;
}

TempFolder::~TempFolder() {
    if (path_.empty() || getpid() != owner_) return;
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

const std::string& scratchFolder() {
    // Kept alive until exit, so that it is removed after every other static that may still use it.
    static const std::unique_ptr<TempFolder> folder = std::make_unique<TempFolder>("scratch");
    return folder->path();
}

std::string scratchFile(const std::string& name, const std::string& bytes) {
    const std::string path = scratchFolder() + "/" + name;
    writeFile(path, bytes);
    return path;
}

std::string scratchFile(const std::string& name, const std::vector<unsigned char>& bytes) {
    return scratchFile(name, std::string(bytes.begin(), bytes.end()));
}

bool writeFile(const std::string& path, const std::string& bytes) {
    std::error_code ignored;
    const fs::path parent = fs::path(path).parent_path();
    if (!parent.empty()) fs::create_directories(parent, ignored);
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
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

std::string capturedStdout(const std::function<void()>& work) {
    testing::internal::CaptureStdout();
    work();
    return testing::internal::GetCapturedStdout();
}

std::string capturedStderr(const std::function<void()>& work) {
    testing::internal::CaptureStderr();
    work();
    return testing::internal::GetCapturedStderr();
}

}  // namespace omxtest
