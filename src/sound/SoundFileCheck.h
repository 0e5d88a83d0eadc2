// SoundFileCheck.h -- only MP3 files reach the mixer: the check of a sound file's first bytes.
//
// The mixer picks its decoder by the bytes a file starts with, whatever its name, so a MIDI, Ogg or FLAC file
// named .mp3 would reach another decoder (the MIDI synthesizer among them). Every sound file is checked here
// first: it must start with an MPEG audio Layer III frame, at once or after an ID3v2 tag, which is exactly
// what makes the mixer choose its MP3 decoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct SDL_RWops;

// True when the four bytes are an MPEG audio Layer III frame header: the 11 sync bits, MPEG 1, 2 or 2.5,
// Layer III, a bit rate index other than the forbidden 15, and a known sampling rate.
bool isMp3FrameHeader(const uint8_t* bytes);

// The whole length of the ID3v2 tag whose 10-byte header `bytes` holds (header, data and footer); 0 when the
// bytes are no ID3v2 header (a wrong mark, an unknown major version, a size byte with its top bit set).
size_t id3TagLength(const uint8_t* bytes, size_t size);

// What a file that is not MP3 audio seems to be, from its first four bytes ("a MIDI file", "an Ogg file",
// "a FLAC file", "a WAV file"), or "" when it is none of those.
std::string otherAudioKind(const uint8_t* bytes, size_t size);

// Checks an opened file from its read position, and puts the position back. False, with the reason in
// `reason` (e.g. "not MP3 audio: a MIDI file"), for anything that does not start with an MP3 frame.
bool checkMp3File(SDL_RWops* file, std::string& reason);
