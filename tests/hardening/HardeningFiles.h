// HardeningFiles.h -- scratch files and folders for the hardening tests, removed when the test process ends.
#pragma once

#include <string>
#include <vector>

namespace hardening {

// A fresh folder for this test process (created on first use, removed at exit).
const std::string& scratchDirectory();

// Writes the bytes to scratchDirectory()/name and returns the full path.
std::string scratchFile(const std::string& name, const std::string& bytes);

// Writes the bytes to a new or emptied file; false when that fails.
bool writeFile(const std::string& path, const std::string& bytes);

// The whole file, or "" when it cannot be read.
std::string readFile(const std::string& path);

// The files of a folder (not its subfolders), sorted by name.
std::vector<std::string> filesIn(const std::string& folder);

}  // namespace hardening
