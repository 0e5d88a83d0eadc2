// Files.h -- temporary folders, whole-file reads and writes, and captured output, for every test program.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace omxtest {

// A fresh folder under the system's temporary folder, removed with the object (never by a forked child).
class TempFolder {
public:
    explicit TempFolder(const std::string& tag);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool ok() const { return !path_.empty(); }
    const std::string& path() const { return path_; }
    // path()/name.
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
    int owner_ = 0;
};

// One folder for the whole test process, made on first use and removed at exit.
const std::string& scratchFolder();
// Writes the bytes to scratchFolder()/name and returns the full path.
std::string scratchFile(const std::string& name, const std::string& bytes);
std::string scratchFile(const std::string& name, const std::vector<unsigned char>& bytes);

// Writes the bytes to a new or emptied file, making its folder; false when that fails.
bool writeFile(const std::string& path, const std::string& bytes);
// The whole file, or "" when it cannot be read.
std::string readFile(const std::string& path);
// The regular files of a folder (not its subfolders), sorted by name.
std::vector<std::string> filesIn(const std::string& folder);
// The lines of a text, without their line ends.
std::vector<std::string> linesOf(const std::string& text);

// What `work` printed on standard output (and, with the second, on standard error).
std::string capturedStdout(const std::function<void()>& work);
std::string capturedStderr(const std::function<void()>& work);

}  // namespace omxtest
