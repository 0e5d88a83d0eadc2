// ArtTexturesTest.cpp -- the generated TGA files: headers the game's reader takes, sizes, tiling,
// the sky box's seams, the framed projections, the repeating bolts and the panels' orientation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "ArtResources.h"

using arttest::loadPicture;
using arttest::Picture;
using arttest::resourcePath;

namespace {

bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

std::vector<unsigned char> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int channelDifference(const std::array<int, 4>& a, const std::array<int, 4>& b) {
    return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
}

// Mean colour difference between column x0 and column x1 (or rows, when rows is set).
double lineDifference(const Picture& p, int a, int b, bool rows) {
    double sum = 0.0;
    const int n = rows ? p.width : p.height;
    for (int i = 0; i < n; ++i) sum += rows ? channelDifference(p.at(i, a), p.at(i, b)) : channelDifference(p.at(a, i), p.at(b, i));
    return sum / n;
}

// A tiling picture: the step across its wrap-around edge is no larger than the largest step between
// neighbouring lines inside it (a joint between stones may fall on the edge; a break may not).
void expectTiles(const std::string& file) {
    SCOPED_TRACE(file);
    const Picture p = loadPicture(file);
    ASSERT_TRUE(p.ok);
    for (bool rows : {false, true}) {
        const int n = rows ? p.height : p.width;
        double largest = 0.0;
        for (int i = 1; i < n; ++i) largest = std::max(largest, lineDifference(p, i - 1, i, rows));
        EXPECT_LT(lineDifference(p, n - 1, 0, rows), largest * 1.3 + 4.0) << (rows ? "top/bottom" : "left/right") << " seam";
    }
}

// The sky-box face and texel OpenGL samples for a direction (cube-map face selection and orientation).
std::array<int, 4> sampleCube(const std::array<Picture, 6>& faces, const glm::vec3& d) {
    const glm::vec3 a = glm::abs(d);
    int face;
    float sc, tc, ma;
    if (a.x >= a.y && a.x >= a.z) {
        face = d.x > 0 ? 0 : 1;
        ma = a.x;
        sc = d.x > 0 ? -d.z : d.z;
        tc = -d.y;
    } else if (a.y >= a.z) {
        face = d.y > 0 ? 2 : 3;
        ma = a.y;
        sc = d.x;
        tc = d.y > 0 ? d.z : -d.z;
    } else {
        face = d.z > 0 ? 4 : 5;
        ma = a.z;
        sc = d.z > 0 ? d.x : -d.x;
        tc = -d.y;
    }
    const Picture& p = faces[static_cast<size_t>(face)];
    const int i = std::clamp(static_cast<int>((sc / ma + 1.0f) * 0.5f * p.width), 0, p.width - 1);
    const int j = std::clamp(static_cast<int>((tc / ma + 1.0f) * 0.5f * p.height), 0, p.height - 1);
    return p.at(i, j);  // t = 0 is the first file row
}

std::array<Picture, 6> loadSky() {
    std::array<Picture, 6> faces;
    const char* names[6] = {"xpos", "xneg", "ypos", "yneg", "zpos", "zneg"};
    for (int f = 0; f < 6; ++f) faces[static_cast<size_t>(f)] = loadPicture(std::string("skyboxgood/") + names[f] + ".tga");
    return faces;
}

}  // namespace

TEST(ArtTextures, EveryTextureIsAnUncompressedPowerOfTwoTrueColourTga) {
    for (const std::string& file : arttest::gameTextureFiles()) {
        SCOPED_TRACE(file);
        const std::vector<unsigned char> bytes = readBytes(resourcePath("textures/" + file));
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

TEST(ArtTextures, AlphaTexturesAreThirtyTwoBitWithCutOutAndSolidTexels) {
    for (const std::string& file : arttest::alphaTextureFiles()) {
        SCOPED_TRACE(file);
        const Picture p = loadPicture(file);
        ASSERT_TRUE(p.ok);
        ASSERT_EQ(p.bytesPerPixel, 4);
        size_t clear = 0, solid = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                const int alpha = p.at(x, y)[3];
                clear += alpha == 0;
                solid += alpha == 255;
            }
        const double total = static_cast<double>(p.width) * p.height;
        EXPECT_GT(clear / total, 0.15);
        // Masks carry the cut-out in the colour channels as well, for shaders that read red.
        if (file.find("alpha") != std::string::npos) {
            size_t mismatched = 0;
            for (int y = 0; y < p.height; ++y)
                for (int x = 0; x < p.width; ++x) mismatched += std::abs(p.at(x, y)[0] - p.at(x, y)[3]) > 1;
            EXPECT_EQ(mismatched, 0u);
        }
        EXPECT_GT(solid / total, 0.02);
    }
    // The leaves: where the mask is solid the colour picture shows green leaves.
    const Picture mask = loadPicture("tree/leafalpha.tga"), leaves = loadPicture("tree/leaf3.tga");
    ASSERT_TRUE(mask.ok && leaves.ok);
    ASSERT_EQ(mask.width, leaves.width);
    size_t green = 0, counted = 0;
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x)
            if (mask.at(x, y)[3] == 255) {
                const auto c = leaves.at(x, y);
                green += c[1] > c[0] && c[1] > c[2];
                ++counted;
            }
    EXPECT_GT(static_cast<double>(green) / counted, 0.9);
}

TEST(ArtTextures, GroundBarkAndStoneTileWithoutSeams) {
    for (const char* file : {"ground/ground2halfglow.tga", "tree/bark.tga", "stonewall/stonegood3.tga", "stonewall/stonebad3.tga"})
        expectTiles(file);
}

// Adjacent sky faces, sampled the way OpenGL samples a cube map, show the same sky on both sides of
// every one of the twelve cube edges.
TEST(ArtTextures, SkyFacesMeetWithoutSeams) {
    const std::array<Picture, 6> faces = loadSky();
    for (const Picture& p : faces) {
        ASSERT_TRUE(p.ok);
        ASSERT_EQ(p.width, faces[0].width);
    }
    const float inset = 1.5f / static_cast<float>(faces[0].width) * 2.0f;
    int worst = 0;
    double sum = 0.0;
    int samples = 0;
    // Each edge: two fixed axes at +-1, one running axis; step just inside each of the two faces.
    for (int fixedA = 0; fixedA < 3; ++fixedA)
        for (int fixedB = fixedA + 1; fixedB < 3; ++fixedB) {
            const int run = 3 - fixedA - fixedB;
            for (float signA : {-1.0f, 1.0f})
                for (float signB : {-1.0f, 1.0f})
                    for (int k = 1; k < 64; ++k) {
                        glm::vec3 edge(0.0f);
                        edge[fixedA] = signA;
                        edge[fixedB] = signB;
                        edge[run] = -1.0f + 2.0f * k / 64.0f;
                        glm::vec3 onA = edge, onB = edge;
                        onA[fixedB] -= signB * inset;  // inside the face of axis A
                        onB[fixedA] -= signA * inset;  // inside the face of axis B
                        const int d = channelDifference(sampleCube(faces, onA), sampleCube(faces, onB));
                        worst = std::max(worst, d);
                        sum += d;
                        ++samples;
                    }
        }
    EXPECT_LT(sum / samples, 6.0);
    EXPECT_LT(worst, 40);
    // And the sky is up there: overhead is blue and brighter than the ground haze below.
    const auto up = sampleCube(faces, {0.0f, 1.0f, 0.0f});
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
        int brightestEdge = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                if (x < frame || y < frame || x >= p.width - frame || y >= p.height - frame) {
                    const auto c = p.at(x, y);
                    brightestEdge = std::max({brightestEdge, c[0], c[1], c[2]});
                }
        EXPECT_EQ(brightestEdge, 0);
        const auto centre = p.at(p.width / 2, p.height / 2);
        EXPECT_GT(std::max({centre[0], centre[1], centre[2]}), 150);
    }
}

// The bolt's texture coordinates run along its length and repeat every 20 units: the picture must
// continue from its last row into its first, and fade out towards the quad's long sides.
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
            int strongest = 0;
            for (int x = 0; x < p.width; ++x) strongest = std::max(strongest, p.at(x, y)[3]);
            ASSERT_EQ(strongest, 255) << "the bolt breaks at row " << y;
        }
    }
}

// Good reads bright and friendly, bad dark and menacing.
TEST(ArtTextures, GoodPicturesAreBrighterThanBadOnes) {
    const Picture good = loadPicture("peoplegood/goodbobob.tga"), bad = loadPicture("peoplebad/badbobob2.tga");
    ASSERT_TRUE(good.ok && bad.ok);
    EXPECT_GT(good.meanLuminance(), bad.meanLuminance() + 0.2);
    const Picture goodStone = loadPicture("stonewall/stonegood3.tga"), badStone = loadPicture("stonewall/stonebad3.tga");
    ASSERT_TRUE(goodStone.ok && badStone.ok);
    EXPECT_GT(goodStone.meanLuminance(), badStone.meanLuminance() + 0.2);
}

// The panel quad shows t = 0 at its bottom: the big heading (gold "OMNIVEX", white "YOU WIN!", red
// "YOU LOSE") must sit in the last file rows, the top of the picture.
TEST(ArtTextures, InfoPanelsAreUprightWithTheirHeadingAtTheTop) {
    const struct Panel {
        const char* file;
        bool (*isHeading)(const std::array<int, 4>&);
    } panels[] = {
        {"infopanel/infocontrols.tga", [](const std::array<int, 4>& c) { return c[0] > 200 && c[1] > 150 && c[2] < 120; }},
        {"infopanel/infowin.tga", [](const std::array<int, 4>& c) { return c[0] > 245 && c[1] > 245 && c[2] > 245; }},
        {"infopanel/infolose.tga", [](const std::array<int, 4>& c) { return c[0] > 200 && c[1] < 80 && c[2] < 80; }},
    };
    for (const Panel& panel : panels) {
        SCOPED_TRACE(panel.file);
        const Picture p = loadPicture(panel.file);
        ASSERT_TRUE(p.ok);
        EXPECT_GE(p.width, 512);
        // Inside the decorative frame, which is the same at the top and the bottom.
        const int margin = p.width / 16;
        size_t top = 0, bottom = 0;
        for (int y = p.height * 3 / 4; y < p.height - margin; ++y)
            for (int x = margin; x < p.width - margin; ++x) top += panel.isHeading(p.at(x, y));
        for (int y = margin; y < p.height / 4; ++y)
            for (int x = margin; x < p.width - margin; ++x) bottom += panel.isHeading(p.at(x, y));
        EXPECT_GT(top, static_cast<size_t>(p.width) * 8) << "no heading at the top";
        EXPECT_GT(top, 3 * bottom);
    }
}
