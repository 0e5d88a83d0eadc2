// main.cpp -- omnivex_soundgen <output folder>: writes the game's sixteen MP3 files into the folder.
// The output is byte-identical on every run; nothing depends on time or on the environment.
#include <filesystem>
#include <iostream>
#include <string>

#include "Mp3Encoder.h"
#include "Sounds.h"

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
    const auto& files = soundgen::soundFiles();
    for (size_t type = 0; type < files.size(); ++type) {
        const soundgen::Samples samples = soundgen::makeSound(static_cast<int>(type));
        const std::string path = (folder / files[type].fileName).string();
        const std::vector<unsigned char> bytes = soundgen::encodeMp3(samples, files[type].bitRateKbps);
        if (bytes.empty()) {
            std::cerr << "Cannot encode " << path << std::endl;
            return 1;
        }
        if (!soundgen::writeFile(path, bytes)) return 1;
    }
    return 0;
}
