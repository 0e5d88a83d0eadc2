// OtherAudio.cpp -- MIDI, Ogg and FLAC files and an ID3 tag, written out by their formats' rules.
#include "support/OtherAudio.h"

#include <cstdint>
#include <initializer_list>

namespace omxtest {
namespace {

void put(std::string& bytes, std::initializer_list<unsigned> values) {
    for (const unsigned value : values) bytes += static_cast<char>(value & 0xFF);
}

void putBigEndian(std::string& bytes, uint64_t value, int count) {
    for (int i = count - 1; i >= 0; --i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void putLittleEndian(std::string& bytes, uint64_t value, int count) {
    for (int i = 0; i < count; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Ogg's page checksum: CRC-32 with the polynomial 0x04C11DB7, not reflected, starting from 0.
uint32_t oggCrc(const std::string& page) {
    uint32_t crc = 0;
    for (const char c : page) {
        crc ^= static_cast<uint32_t>(static_cast<unsigned char>(c)) << 24;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

}  // namespace

std::string midiFile() {
    std::string bytes = "MThd";
    put(bytes, {0, 0, 0, 6, 0, 0, 0, 1, 0, 96});  // format 0, one track, 96 ticks a quarter note
    std::string track;
    put(track, {0x00, 0x90, 0x3C, 0x64, 0x60, 0x80, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00});  // on, off, end
    bytes += "MTrk";
    putBigEndian(bytes, track.size(), 4);
    return bytes + track;
}

std::string oggVorbisFile() {
    std::string header = "\x01vorbis";
    putLittleEndian(header, 0, 4);      // Vorbis version
    put(header, {1});                   // channels
    putLittleEndian(header, 44100, 4);  // sampling rate
    putLittleEndian(header, 0, 4);      // largest, nominal and smallest bit rate: not given
    putLittleEndian(header, 80000, 4);
    putLittleEndian(header, 0, 4);
    put(header, {0xB8, 0x01});  // block sizes 256 and 2048, framing bit
    std::string page = "OggS";
    put(page, {0, 0x02});             // version, first page of the stream
    putLittleEndian(page, 0, 8);      // granule position
    putLittleEndian(page, 0x4F4D4E56, 4);  // stream serial number
    putLittleEndian(page, 0, 4);      // page sequence number
    putLittleEndian(page, 0, 4);      // checksum, filled in below
    put(page, {1, static_cast<unsigned>(header.size())});
    page += header;
    const uint32_t crc = oggCrc(page);
    for (int i = 0; i < 4; ++i) page[22 + i] = static_cast<char>((crc >> (8 * i)) & 0xFF);
    return page;
}

std::string flacFile() {
    std::string bytes = "fLaC";
    put(bytes, {0x80, 0, 0, 34});  // the last metadata block, STREAMINFO, 34 bytes
    putBigEndian(bytes, 4096, 2);  // smallest and largest block size
    putBigEndian(bytes, 4096, 2);
    putBigEndian(bytes, 0, 3);  // smallest and largest frame size: not known
    putBigEndian(bytes, 0, 3);
    // Sampling rate (20 bits), channels - 1 (3), bits a sample - 1 (5), samples in all (36).
    putBigEndian(bytes, (uint64_t{44100} << 44) | (uint64_t{0} << 41) | (uint64_t{15} << 36), 8);
    bytes.append(16, '\0');  // MD5 of the samples: not computed
    return bytes;
}

std::string id3Tag(unsigned padding) {
    std::string bytes = "ID3";
    put(bytes, {4, 0, 0});  // version 2.4.0, no flags
    put(bytes, {padding >> 21, padding >> 14, padding >> 7, padding});
    for (size_t i = 6; i < 10; ++i) bytes[i] = static_cast<char>(bytes[i] & 0x7F);
    bytes.append(padding, '\0');
    return bytes;
}

}  // namespace omxtest
