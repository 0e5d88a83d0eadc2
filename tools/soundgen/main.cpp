// main.cpp -- omnivex_soundgen <output folder>: writes the game's sixteen MP3 files into the folder.
// The output is byte-identical on every run: each sound has its own seed, so the order in which the
// two worker threads take them does not matter.
#include <atomic>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "Mp3Encoder.h"
#include "Sounds.h"
#include "sound/SoundCatalogue.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "Usage: " << argv[0] << " <output folder>" << std::endl;
        return 2;
    }
    const std::filesystem::path folder(argv[1]);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::cerr << "Cannot create " << folder.string() << ": " << error.message() << std::endl;
        return 1;
    }

    std::vector<std::vector<unsigned char>> encoded(soundTypeCount);
    std::atomic<size_t> nextType{0};
    auto work = [&] {
        for (size_t type = nextType++; type < encoded.size(); type = nextType++)
            encoded[type] = soundgen::makeSoundFile(static_cast<int>(type));
    };
    std::thread helper(work);
    work();
    helper.join();

    for (size_t type = 0; type < encoded.size(); ++type) {
        const std::string path = (folder / soundFiles[type].name).string();
        if (encoded[type].empty()) {
            std::cerr << "Cannot encode " << path << std::endl;
            return 1;
        }
        if (!soundgen::writeFile(path, encoded[type])) return 1;
    }
    return 0;
}
