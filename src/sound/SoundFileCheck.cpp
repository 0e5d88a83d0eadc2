// SoundFileCheck.cpp -- MPEG audio frame and ID3v2 headers at the start of a sound file.
#include "sound/SoundFileCheck.h"

#include <cstring>

#include <SDL_rwops.h>

bool isMp3FrameHeader(const uint8_t* bytes) {
    const bool sync = bytes[0] == 0xFF && (bytes[1] & 0xE0) == 0xE0;
    const int version = (bytes[1] >> 3) & 0x3;  // 0: MPEG 2.5, 1: reserved, 2: MPEG 2, 3: MPEG 1
    const int layer = (bytes[1] >> 1) & 0x3;    // 1: Layer III
    const int bitRate = bytes[2] >> 4;          // 15 is forbidden
    const int samplingRate = (bytes[2] >> 2) & 0x3;  // 3 is reserved
    return sync && version != 1 && layer == 1 && bitRate != 15 && samplingRate != 3;
}

size_t id3TagLength(const uint8_t* bytes, size_t size) {
    if (size < 10 || std::memcmp(bytes, "ID3", 3) != 0) return 0;
    const uint8_t major = bytes[3], revision = bytes[4], flags = bytes[5];
    if (major < 2 || major > 4 || revision == 0xFF) return 0;
    size_t length = 0;
    for (int i = 6; i < 10; ++i) {
        if (bytes[i] & 0x80) return 0;  // the size is stored in 7 bits a byte
        length = (length << 7) | bytes[i];
    }
    const bool footer = major == 4 && (flags & 0x10) != 0;
    return 10 + length + (footer ? 10 : 0);
}

std::string otherAudioKind(const uint8_t* bytes, size_t size) {
    if (size < 4) return "";
    const struct {
        const char* mark;
        const char* kind;
    } kinds[] = {{"MThd", "a MIDI file"}, {"OggS", "an Ogg file"}, {"fLaC", "a FLAC file"}, {"RIFF", "a WAV file"}};
    for (const auto& known : kinds)
        if (std::memcmp(bytes, known.mark, 4) == 0) return known.kind;
    return "";
}

bool checkMp3File(SDL_RWops* file, std::string& reason) {
    const Sint64 start = SDL_RWtell(file);
    uint8_t head[10] = {};
    const size_t headSize = SDL_RWread(file, head, 1, sizeof head);
    uint8_t frame[4] = {};
    bool framed = false;
    std::string kind;
    if (headSize >= 4 && isMp3FrameHeader(head)) {
        framed = true;
    } else if (const size_t tag = id3TagLength(head, headSize)) {
        // The first frame follows the tag.
        framed = SDL_RWseek(file, start + static_cast<Sint64>(tag), RW_SEEK_SET) >= 0 &&
                 SDL_RWread(file, frame, 1, sizeof frame) == sizeof frame && isMp3FrameHeader(frame);
        if (!framed) kind = "an ID3 tag with no MPEG audio frame after it";
    } else {
        kind = headSize == 0 ? "an empty file" : otherAudioKind(head, headSize);
        if (kind.empty()) kind = "no MPEG audio frame at its start";
    }
    SDL_RWseek(file, start, RW_SEEK_SET);
    if (!framed) reason = "not MP3 audio: " + kind;
    return framed;
}
