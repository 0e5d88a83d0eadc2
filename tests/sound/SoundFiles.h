// SoundFiles.h -- sound folders the sound tests make for themselves: tone MP3s encoded with LAME.
#pragma once

#include <string>

namespace soundtest {

// Encodes a mono 44.1 kHz sine tone of the given length and pitch into an MP3 file.
void writeToneMp3(const std::string& path, double seconds, double frequency);

// A fresh folder (path ends with a slash) under the system's temporary folder.
std::string makeTempFolder(const std::string& tag);

// A folder with all sixteen sound files: the two pieces of music 1.0 s, SoundApple 0.6 s, the rest 0.3 s.
// Made once per process; tests must not change it.
const std::string& completeSoundFolder();

// A fresh folder with copies of the files of completeSoundFolder() for the given types only.
std::string soundFolderWithTypes(const std::string& tag, std::initializer_list<int> types);

void writeTextFile(const std::string& path, const std::string& text);

}  // namespace soundtest
