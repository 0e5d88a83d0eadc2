// Mp3Encoder.h -- turns a mono sample buffer into a complete MP3 file image with LAME.
#pragma once

#include <string>
#include <vector>

#include "Synth.h"

namespace soundgen {

// Encodes at kSampleRate, mono, constant bitRateKbps. The first frame is LAME's Info tag, so decoders
// drop the encoder delay and padding and play exactly samples.size() samples (gapless loops).
// Samples outside [-1, 1] are clipped. Returns no bytes on an encoder failure.
std::vector<unsigned char> encodeMp3(const Samples& samples, int bitRateKbps);

// Writes bytes to path; false (with a message naming the path on standard error) on failure.
bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes);

}  // namespace soundgen
