// DataFolder.cpp -- choosing the folder of shaders/ and resources/, relative to the program when needed.
#include "app/DataFolder.h"

#include <filesystem>
#include <ostream>
#include <system_error>

#include "game/WorldConstants.h"

namespace fs = std::filesystem;

// An installed game keeps its data here, relative to the program's folder.
#ifndef OMNIVEX_DATA_FROM_PROGRAM
#define OMNIVEX_DATA_FROM_PROGRAM "../share/omnivex"
#endif

namespace {

std::string withSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

std::string shownName(const std::string& folder) {
    std::error_code error;
    const fs::path absolute = fs::absolute(folder.empty() ? fs::path(".") : fs::path(folder), error);
    if (error) return folder;
    const fs::path normal = absolute.lexically_normal();
    return (normal.has_filename() ? normal : normal.parent_path()).string();
}

}  // namespace

bool holdsGameData(const std::string& folder) {
    const fs::path base = folder.empty() ? fs::path(".") : fs::path(folder);
    std::error_code error;
    return fs::is_directory(base / "shaders", error) && fs::is_directory(base / "resources", error);
}

DataFolderSearch findDataFolder(const std::string& requested, const std::string& executable) {
    DataFolderSearch search;
    std::vector<std::string> candidates;
    if (!requested.empty()) {
        candidates.push_back(withSlash(requested));
    } else {
        candidates.push_back("");
        if (!executable.empty()) {
            const fs::path programFolder = fs::path(executable).parent_path();
            candidates.push_back(withSlash((programFolder / OMNIVEX_DATA_FROM_PROGRAM).lexically_normal().string()));
            candidates.push_back(withSlash(programFolder.empty() ? "." : programFolder.string()));
        }
    }
    for (const std::string& candidate : candidates) {
        search.lookedIn.push_back(shownName(candidate));
        if (holdsGameData(candidate)) {
            search.found = true;
            search.folder = candidate;
            return search;
        }
    }
    return search;
}

std::string executablePath() {
    std::error_code error;
    const fs::path path = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

bool useDataFolder(const std::string& requested, std::ostream& err) {
    const DataFolderSearch search = findDataFolder(requested, executablePath());
    if (!search.found) {
        err << "Cannot find the game's data (the folders shaders/ and resources/). Looked in:" << std::endl;
        for (const std::string& folder : search.lookedIn) err << "  " << folder << std::endl;
        if (requested.empty()) err << "Start the game with --data DIR to name the folder." << std::endl;
        return false;
    }
    setDataFolder(search.folder);
    return true;
}
