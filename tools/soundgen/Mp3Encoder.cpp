// Mp3Encoder.cpp -- LAME encoding with the Info tag written into the first frame.
#include "Mp3Encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>

namespace soundgen {

namespace {

void configure(lame_global_flags* flags, int bitRateKbps) {
    lame_set_num_channels(flags, 1);
    lame_set_mode(flags, MONO);
    lame_set_in_samplerate(flags, kSampleRate);
    lame_set_out_samplerate(flags, kSampleRate);
    lame_set_brate(flags, bitRateKbps);
    lame_set_VBR(flags, vbr_off);
    lame_set_quality(flags, 3);
    lame_set_bWriteVbrTag(flags, 1);
    lame_set_write_id3tag_automatic(flags, 0);
}

// What LAME does to a stream of this bit rate, read from a trial set-up.
struct EncoderSetup {
    float scale = 1.0f;  // LAME turns a mono stream down for headroom (0.95)
    int lowpassHz = 0;   // and leaves out what lies above this frequency
};

EncoderSetup trialSetup(int bitRateKbps) {
    EncoderSetup setup;
    lame_global_flags* trial = lame_init();
    if (!trial) return setup;
    configure(trial, bitRateKbps);
    if (lame_init_params(trial) >= 0) {
        if (lame_get_scale(trial) > 0.0f) setup.scale = lame_get_scale(trial);
        setup.lowpassHz = lame_get_lowpassfreq(trial);
    }
    lame_close(trial);
    return setup;
}

// Encodes `input` into a whole stream whose first frame is LAME's Info tag; no bytes on an encoder failure.
std::vector<unsigned char> encodeStream(const Samples& input, int bitRateKbps) {
    const float turnDown = trialSetup(bitRateKbps).scale;
    lame_global_flags* flags = lame_init();
    if (!flags) return {};
    configure(flags, bitRateKbps);
    // The sounds keep their peaks under full scale themselves: the decoder gives back the level they were made at,
    // not the 5 % less that LAME would leave.
    lame_set_scale(flags, 1.0f / turnDown);
    if (lame_init_params(flags) < 0) {
        lame_close(flags);
        return {};
    }

    Samples clipped(input.size());
    std::transform(input.begin(), input.end(), clipped.begin(), [](float x) { return std::clamp(x, -1.0f, 1.0f); });

    std::vector<unsigned char> bytes;
    constexpr int kBlock = 8192;
    std::vector<unsigned char> buffer(static_cast<size_t>(1.25 * kBlock + 7200));
    for (size_t start = 0; start < clipped.size(); start += kBlock) {
        const int count = static_cast<int>(std::min<size_t>(kBlock, clipped.size() - start));
        const int written = lame_encode_buffer_ieee_float(flags, clipped.data() + start, clipped.data() + start,
                                                          count, buffer.data(), static_cast<int>(buffer.size()));
        if (written < 0) {
            lame_close(flags);
            return {};
        }
        bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + written);
    }
    const int flushed = lame_encode_flush(flags, buffer.data(), static_cast<int>(buffer.size()));
    if (flushed < 0) {
        lame_close(flags);
        return {};
    }
    bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + flushed);

    // The encoder reserved the first frame for the tag; it is only complete once the stream is known.
    std::vector<unsigned char> tag(4096);
    const size_t tagSize = lame_get_lametag_frame(flags, tag.data(), tag.size());
    lame_close(flags);
    if (tagSize == 0 || tagSize > bytes.size()) return {};
    std::copy(tag.begin(), tag.begin() + tagSize, bytes.begin());
    return bytes;
}

// CRC-16 as LAME computes its tag's check (polynomial 0x8005, bits reflected, starting from 0).
uint16_t tagCrc(const unsigned char* data, size_t size) {
    uint16_t crc = 0;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
}

// Where the LAME extension of the Info tag begins in the stream's first frame; 0 when there is none.
size_t lameTagOffset(const std::vector<unsigned char>& bytes) {
    for (size_t at = 4; at + 8 < std::min<size_t>(bytes.size(), 64); ++at) {
        if (std::memcmp(&bytes[at], "Info", 4) != 0 && std::memcmp(&bytes[at], "Xing", 4) != 0) continue;
        const unsigned fields = bytes[at + 7];  // frames, bytes, table of contents, quality
        const size_t lame = at + 8 + ((fields & 1) ? 4 : 0) + ((fields & 2) ? 4 : 0) + ((fields & 4) ? 100 : 0) +
                            ((fields & 8) ? 4 : 0);
        return lame + 36 <= bytes.size() && std::memcmp(&bytes[lame], "LAME", 4) == 0 ? lame : 0;
    }
    return 0;
}

// Tells the decoder to leave out `extraStart` more samples at the start and `extraEnd` more at the end than the
// encoder's own delay and padding: the tag's 12-bit fields are widened and its check recomputed. False when the
// tag is not LAME's, its check does not hold, or the fields would overflow.
bool widenGaplessTrim(std::vector<unsigned char>& bytes, int extraStart, int extraEnd) {
    const size_t lame = lameTagOffset(bytes);
    if (lame == 0) return false;
    constexpr size_t kTrimAt = 21, kCrcAt = 34;  // within the LAME extension
    const uint16_t stored = static_cast<uint16_t>(bytes[lame + kCrcAt] << 8 | bytes[lame + kCrcAt + 1]);
    if (tagCrc(bytes.data(), lame + kCrcAt) != stored) return false;
    unsigned char* trim = &bytes[lame + kTrimAt];
    const int delay = (trim[0] << 4 | trim[1] >> 4) + extraStart;
    const int padding = ((trim[1] & 0x0F) << 8 | trim[2]) + extraEnd;
    if (delay > 0xFFF || padding > 0xFFF) return false;
    trim[0] = static_cast<unsigned char>(delay >> 4);
    trim[1] = static_cast<unsigned char>((delay & 0x0F) << 4 | padding >> 8);
    trim[2] = static_cast<unsigned char>(padding & 0xFF);
    const uint16_t crc = tagCrc(bytes.data(), lame + kCrcAt);
    bytes[lame + kCrcAt] = static_cast<unsigned char>(crc >> 8);
    bytes[lame + kCrcAt + 1] = static_cast<unsigned char>(crc & 0xFF);
    return true;
}

}  // namespace

int encoderLowpassHz(int bitRateKbps) { return trialSetup(bitRateKbps).lowpassHz; }

std::vector<unsigned char> encodeMp3(const Samples& samples, int bitRateKbps, bool looped) {
    // The encoder codes each frame with what comes before and after it: a loop's first and last frames would be
    // coded against silence and the decoded loop would tick at its loop point. A loop is coded with its own end
    // before its start and its own start after its end, which the tag then tells the decoder to leave out.
    constexpr size_t kLead = 2304, kTail = 1152;  // two frames of the end before, one of the start after
    if (looped && samples.size() >= kLead) {
        Samples wrapped(samples.end() - kLead, samples.end());
        wrapped.insert(wrapped.end(), samples.begin(), samples.end());
        wrapped.insert(wrapped.end(), samples.begin(), samples.begin() + kTail);
        std::vector<unsigned char> bytes = encodeStream(wrapped, bitRateKbps);
        if (!bytes.empty() && widenGaplessTrim(bytes, static_cast<int>(kLead), static_cast<int>(kTail))) return bytes;
    }
    return encodeStream(samples, bitRateKbps);
}

long countClippedWhenDecoded(const std::vector<unsigned char>& bytes) {
    hip_t decoder = hip_decode_init();
    if (!decoder) return -1;
    std::vector<short> left(1152 * 64), right(1152 * 64);
    long clipped = 0;
    const auto count = [&](int decoded) {
        for (int i = 0; i < decoded; ++i) clipped += left[static_cast<size_t>(i)] >= 32700 || left[static_cast<size_t>(i)] <= -32700;
    };
    // Fed a frame's worth at a time; each call hands back what it could decode so far.
    constexpr size_t kChunk = 1024;
    for (size_t at = 0; at < bytes.size(); at += kChunk) {
        std::vector<unsigned char> chunk(bytes.begin() + at, bytes.begin() + std::min(bytes.size(), at + kChunk));
        int decoded = hip_decode1(decoder, chunk.data(), chunk.size(), left.data(), right.data());
        while (decoded > 0) {
            count(decoded);
            decoded = hip_decode1(decoder, nullptr, 0, left.data(), right.data());
        }
        if (decoded < 0) {
            hip_decode_exit(decoder);
            return -1;
        }
    }
    hip_decode_exit(decoder);
    return clipped;
}

bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::cerr << "Cannot write " << path << std::endl;
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!ok || !closed) std::cerr << "Cannot write " << path << std::endl;
    return ok && closed;
}

}  // namespace soundgen
