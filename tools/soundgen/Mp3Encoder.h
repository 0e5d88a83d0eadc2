// Mp3Encoder.h -- turns a mono sample buffer into a complete MP3 file image with LAME.
#pragma once

#include <string>
#include <vector>

#include "Synth.h"

namespace soundgen {

// Encodes at kSampleRate, mono, constant bitRateKbps. The first frame is LAME's Info tag, so decoders
// drop the encoder delay and padding and play exactly samples.size() samples (gapless loops) at the level they
// were made. A looped sound is coded as it plays round, so its loop point decodes like the rest of it.
// Samples outside [-1, 1] are clipped. Returns no bytes on an encoder failure.
std::vector<unsigned char> encodeMp3(const Samples& samples, int bitRateKbps, bool looped);

// The frequency (Hz) above which the encoder leaves a stream of this bit rate out; 0 if it cannot be set up.
int encoderLowpassHz(int bitRateKbps);

// How many samples of the encoded stream reach full scale when it is decoded (the coding noise of a dense
// sound rides above its peaks); -1 when it does not decode.
long countClippedWhenDecoded(const std::vector<unsigned char>& bytes);

// Writes bytes to path; false (with a message naming the path on standard error) on failure.
bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes);

}  // namespace soundgen
