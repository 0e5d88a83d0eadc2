// ArtTexturesTest.cpp -- the generated TGA files: headers the game's reader takes, sizes, cut-outs, tiling, the sky
// box's seams, the framed projections, the repeating bolts, good against bad, and the panels' orientation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ArtResources.h"
#include "support/Files.h"

using arttest::loadPicture;
using arttest::Picture;

namespace {

using Colour = std::array<int, 4>;

int channelDifference(const Colour& a, const Colour& b) {
    return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
}

// Mean colour difference between columns a and b (or rows, when rows is set).
double lineDifference(const Picture& p, int a, int b, bool rows) {
    double sum = 0.0;
    const int n = rows ? p.width : p.height;
    for (int i = 0; i < n; ++i)
        sum += rows ? channelDifference(p.at(i, a), p.at(i, b)) : channelDifference(p.at(a, i), p.at(b, i));
    return sum / n;
}

// How many texels of the picture (within the given columns and file rows) satisfy the test.
template <typename Test>
size_t countTexels(const Picture& p, Test test, int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1) {
    size_t count = 0;
    for (int y = y0; y < (y1 < 0 ? p.height : y1); ++y)
        for (int x = x0; x < (x1 < 0 ? p.width : x1); ++x) count += test(p.at(x, y), x, y);
    return count;
}

// The sky-box face and texel OpenGL samples for a direction (cube-map face selection and orientation).
Colour sampleCube(const std::array<Picture, 6>& faces, const glm::vec3& d) {
    const glm::vec3 a = glm::abs(d);
    int face;
    float sc, tc, ma;
    if (a.x >= a.y && a.x >= a.z) {
        face = d.x > 0 ? 0 : 1, ma = a.x, sc = d.x > 0 ? -d.z : d.z, tc = -d.y;
    } else if (a.y >= a.z) {
        face = d.y > 0 ? 2 : 3, ma = a.y, sc = d.x, tc = d.y > 0 ? d.z : -d.z;
    } else {
        face = d.z > 0 ? 4 : 5, ma = a.z, sc = d.z > 0 ? d.x : -d.x, tc = -d.y;
    }
    const Picture& p = faces[static_cast<size_t>(face)];
    const int i = std::clamp(static_cast<int>((sc / ma + 1.0f) * 0.5f * p.width), 0, p.width - 1);
    const int j = std::clamp(static_cast<int>((tc / ma + 1.0f) * 0.5f * p.height), 0, p.height - 1);
    return p.at(i, j);  // t = 0 is the first file row
}

bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

TEST(ArtTextures, EveryTextureIsAnUncompressedPowerOfTwoTrueColourTgaTheGameReads) {
    for (const std::string& file : arttest::gameTextureFiles) {
        SCOPED_TRACE(file);
        const std::string text = omxtest::readFile(arttest::resourcePath("textures/" + file));
        const std::vector<unsigned char> bytes(text.begin(), text.end());
        ASSERT_GE(bytes.size(), 18u) << "missing or short";
        EXPECT_EQ(bytes[0], 0) << "image ID";
        EXPECT_EQ(bytes[1], 0) << "colour map";
        EXPECT_EQ(bytes[2], 2) << "not uncompressed true colour";
        const int width = bytes[12] | (bytes[13] << 8), height = bytes[14] | (bytes[15] << 8), depth = bytes[16];
        EXPECT_TRUE(depth == 24 || depth == 32) << depth;
        EXPECT_TRUE(isPowerOfTwo(width) && isPowerOfTwo(height)) << width << " x " << height;
        EXPECT_LE(std::max(width, height), 1024);
        EXPECT_EQ(bytes[17] & 0x30, 0) << "origin must be bottom-left";
        EXPECT_EQ(bytes.size(), 18u + static_cast<size_t>(width) * height * depth / 8);
        const Picture picture = loadPicture(file);
        EXPECT_TRUE(picture.ok) << "the game's reader refuses it";
        EXPECT_EQ(picture.width, width);
    }
}

// The leaf and lightning masks and the lightning colours are 32-bit with cut-out and solid texels; the masks
// carry the cut-out in the colour channels as well, for shaders that read red; where the leaf mask is solid the
// colour picture shows green leaves.
TEST(ArtTextures, AlphaTexturesAreThirtyTwoBitWithCutOutAndSolidTexels) {
    for (const std::string& file : arttest::alphaTextureFiles) {
        SCOPED_TRACE(file);
        const Picture p = loadPicture(file);
        ASSERT_TRUE(p.ok);
        ASSERT_EQ(p.bytesPerPixel, 4);
        const double total = static_cast<double>(p.width) * p.height;
        EXPECT_GT(countTexels(p, [](const Colour& c, int, int) { return c[3] == 0; }) / total, 0.15);
        EXPECT_GT(countTexels(p, [](const Colour& c, int, int) { return c[3] == 255; }) / total, 0.02);
        if (file.find("alpha") != std::string::npos) {
            EXPECT_EQ(countTexels(p, [](const Colour& c, int, int) { return std::abs(c[0] - c[3]) > 1; }), 0u);
        }
    }
    const Picture mask = loadPicture("tree/leafalpha.tga"), leaves = loadPicture("tree/leaf3.tga");
    ASSERT_TRUE(mask.ok && leaves.ok);
    ASSERT_EQ(mask.width, leaves.width);
    const size_t solid = countTexels(mask, [](const Colour& c, int, int) { return c[3] == 255; });
    const size_t green = countTexels(mask, [&](const Colour& c, int x, int y) {
        const Colour leaf = leaves.at(x, y);
        return c[3] == 255 && leaf[1] > leaf[0] && leaf[1] > leaf[2];
    });
    EXPECT_GT(static_cast<double>(green) / solid, 0.9);
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
            EXPECT_LT(lineDifference(p, n - 1, 0, rows), largest * 1.3 + 4.0)
                << (rows ? "top/bottom" : "left/right") << " seam";
        }
    }
}

// Adjacent sky faces, sampled the way OpenGL samples a cube map, show the same sky on both sides of every one of
// the twelve cube edges; overhead is blue and brighter than the ground haze below.
TEST(ArtTextures, SkyFacesMeetWithoutSeamsWithTheBlueSkyOverhead) {
    std::array<Picture, 6> faces;
    const char* names[6] = {"xpos", "xneg", "ypos", "yneg", "zpos", "zneg"};
    for (size_t f = 0; f < 6; ++f) {
        faces[f] = loadPicture(std::string("skyboxgood/") + names[f] + ".tga");
        ASSERT_TRUE(faces[f].ok) << names[f];
        ASSERT_EQ(faces[f].width, faces[0].width) << names[f];
    }
    const float inset = 1.5f / static_cast<float>(faces[0].width) * 2.0f;
    int worst = 0, samples = 0;
    double sum = 0.0;
    // Each edge: two fixed axes at +-1, one running axis; step just inside each of the two faces.
    for (int fixedA = 0; fixedA < 3; ++fixedA)
        for (int fixedB = fixedA + 1; fixedB < 3; ++fixedB)
            for (float signA : {-1.0f, 1.0f})
                for (float signB : {-1.0f, 1.0f})
                    for (int k = 1; k < 64; ++k) {
                        glm::vec3 onA(0.0f);
                        onA[fixedA] = signA;
                        onA[fixedB] = signB;
                        onA[3 - fixedA - fixedB] = -1.0f + 2.0f * k / 64.0f;
                        glm::vec3 onB = onA;
                        onA[fixedB] -= signB * inset;  // inside the face of axis A
                        onB[fixedA] -= signA * inset;  // inside the face of axis B
                        const int d = channelDifference(sampleCube(faces, onA), sampleCube(faces, onB));
                        worst = std::max(worst, d);
                        sum += d;
                        ++samples;
                    }
    EXPECT_LT(sum / samples, 6.0);
    EXPECT_LT(worst, 40);
    const Colour up = sampleCube(faces, {0.0f, 1.0f, 0.0f});
    EXPECT_GT(up[2], up[0] + 40);
    EXPECT_GT(faces[2].meanLuminance(), faces[3].meanLuminance());
}

// Projected with a clamp to a black border: the picture must be black all round its edge, and glow inside.
TEST(ArtTextures, ProjectionMarksAreFramedInBlackAndGlowInTheMiddle) {
    for (const char* file : {"projection/projection1.tga", "projection/projection2.tga"}) {
        SCOPED_TRACE(file);
        const Picture p = loadPicture(file);
        ASSERT_TRUE(p.ok);
        const int frame = p.width / 32;
        EXPECT_EQ(countTexels(p,
                              [&](const Colour& c, int x, int y) {
                                  const bool edge =
                                      x < frame || y < frame || x >= p.width - frame || y >= p.height - frame;
                                  return edge && std::max({c[0], c[1], c[2]}) > 0;
                              }),
                  0u);
        const Colour centre = p.at(p.width / 2, p.height / 2);
        EXPECT_GT(std::max({centre[0], centre[1], centre[2]}), 150);
    }
}

// The bolt's texture coordinates run along its length and repeat every 20 units: the picture must continue from
// its last row into its first, and fade out towards the quad's long sides.
TEST(ArtTextures, LightningRepeatsAlongTheBoltAndFadesAtTheSides) {
    for (const char* file : {"lightning/lightningalpha5.tga", "lightning/lightningalpha2.tga"}) {
        SCOPED_TRACE(file);
        const Picture p = loadPicture(file);
        ASSERT_TRUE(p.ok);
        EXPECT_GT(p.height, p.width) << "the bolt runs along v";
        int seam = 0;
        for (int x = 0; x < p.width; ++x) seam = std::max(seam, std::abs(p.at(x, 0)[3] - p.at(x, p.height - 1)[3]));
        EXPECT_LT(seam, 90);
        for (int y = 0; y < p.height; ++y) {
            EXPECT_EQ(p.at(0, y)[3], 0) << "row " << y;
            EXPECT_EQ(p.at(p.width - 1, y)[3], 0) << "row " << y;
            ASSERT_GT(countTexels(
                          p, [](const Colour& c, int, int) { return c[3] == 255; }, 0, y, -1, y + 1),
                      0u)
                << "the bolt breaks at row " << y;
        }
    }
}

// Good reads bright and friendly, bad dark and menacing.
TEST(ArtTextures, GoodPicturesAreBrighterThanBadOnes) {
    for (const auto& [goodFile, badFile] : {std::pair{"peoplegood/goodbobob.tga", "peoplebad/badbobob2.tga"},
                                            std::pair{"stonewall/stonegood3.tga", "stonewall/stonebad3.tga"}}) {
        const Picture good = loadPicture(goodFile), bad = loadPicture(badFile);
        ASSERT_TRUE(good.ok && bad.ok) << goodFile;
        EXPECT_GT(good.meanLuminance(), bad.meanLuminance() + 0.2) << goodFile << " against " << badFile;
    }
}

// The panel quad shows t = 0 at its bottom: the big heading (gold "OMNIVEX", white "YOU WIN!", red "YOU LOSE")
// must sit in the last file rows, the top of the picture.
TEST(ArtTextures, InfoPanelsAreUprightWithTheirHeadingAtTheTop) {
    const struct {
        const char* file;
        bool (*isHeading)(const Colour&);
    } panels[] = {
        {"infopanel/infocontrols.tga", [](const Colour& c) { return c[0] > 200 && c[1] > 150 && c[2] < 120; }},
        {"infopanel/infowin.tga", [](const Colour& c) { return c[0] > 245 && c[1] > 245 && c[2] > 245; }},
        {"infopanel/infolose.tga", [](const Colour& c) { return c[0] > 200 && c[1] < 80 && c[2] < 80; }},
    };
    for (const auto& panel : panels) {
        SCOPED_TRACE(panel.file);
        const Picture p = loadPicture(panel.file);
        ASSERT_TRUE(p.ok);
        EXPECT_GE(p.width, 512);
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
