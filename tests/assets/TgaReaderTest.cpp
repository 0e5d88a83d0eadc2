// TgaReaderTest.cpp -- the TGA reader on files written here: formats, sizes, refusals, and huge headers that
// must not make it reserve what they promise.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include <epoxy/gl.h>

#include "AssetFiles.h"
#include "assets/Texture.h"
#include "support/Files.h"

using assettest::Bytes;
using assettest::patternPixels;
using assettest::tgaFile;
using omxtest::scratchFile;

// The test program's operator new records the largest request made while armed. Every form is replaced, so
// that allocation and release always pair up, also under AddressSanitizer.
namespace {

std::atomic<bool> armed{false};
std::atomic<std::size_t> largest{0};

void* allocate(std::size_t size) noexcept {
    if (armed.load(std::memory_order_relaxed)) {
        std::size_t seen = largest.load(std::memory_order_relaxed);
        while (size > seen && !largest.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {
        }
    }
    return std::malloc(size == 0 ? 1 : size);
}

void* allocateOrThrow(std::size_t size) {
    void* const block = allocate(size);
    if (!block) throw std::bad_alloc();
    return block;
}

}  // namespace

void* operator new(std::size_t size) { return allocateOrThrow(size); }
void* operator new[](std::size_t size) { return allocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

TEST(TgaReader, EachDepthGivesItsFormatPairAndTheFileRowsAsTheyAre) {
    struct Case {
        uint16_t width, height;
        uint8_t depth;
        GLenum internalFormat, pixelFormat;
        Bytes trailing;
    };
    Bytes footer(26, 0);  // a TGA 2.0 footer after the pixels is ignored
    const std::string signature = "TRUEVISION-XFILE.";
    std::copy(signature.begin(), signature.end(), footer.begin() + 8);
    const Case cases[] = {{2, 2, 32, GL_RGBA, GL_BGRA, {}},
                          {3, 2, 24, GL_RGB, GL_BGR, {}},
                          {5, 3, 8, GL_RED, GL_RED, {}},
                          {2, 2, 32, GL_RGBA, GL_BGRA, footer}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "depth " << int{c.depth} << " trailing " << c.trailing.size());
        const Bytes pixels = patternPixels(c.width, c.height, c.depth / 8);
        const TgaImage image = readTga(scratchFile("read.tga", tgaFile(c.width, c.height, c.depth, pixels, c.trailing)));
        ASSERT_TRUE(image.ok);
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, c.height);
        EXPECT_EQ(image.internalFormat, static_cast<uint32_t>(c.internalFormat));
        EXPECT_EQ(image.pixelFormat, static_cast<uint32_t>(c.pixelFormat));
        EXPECT_EQ(image.pixels, pixels);
    }
}

TEST(TgaReader, RefusedFilesKeepTheSizeTheHeaderGaveAndNoPixels) {
    struct Case {
        const char* what;
        std::string path;
        int width, height;
    };
    Bytes oneShort = patternPixels(3, 3, 3);
    oneShort.pop_back();
    Bytes shortHeader = tgaFile(2, 2, 32, {});
    shortHeader.resize(17);
    std::vector<Case> cases = {
        {"one byte short", scratchFile("one-short.tga", tgaFile(3, 3, 24, oneShort)), 3, 3},
        {"missing", omxtest::scratchFolder() + "/no-such-image.tga", 0, 0},
        {"short header", scratchFile("short-header.tga", shortHeader), 0, 0},
        {"a folder", omxtest::scratchFolder(), 0, 0},
    };
    for (const int depth : {16, 15, 0, 64})
        cases.push_back({"unsupported depth",
                         scratchFile("depth" + std::to_string(depth) + ".tga",
                                     tgaFile(4, 3, static_cast<uint8_t>(depth), Bytes(96, 7))),
                         4, 3});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " " + c.what);
        const TgaImage image = readTga(c.path);
        EXPECT_FALSE(image.ok);
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, c.height);
        EXPECT_EQ(image.internalFormat, static_cast<uint32_t>(GL_RGB));
        EXPECT_EQ(image.pixelFormat, static_cast<uint32_t>(GL_RGB));
    }
}

TEST(TgaReader, HugeHeaderSizesAreRefusedWithoutReservingThem) {
    // 32768 x 32767 at 4 bytes fits 32 bits (just under 4 GiB), 65535 x 65535 does not; each file holds
    // 64 bytes of pixels.
    for (const uint16_t height : {uint16_t{32767}, uint16_t{65535}}) {
        const uint16_t width = height == 32767 ? 32768 : 65535;
        const std::string path = scratchFile("huge.tga", tgaFile(width, height, 32, Bytes(64, 1)));
        TgaImage image;
        largest.store(0);
        armed.store(true);
        image = readTga(path);
        armed.store(false);
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        EXPECT_FALSE(image.ok);
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_EQ(image.width, width);
        EXPECT_EQ(image.height, height);
        EXPECT_LT(largest.load(), size_t{1} << 20);
    }
}
