// GlReadback.h -- reading buffer objects back from GL for the model tests.
#pragma once

#include <cstdint>
#include <vector>

namespace assettest {

// GL_BUFFER_SIZE of an array buffer, in bytes.
int bufferSize(uint32_t buffer);

// The whole data store of an array buffer as floats.
std::vector<float> bufferFloats(uint32_t buffer);

}  // namespace assettest
