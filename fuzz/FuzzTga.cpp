// FuzzTga.cpp -- libFuzzer target: any bytes as a TGA file through readTga; an accepted image must hold exactly
// the pixels its header promises (none for a width or height of 0), all of them taken from the file.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include <epoxy/gl.h>

#include "assets/Texture.h"

namespace {

// One in-memory file for the whole run, reached through its /proc path like any file on disk.
int memoryFile() {
    static const int fd = memfd_create("omnivex-fuzz-tga", 0);
    if (fd < 0) std::abort();
    return fd;
}

size_t bytesPerPixel(uint32_t pixelFormat) {
    switch (pixelFormat) {
        case GL_RED: return 1;
        case GL_BGR: return 3;
        case GL_BGRA: return 4;
        default: return 0;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int fd = memoryFile();
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
    const TgaImage image = readTga("/proc/self/fd/" + std::to_string(fd));
    if (image.ok) {
        const size_t channels = bytesPerPixel(image.pixelFormat);
        const size_t expected = channels * static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
        if (channels == 0 || image.pixels.size() != expected || expected + 18 > size) std::abort();
    }
    return 0;
}
