// SoundFiles.cpp -- LAME-encoded tone files for the sound tests.
#include "SoundFiles.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

#include <unistd.h>

#include <lame/lame.h>

#include "sound/SoundManager.h"

namespace soundtest {

void writeToneMp3(const std::string& path, double seconds, double frequency) {
    constexpr int rate = 44100;
    const int frames = static_cast<int>(seconds * rate);
    std::vector<short> samples(frames);
    for (int i = 0; i < frames; ++i)
        samples[i] = static_cast<short>(12000.0 * std::sin(2.0 * M_PI * frequency * i / rate));

    lame_global_flags* const lame = lame_init();
    lame_set_in_samplerate(lame, rate);
    lame_set_out_samplerate(lame, rate);
    lame_set_num_channels(lame, 1);
    lame_set_mode(lame, MONO);
    lame_set_brate(lame, 64);
    if (lame_init_params(lame) < 0) throw std::runtime_error("lame_init_params failed");

    std::vector<unsigned char> mp3(static_cast<size_t>(1.25 * frames + 7200 * 2));
    int size = lame_encode_buffer(lame, samples.data(), nullptr, frames, mp3.data(), static_cast<int>(mp3.size()));
    if (size < 0) throw std::runtime_error("lame_encode_buffer failed");
    const int tail = lame_encode_flush(lame, mp3.data() + size, static_cast<int>(mp3.size()) - size);
    if (tail < 0) throw std::runtime_error("lame_encode_flush failed");
    size += tail;
    lame_close(lame);

    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(mp3.data()), size);
    if (!out) throw std::runtime_error("cannot write " + path);
}

namespace {

// Removes the folders this process made when it ends (a forked child leaves its parent's alone).
struct FolderCleaner {
    const pid_t owner = getpid();
    std::vector<std::filesystem::path> folders;
    ~FolderCleaner() {
        if (getpid() != owner) return;
        std::error_code ignored;
        for (const auto& folder : folders) std::filesystem::remove_all(folder, ignored);
    }
};

FolderCleaner& cleaner() {
    static FolderCleaner instance;
    return instance;
}

}  // namespace

std::string makeTempFolder(const std::string& tag) {
    static int counter = 0;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
        ("omnivex-sound-" + std::to_string(getpid()) + "-" + tag + "-" + std::to_string(counter++));
    std::filesystem::create_directories(folder);
    cleaner().folders.push_back(folder);
    return folder.string() + "/";
}

const std::string& completeSoundFolder() {
    static const std::string folder = [] {
        const std::string made = makeTempFolder("complete");
        for (int type = 0; type < soundTypeCount; ++type) {
            const double seconds = type <= MusicBad ? 1.0 : type == SoundApple ? 0.6 : 0.3;
            writeToneMp3(made + SoundManager::fileName(type), seconds, 220.0 + 40.0 * type);
        }
        return made;
    }();
    return folder;
}

std::string soundFolderWithTypes(const std::string& tag, std::initializer_list<int> types) {
    const std::string folder = makeTempFolder(tag);
    for (const int type : types)
        std::filesystem::copy_file(completeSoundFolder() + SoundManager::fileName(type),
                                   folder + SoundManager::fileName(type));
    return folder;
}

void writeTextFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace soundtest
