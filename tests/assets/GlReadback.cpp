// GlReadback.cpp -- buffer contents read back from GL; leaves no array buffer bound.
#include "GlReadback.h"

#include <algorithm>

#include <epoxy/gl.h>

namespace assettest {

int bufferSize(uint32_t buffer) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    GLint size = -1;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return size;
}

std::vector<float> bufferFloats(uint32_t buffer) {
    std::vector<float> values(static_cast<size_t>(std::max(bufferSize(buffer), 0)) / sizeof(float));
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(values.size() * sizeof(float)), values.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return values;
}

}  // namespace assettest
