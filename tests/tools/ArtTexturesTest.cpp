// ArtTexturesTest.cpp -- the generated TGA files: headers the game's reader takes, sizes, pictures not blank,
// cut-outs, tiling, the sky box's seams, the framed projections, the repeating bolts, good against bad, and the
// panels' orientation.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ArtResources.h"
#include "support/Files.h"

using arttest::loadPicture;
using arttest::Picture;
using ::testing::AnyOf;
using ::testing::Eq;

namespace {

using Colour = std::array<int, 4>;

int channelDifference(const Colour& a, const Colour& b) {
    return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
}

// How many texels of the picture (within the given columns and file rows) satisfy the test.
template <typename Test>
size_t countTexels(const Picture& p, Test test, int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1) {
    size_t count = 0;
    for (int y = y0; y < (y1 < 0 ? p.height : y1); ++y)
        for (int x = x0; x < (x1 < 0 ? p.width : x1); ++x) count += test(p.at(x, y), x, y);
    return count;
}

bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

// The reader trusts the header's size and depth and takes every file as uncompressed and stored bottom-up.
TEST(ArtTextures, EveryTextureIsAnUncompressedPowerOfTwoTrueColourTgaTheGameReadsAndNotBlank) {
    for (const std::string& file : arttest::gameTextureFiles) {
        SCOPED_TRACE(file);
        const std::string bytes = omxtest::readFile(arttest::resourcePath("textures/" + file));
        ASSERT_GE(bytes.size(), 18u) << "missing or short";
        const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
        EXPECT_EQ((std::vector<int>{byte(0), byte(1), byte(2), byte(17) & 0x30}), (std::vector<int>{0, 0, 2, 0}))
            << "image ID, colour map, uncompressed true colour, bottom-left origin";
        const int width = byte(12) | (byte(13) << 8), height = byte(14) | (byte(15) << 8), depth = byte(16);
        EXPECT_THAT(depth, AnyOf(Eq(24), Eq(32))) << width << " x " << height << " x " << depth;
        EXPECT_TRUE(isPowerOfTwo(width)) << width << " x " << height << " x " << depth;
        EXPECT_TRUE(isPowerOfTwo(height)) << width << " x " << height << " x " << depth;
        EXPECT_LE(std::max(width, height), 1024) << width << " x " << height << " x " << depth;
        EXPECT_EQ(bytes.size(), 18u + static_cast<size_t>(width) * height * depth / 8);
        const Picture p = loadPicture(file);
        ASSERT_TRUE(p.ok) << "the game's reader refuses it";
        if (file == "skyboxgood/yneg.tga") continue;  // below the ground: one colour of haze
        const Colour first = p.at(0, 0);
        EXPECT_GT(countTexels(p, [&](const Colour& c, int, int) { return channelDifference(c, first) > 24; }),
                  static_cast<size_t>(p.width * p.height / 100))
            << "blank";
    }
}

// The leaf and lightning masks and the lightning colours are 32-bit with cut-out and solid texels; the masks
// carry the cut-out in the colour channels as well, for shaders that read red; where the leaf mask is solid the
// colour picture shows green leaves. The bolt's texture coordinates run along its length and repeat every 20
// units: its mask must continue from its last row into its first, unbroken, and fade out towards the long sides.
TEST(ArtTextures, AlphaTexturesAreThirtyTwoBitWithCutOutAndSolidTexelsAndTheBoltsRepeatAlongV) {
    for (const std::string& file : arttest::alphaTextureFiles) {
        SCOPED_TRACE(file);
        const Picture p = loadPicture(file);
        ASSERT_EQ(p.bytesPerPixel, 4);
        const double total = static_cast<double>(p.width) * p.height;
        EXPECT_GT(countTexels(p, [](const Colour& c, int, int) { return c[3] == 0; }) / total, 0.15);
        EXPECT_GT(countTexels(p, [](const Colour& c, int, int) { return c[3] == 255; }) / total, 0.02);
        const bool mask = file.find("alpha") != std::string::npos;
        if (mask) {
            EXPECT_EQ(countTexels(p, [](const Colour& c, int, int) { return std::abs(c[0] - c[3]) > 1; }), 0u)
                << "the colour channels do not carry the cut-out";
        }
        if (file.rfind("lightning/lightningalpha", 0) != 0) continue;
        EXPECT_GT(p.height, p.width) << "the bolt runs along v";
        int seam = 0;
        for (int x = 0; x < p.width; ++x) seam = std::max(seam, std::abs(p.at(x, 0)[3] - p.at(x, p.height - 1)[3]));
        EXPECT_LT(seam, 90);
        for (int y = 0; y < p.height; ++y) {
            EXPECT_EQ(p.at(0, y)[3] + p.at(p.width - 1, y)[3], 0) << "row " << y;
            ASSERT_GT(countTexels(p, [](const Colour& c, int, int) { return c[3] == 255; }, 0, y, -1, y + 1), 0u)
                << "the bolt breaks at row " << y;
        }
    }
    const Picture mask = loadPicture("tree/leafalpha.tga"), leaves = loadPicture("tree/leaf3.tga");
    ASSERT_TRUE(mask.ok);
    ASSERT_TRUE(leaves.ok);
    ASSERT_EQ(mask.width, leaves.width);
    const size_t solid = countTexels(mask, [](const Colour& c, int, int) { return c[3] == 255; });
    const size_t green = countTexels(mask, [&](const Colour& c, int x, int y) {
        const Colour leaf = leaves.at(x, y);
        return c[3] == 255 && leaf[1] > leaf[0] && leaf[1] > leaf[2];
    });
    EXPECT_GT(static_cast<double>(green) / solid, 0.9);
}

// Mean colour difference between columns a and b (or rows, when rows is set).
double lineDifference(const Picture& p, int a, int b, bool rows) {
    double sum = 0.0;
    const int n = rows ? p.width : p.height;
    for (int i = 0; i < n; ++i)
        sum += rows ? channelDifference(p.at(i, a), p.at(i, b)) : channelDifference(p.at(a, i), p.at(b, i));
    return sum / n;
}

// A tiling picture: the step across its wrap-around edge is no larger than the largest step between neighbouring
// lines inside it (a joint between stones may fall on the edge; a break may not).
TEST(ArtTextures, GroundBarkAndStoneTileWithoutSeams) {
    for (const char* file :
         {"ground/ground2halfglow.tga", "tree/bark.tga", "stonewall/stonegood3.tga", "stonewall/stonebad3.tga"}) {
        SCOPED_TRACE(file);
        const Picture p = loadPicture(file);
        ASSERT_TRUE(p.ok);
        for (bool rows : {false, true}) {
            const int n = rows ? p.height : p.width;
            double largest = 0.0;
            for (int i = 1; i < n; ++i) largest = std::max(largest, lineDifference(p, i - 1, i, rows));
            EXPECT_LT(lineDifference(p, n - 1, 0, rows), largest * 1.3 + 4.0) << (rows ? "rows" : "columns");
        }
    }
}

// Adjacent sky faces, sampled the way OpenGL samples a cube map, show the same sky on both sides of every one of
// the twelve cube edges.
TEST(ArtTextures, SkyFacesMeetWithoutSeams) {
    std::array<Picture, 6> faces;
    const char* names[6] = {"xpos", "xneg", "ypos", "yneg", "zpos", "zneg"};
    for (size_t f = 0; f < 6; ++f) {
        faces[f] = loadPicture(std::string("skyboxgood/") + names[f] + ".tga");
        ASSERT_TRUE(faces[f].ok) << names[f];
        ASSERT_EQ(faces[f].width, faces[0].width) << names[f];
    }
    // The face and texel OpenGL samples for a direction (t = 0 is the first file row).
    const auto sample = [&](const glm::vec3& d) {
        const glm::vec3 a = glm::abs(d);
        const int axis = a.x >= a.y && a.x >= a.z ? 0 : a.y >= a.z ? 1 : 2;
        const bool positive = d[axis] > 0;
        const glm::vec2 st = axis == 0   ? glm::vec2(positive ? -d.z : d.z, -d.y)
                             : axis == 1 ? glm::vec2(d.x, positive ? d.z : -d.z)
                                         : glm::vec2(positive ? d.x : -d.x, -d.y);
        const Picture& p = faces[static_cast<size_t>(2 * axis + (positive ? 0 : 1))];
        const auto texel = [&](float c, int n) { return std::clamp(int((c / a[axis] + 1) * 0.5f * n), 0, n - 1); };
        return p.at(texel(st.x, p.width), texel(st.y, p.height));
    };
    const float inset = 3.0f / static_cast<float>(faces[0].width);
    int worst = 0;
    double sum = 0.0;
    // Each edge: the running axis, the other two at +-1; a step just inside each of the two faces that meet there.
    for (int edge = 0; edge < 12; ++edge)
        for (int k = 1; k < 64; ++k) {
            const int run = edge / 4, a = (run + 1) % 3, b = (run + 2) % 3;
            glm::vec3 onA(0.0f);
            onA[run] = -1.0f + 2.0f * k / 64.0f, onA[a] = edge & 1 ? 1.0f : -1.0f, onA[b] = edge & 2 ? 1.0f : -1.0f;
            glm::vec3 onB = onA;
            onA[b] -= onA[b] * inset, onB[a] -= onB[a] * inset;
            const int d = channelDifference(sample(onA), sample(onB));
            worst = std::max(worst, d), sum += d;
        }
    EXPECT_LT(sum / (12 * 63), 6.0) << "the mean difference across the edges";
    EXPECT_LT(worst, 40) << "the worst difference across an edge";
}

// Projected with a clamp to a black border: the picture must be black all round its edge, and glow inside.
TEST(ArtTextures, ProjectionMarksAreFramedInBlackAndGlowInTheMiddle) {
    for (const char* file : {"projection/projection1.tga", "projection/projection2.tga"}) {
        SCOPED_TRACE(file);
        const Picture p = loadPicture(file);
        ASSERT_TRUE(p.ok);
        const int frame = p.width / 32;
        const auto lit = [](const Colour& c) { return std::max({c[0], c[1], c[2]}); };
        EXPECT_EQ(countTexels(p, [&](const Colour& c, int x, int y) {
            return (x < frame || y < frame || x >= p.width - frame || y >= p.height - frame) && lit(c) > 0;
        }), 0u) << "lit on the frame";
        EXPECT_GT(lit(p.at(p.width / 2, p.height / 2)), 150);
    }
}

// Good reads bright and friendly, bad dark and menacing.
TEST(ArtTextures, GoodPicturesAreBrighterThanBadOnes) {
    for (const auto& [goodFile, badFile] : {std::pair{"peoplegood/goodbobob.tga", "peoplebad/badbobob2.tga"},
                                            std::pair{"stonewall/stonegood3.tga", "stonewall/stonebad3.tga"}})
        EXPECT_GT(loadPicture(goodFile).meanLuminance(), loadPicture(badFile).meanLuminance() + 0.2) << goodFile;
}

// The panel quad shows t = 0 at its bottom: the big heading (gold "OMNIVEX", white "YOU WIN!", red "YOU LOSE")
// must sit in the last file rows, the top of the picture. The controls panel's key labels, lower down, are a
// paler gold than its title.
TEST(ArtTextures, InfoPanelsAreUprightWithTheirHeadingAtTheTop) {
    const struct {
        const char* file;
        bool (*isHeading)(const Colour&);
    } panels[] = {
        {"infopanel/infocontrols.tga", [](const Colour& c) { return c[0] > 200 && c[1] > 150 && c[2] < 110; }},
        {"infopanel/infowin.tga", [](const Colour& c) { return c[0] > 245 && c[1] > 245 && c[2] > 245; }},
        {"infopanel/infolose.tga", [](const Colour& c) { return c[0] > 200 && c[1] < 80 && c[2] < 80; }},
    };
    for (const auto& panel : panels) {
        SCOPED_TRACE(panel.file);
        const Picture p = loadPicture(panel.file);
        ASSERT_GE(p.width, 512);
        // Inside the decorative frame, which is the same at the top and the bottom.
        const int margin = p.width / 16;
        const auto heading = [&](const Colour& c, int, int) { return panel.isHeading(c); };
        const size_t top = countTexels(p, heading, margin, p.height * 3 / 4, p.width - margin, p.height - margin);
        const size_t bottom = countTexels(p, heading, margin, margin, p.width - margin, p.height / 4);
        EXPECT_GT(top, static_cast<size_t>(p.width) * 8) << "no heading at the top";
        EXPECT_GT(top, 3 * bottom);
    }
}

}  // namespace
