// Mp3Encoder.cpp -- LAME encoding with the Info tag written into the first frame.
#include "Mp3Encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

namespace soundgen {

std::vector<unsigned char> encodeMp3(const Samples& samples, int bitRateKbps) {
    lame_global_flags* flags = lame_init();
    if (!flags) return {};
    lame_set_num_channels(flags, 1);
    lame_set_mode(flags, MONO);
    lame_set_in_samplerate(flags, kSampleRate);
    lame_set_out_samplerate(flags, kSampleRate);
    lame_set_brate(flags, bitRateKbps);
    lame_set_VBR(flags, vbr_off);
    lame_set_quality(flags, 3);
    lame_set_bWriteVbrTag(flags, 1);
    lame_set_write_id3tag_automatic(flags, 0);
    if (lame_init_params(flags) < 0) {
        lame_close(flags);
        return {};
    }

    Samples clipped(samples.size());
    std::transform(samples.begin(), samples.end(), clipped.begin(),
                   [](float x) { return std::clamp(x, -1.0f, 1.0f); });

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
