// TgaReaderTest.cpp -- the TGA reader on files written here: formats, sizes, refusals and row order.
#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include "AllocationProbe.h"
#include "AssetFiles.h"
#include "assets/Texture.h"

using assettest::patternPixels;
using assettest::tgaFile;
using assettest::tgaHeader;
using assettest::writeScratchFile;

TEST(TgaReader, ThirtyTwoBitImageKeepsFileRowsAndGivesRgbaFromBgra) {
    const std::vector<unsigned char> pixels = patternPixels(2, 2, 4);
    const std::string path = writeScratchFile("rgba2x2.tga", tgaFile(2, 2, 32, pixels));
    const TgaImage image = readTga(path);
    ASSERT_TRUE(image.ok);
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.internalFormat, static_cast<uint32_t>(GL_RGBA));
    EXPECT_EQ(image.pixelFormat, static_cast<uint32_t>(GL_BGRA));
    EXPECT_EQ(image.pixels, pixels);
}

TEST(TgaReader, TwentyFourAndEightBitFormatPairs) {
    const std::vector<unsigned char> colour = patternPixels(3, 2, 3);
    const TgaImage rgb = readTga(writeScratchFile("rgb3x2.tga", tgaFile(3, 2, 24, colour)));
    ASSERT_TRUE(rgb.ok);
    EXPECT_EQ(rgb.internalFormat, static_cast<uint32_t>(GL_RGB));
    EXPECT_EQ(rgb.pixelFormat, static_cast<uint32_t>(GL_BGR));
    EXPECT_EQ(rgb.pixels, colour);

    const std::vector<unsigned char> grey = patternPixels(5, 3, 1);
    const TgaImage red = readTga(writeScratchFile("grey5x3.tga", tgaFile(5, 3, 8, grey)));
    ASSERT_TRUE(red.ok);
    EXPECT_EQ(red.width, 5);
    EXPECT_EQ(red.height, 3);
    EXPECT_EQ(red.internalFormat, static_cast<uint32_t>(GL_RED));
    EXPECT_EQ(red.pixelFormat, static_cast<uint32_t>(GL_RED));
    EXPECT_EQ(red.pixels, grey);
}

TEST(TgaReader, UnsupportedDepthIsRefusedButKeepsHeaderSize) {
    for (const uint8_t depth : {uint8_t{16}, uint8_t{15}, uint8_t{0}, uint8_t{64}}) {
        const TgaImage image =
            readTga(writeScratchFile("depth.tga", tgaFile(4, 3, depth, std::vector<unsigned char>(96, 7))));
        EXPECT_FALSE(image.ok) << "depth " << int{depth};
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_EQ(image.width, 4);
        EXPECT_EQ(image.height, 3);
        EXPECT_EQ(image.internalFormat, static_cast<uint32_t>(GL_RGB));
        EXPECT_EQ(image.pixelFormat, static_cast<uint32_t>(GL_RGB));
    }
}

TEST(TgaReader, MissingFileAndShortHeaderGiveZeroSize) {
    const TgaImage missing = readTga(assettest::scratchDirectory() + "/no-such-image.tga");
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.width, 0);
    EXPECT_EQ(missing.height, 0);
    EXPECT_EQ(missing.internalFormat, static_cast<uint32_t>(GL_RGB));

    std::vector<unsigned char> header = tgaHeader(2, 2, 32);
    header.resize(17);
    const TgaImage shortHeader = readTga(writeScratchFile("short-header.tga", header));
    EXPECT_FALSE(shortHeader.ok);
    EXPECT_EQ(shortHeader.width, 0);
    EXPECT_EQ(shortHeader.height, 0);

    const TgaImage directory = readTga(assettest::scratchDirectory());
    EXPECT_FALSE(directory.ok);
}

TEST(TgaReader, PixelDataOneByteShortIsRefused) {
    std::vector<unsigned char> pixels = patternPixels(3, 3, 3);
    pixels.pop_back();
    const TgaImage image = readTga(writeScratchFile("one-short.tga", tgaFile(3, 3, 24, pixels)));
    EXPECT_FALSE(image.ok);
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 3);
}

TEST(TgaReader, BytesAfterThePixelsAreIgnored) {
    const std::vector<unsigned char> pixels = patternPixels(2, 2, 4);
    std::vector<unsigned char> footer(26, 0);
    const std::string signature = "TRUEVISION-XFILE.";
    std::copy(signature.begin(), signature.end(), footer.begin() + 8);
    const TgaImage image = readTga(writeScratchFile("footer.tga", tgaFile(2, 2, 32, pixels, footer)));
    ASSERT_TRUE(image.ok);
    EXPECT_EQ(image.pixels, pixels);
}

TEST(TgaReader, HugeHeaderSizesAreRefusedWithoutReservingThem) {
    // 32768 x 32767 at 4 bytes fits 32 bits (just under 4 GiB) but the file holds 64 bytes of pixels.
    const std::string withinThirtyTwoBits =
        writeScratchFile("huge.tga", tgaFile(32768, 32767, 32, std::vector<unsigned char>(64, 1)));
    // 65535 x 65535 at 4 bytes does not fit 32 bits at all.
    const std::string beyondThirtyTwoBits =
        writeScratchFile("huger.tga", tgaFile(65535, 65535, 32, std::vector<unsigned char>(64, 1)));
    for (const std::string& path : {withinThirtyTwoBits, beyondThirtyTwoBits}) {
        TgaImage image;
        size_t largest = 0;
        {
            const assettest::LargestAllocation probe;
            image = readTga(path);
            largest = probe.bytes();
        }
        EXPECT_FALSE(image.ok) << path;
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_GE(image.width, 32768);
        EXPECT_GE(image.height, 32767);
        EXPECT_LT(largest, size_t{1} << 20) << path;
    }
}
