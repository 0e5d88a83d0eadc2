// DataFolder.h -- where the game finds its shaders/ and resources/.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

struct DataFolderSearch {
    bool found = false;
    std::string folder;                 // the folder to read from, ending in '/'; "" is the working folder
    std::vector<std::string> lookedIn;  // every folder tried, in order, as absolute paths where known
};

// True when the folder ("" for the working folder) holds both a shaders/ and a resources/ folder.
bool holdsGameData(const std::string& folder);

// The folder named by --data when one is given (and nothing else); otherwise the working folder, then
// ../share/omnivex beside the program (from bin/ or games/), then the program's own folder (a build
// folder). `executable` is the path of the running program ("" when unknown).
DataFolderSearch findDataFolder(const std::string& requested, const std::string& executable);

// The running program's path, as the system reports it ("" when it cannot).
std::string executablePath();

// Finds the data folder and makes it the prefix of every asset path. When none holds the data, prints
// which folders were looked in to `err` and returns false.
bool useDataFolder(const std::string& requested, std::ostream& err);
