// OtherAudio.h -- small, well-formed sound files that are not MP3 (MIDI, Ogg Vorbis, FLAC), made byte by byte.
#pragma once

#include <string>

namespace omxtest {

// A standard MIDI file of one track: one middle C a quarter note long.
std::string midiFile();
// One Ogg page (with its checksum) that opens a Vorbis stream: its identification header, mono at 44.1 kHz.
std::string oggVorbisFile();
// A FLAC stream of no samples: the mark and its STREAMINFO block, mono, 16 bits at 44.1 kHz.
std::string flacFile();
// An ID3v2.4 tag of `padding` zero bytes, as tagging tools put in front of an MP3 file.
std::string id3Tag(unsigned padding);

}  // namespace omxtest
