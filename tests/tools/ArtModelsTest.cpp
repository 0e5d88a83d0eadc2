// ArtModelsTest.cpp -- the generated OBJ models: what the importer sees, sizes, orientation and budgets.
#include <gtest/gtest.h>

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cmath>

#include "ArtResources.h"

using arttest::loadGeometry;
using arttest::MeshBox;
using arttest::ModelGeometry;
using arttest::resourcePath;

namespace {

float horizontalDistance(const glm::vec3& p) { return std::sqrt(p.x * p.x + p.z * p.z); }

}  // namespace

// The game copies vertices face by face without reading the faces: every file must be triangles only,
// each face using its own three vertices in order, with a normal and a texture coordinate on every vertex.
TEST(ArtModels, EveryModelImportsAsOwnVertexTrianglesWithNormalsAndTexCoords) {
    for (const std::string& file : arttest::gameModelFiles()) {
        SCOPED_TRACE(file);
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFile(resourcePath("models/" + file), 0);  // no triangulation
        ASSERT_NE(scene, nullptr) << importer.GetErrorString();
        ASSERT_GT(scene->mNumMeshes, 0u);
        for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
            const aiMesh* mesh = scene->mMeshes[m];
            EXPECT_EQ(mesh->mPrimitiveTypes, static_cast<unsigned>(aiPrimitiveType_TRIANGLE)) << "mesh " << m;
            EXPECT_TRUE(mesh->HasNormals()) << "mesh " << m;
            EXPECT_TRUE(mesh->HasTextureCoords(0)) << "mesh " << m;
            EXPECT_EQ(mesh->mNumVertices, 3 * mesh->mNumFaces) << "mesh " << m;
            bool inOrder = true;
            for (unsigned f = 0; f < mesh->mNumFaces && inOrder; ++f) {
                const aiFace& face = mesh->mFaces[f];
                inOrder = face.mNumIndices == 3 && face.mIndices[0] == 3 * f && face.mIndices[1] == 3 * f + 1 &&
                          face.mIndices[2] == 3 * f + 2;
            }
            EXPECT_TRUE(inOrder) << "mesh " << m << " shares or reorders face corners";
        }
    }
}

// Flat shading: each triangle's three normals are its unit face normal, agreeing with the winding.
TEST(ArtModels, NormalsAreUnitFaceNormalsThatAgreeWithTheWinding) {
    for (const std::string& file : arttest::gameModelFiles()) {
        SCOPED_TRACE(file);
        const ModelGeometry model = loadGeometry(file);
        ASSERT_TRUE(model.ok) << model.reason;
        size_t disagreeing = 0, total = 0;
        for (size_t m = 0; m < model.meshPositions.size(); ++m) {
            const auto& p = model.meshPositions[m];
            const auto& n = model.meshNormals[m];
            ASSERT_EQ(p.size(), n.size());
            for (size_t v = 0; v + 2 < p.size(); v += 3) {
                const glm::vec3 cross = glm::cross(p[v + 1] - p[v], p[v + 2] - p[v]);
                ASSERT_GT(glm::length(cross), 0.0f) << "degenerate triangle in mesh " << m;
                for (int k = 0; k < 3; ++k) EXPECT_NEAR(glm::length(n[v + k]), 1.0f, 1e-3f);
                if (glm::dot(glm::normalize(cross), n[v]) < 0.999f) ++disagreeing;
                ++total;
            }
        }
        EXPECT_EQ(disagreeing, 0u) << "of " << total << " triangles";
    }
}

TEST(ArtModels, TriangleBudgets) {
    const struct Budget {
        const char* file;
        size_t low, high;
    } budgets[] = {{"goodbobob2.obj", 70, 130},       {"badbobob3.obj", 70, 130},      {"MediumPolyTree2.obj", 900, 1300},
                   {"moai_duplicated.obj", 300, 800}, {"holygrenade2.obj", 150, 400},  {"wall7.obj", 100, 600},
                   {"groundborder.obj", 24, 300},     {"holygrenadeborder2.obj", 48, 300}};
    for (const Budget& b : budgets) {
        const ModelGeometry model = loadGeometry(b.file);
        ASSERT_TRUE(model.ok) << b.file << ": " << model.reason;
        EXPECT_GE(model.triangleCount(), b.low) << b.file;
        EXPECT_LE(model.triangleCount(), b.high) << b.file;
    }
}

// People are 15 times their model size in the world, the monument 75 times and hidden at y = -225:
// about 2 tall, standing on y = 0, and below 3 so the hidden monument stays under the ground.
TEST(ArtModels, PeopleStandOnTheGroundTwoUnitsTallFacingPlusX) {
    for (const char* file : {"goodbobob2.obj", "badbobob3.obj"}) {
        SCOPED_TRACE(file);
        const ModelGeometry model = loadGeometry(file);
        ASSERT_TRUE(model.ok) << model.reason;
        const MeshBox box = model.box();
        EXPECT_NEAR(box.min.y, 0.0f, 0.01f);
        EXPECT_GT(box.max.y, 1.7f);
        EXPECT_LT(box.max.y, 2.3f);
        EXPECT_LT(box.max.y * 75.0f, 225.0f);
        EXPECT_LT(std::max(std::fabs(box.min.z), std::fabs(box.max.z)), 1.0f);
        // Facing +x: the feet reach further forward than back.
        float footFront = -1e9f, footBack = 1e9f;
        for (const auto& mesh : model.meshPositions)
            for (const glm::vec3& p : mesh)
                if (p.y < 0.05f) {
                    footFront = std::max(footFront, p.x);
                    footBack = std::min(footBack, p.x);
                }
        EXPECT_GT(footFront, -footBack + 0.05f);
    }
    // The figures differ: the bad one is hunched and horned, so the two outlines are not the same.
    const MeshBox good = loadGeometry("goodbobob2.obj").box(), bad = loadGeometry("badbobob3.obj").box();
    EXPECT_GT(glm::length(good.max - bad.max) + glm::length(good.min - bad.min), 0.05f);
}

// The eyes painted on the people's pictures land, through the game's import (v flipped) and its
// bottom-up pictures, on head facets that look along +x, the direction people walk in.
TEST(ArtModels, PeopleLookAlongPlusXWithTheirPaintedEyes) {
    const struct Figure {
        const char* model;
        const char* texture;
        bool (*isEye)(const std::array<int, 4>&);
    } figures[] = {
        {"goodbobob2.obj", "peoplegood/goodbobob.tga",
         [](const std::array<int, 4>& c) { return c[0] > 235 && c[1] > 235 && c[2] > 235; }},
        {"badbobob3.obj", "peoplebad/badbobob2.tga",
         [](const std::array<int, 4>& c) { return c[0] > 200 && c[1] < 120 && c[2] < 80; }},
    };
    for (const Figure& figure : figures) {
        SCOPED_TRACE(figure.model);
        const ModelGeometry model = loadGeometry(figure.model);
        const arttest::Picture picture = arttest::loadPicture(figure.texture);
        ASSERT_TRUE(model.ok && picture.ok);
        glm::vec3 look(0.0f);
        size_t eyeTexels = 0;
        const auto& p = model.meshPositions[0];
        const auto& n = model.meshNormals[0];
        const auto& uv = model.meshTexCoords[0];
        for (size_t v = 0; v + 2 < p.size(); v += 3) {
            if (p[v].y < 1.2f) continue;  // the head only
            // Texel centres inside the triangle in texture space (t = 0 is the first file row).
            const glm::vec2 a = uv[v] * glm::vec2(picture.width, picture.height);
            const glm::vec2 b = uv[v + 1] * glm::vec2(picture.width, picture.height);
            const glm::vec2 c = uv[v + 2] * glm::vec2(picture.width, picture.height);
            const float area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
            if (std::fabs(area) < 1e-6f) continue;
            const glm::vec2 lo = glm::min(a, glm::min(b, c)), hi = glm::max(a, glm::max(b, c));
            for (int y = std::max(0, static_cast<int>(lo.y)); y < std::min(picture.height, static_cast<int>(hi.y) + 1); ++y)
                for (int x = std::max(0, static_cast<int>(lo.x)); x < std::min(picture.width, static_cast<int>(hi.x) + 1); ++x) {
                    const glm::vec2 q(x + 0.5f, y + 0.5f);
                    const float w0 = ((b.x - q.x) * (c.y - q.y) - (c.x - q.x) * (b.y - q.y)) / area;
                    const float w1 = ((c.x - q.x) * (a.y - q.y) - (a.x - q.x) * (c.y - q.y)) / area;
                    if (w0 < 0.0f || w1 < 0.0f || w0 + w1 > 1.0f || !figure.isEye(picture.at(x, y))) continue;
                    look += n[v];
                    ++eyeTexels;
                }
        }
        ASSERT_GT(eyeTexels, 20u) << "no eyes on the head";
        look = glm::normalize(look);
        EXPECT_GT(look.x, 0.8f) << "eyes look along (" << look.x << ", " << look.y << ", " << look.z << ")";
    }
}

// Tree at scale 12: ~14 units tall on the origin; the renderer draws mesh 15 with bark and every
// other mesh as alpha-cut leaves.
TEST(ArtModels, TreeHasLeafClustersAroundATrunkThatIsMeshFifteen) {
    const ModelGeometry tree = loadGeometry("MediumPolyTree2.obj");
    ASSERT_TRUE(tree.ok) << tree.reason;
    ASSERT_GE(tree.meshPositions.size(), 16u);
    const MeshBox all = tree.box();
    EXPECT_NEAR(all.min.y, 0.0f, 0.01f);
    EXPECT_GT(all.max.y, 12.0f);
    EXPECT_LT(all.max.y, 16.0f);
    const MeshBox trunk = tree.meshBox(15);
    EXPECT_NEAR(trunk.min.y, 0.0f, 0.01f);
    EXPECT_LT(horizontalDistance(trunk.centre()), 1.0f);
    EXPECT_LT(std::max(trunk.size().x, trunk.size().z), trunk.size().y * 0.6f) << "trunk is not thin";
    for (size_t m = 0; m < tree.meshPositions.size(); ++m) {
        if (m == 15) continue;
        const MeshBox leaves = tree.meshBox(m);
        EXPECT_LT(leaves.size().y, trunk.size().y) << "mesh " << m << " is taller than the trunk";
        EXPECT_GT(leaves.min.y, 3.0f) << "leaf cluster " << m << " hangs to the ground";
        EXPECT_GE(tree.meshPositions[m].size(), 6u * 8u) << "cluster " << m << " has few cards";
    }
}

// Each leaf card is drawn cut out by the leaf mask: its corner of the picture must hold a sprig, or
// the card vanishes.
TEST(ArtModels, EveryLeafCardShowsLeavesOfTheMask) {
    const ModelGeometry tree = loadGeometry("MediumPolyTree2.obj");
    const arttest::Picture mask = arttest::loadPicture("tree/leafalpha.tga");
    ASSERT_TRUE(tree.ok && mask.ok);
    for (size_t m = 0; m < tree.meshPositions.size(); ++m) {
        if (m == 15) continue;
        const auto& uv = tree.meshTexCoords[m];
        for (size_t v = 0; v + 5 < uv.size(); v += 6) {  // two triangles per card
            glm::vec2 lo(1e9f), hi(-1e9f);
            for (size_t k = v; k < v + 6; ++k) {
                lo = glm::min(lo, uv[k]);
                hi = glm::max(hi, uv[k]);
            }
            size_t solid = 0, total = 0;
            for (int y = static_cast<int>(lo.y * mask.height); y < static_cast<int>(hi.y * mask.height); ++y)
                for (int x = static_cast<int>(lo.x * mask.width); x < static_cast<int>(hi.x * mask.width); ++x) {
                    solid += mask.at(x, y)[0] >= 128;  // the game cuts on the mask's red channel at one half
                    ++total;
                }
            ASSERT_GT(total, 100u) << "card " << v / 6 << " of mesh " << m << " maps to a sliver";
            EXPECT_GT(static_cast<double>(solid) / total, 0.2) << "card " << v / 6 << " of mesh " << m;
        }
    }
}

// The moai at scale 0.4 is 60 world units: ~150 model units standing on y = 0.
TEST(ArtModels, MoaiIsAStatueAboutOneHundredFiftyTallOnTheGround) {
    const ModelGeometry moai = loadGeometry("moai_duplicated.obj");
    ASSERT_TRUE(moai.ok) << moai.reason;
    const MeshBox box = moai.box();
    EXPECT_NEAR(box.min.y, 0.0f, 0.01f);
    EXPECT_GT(box.max.y, 135.0f);
    EXPECT_LT(box.max.y, 165.0f);
    EXPECT_LT(horizontalDistance(box.centre()), 10.0f);
    EXPECT_LT(std::max(box.size().x, box.size().z), box.size().y * 0.6f);
}

// The grenade rises from -0.95 to +0.92 of its size and rolls about z: an orb of radius ~0.92 centred
// at the origin, with the cross above it and the front at +x.
TEST(ArtModels, HolyGrenadeIsAnOrbAtTheOriginWithACrossOnTopAndItsFrontAtPlusX) {
    const ModelGeometry grenade = loadGeometry("holygrenade2.obj");
    ASSERT_TRUE(grenade.ok) << grenade.reason;
    const auto& orb = grenade.meshPositions[0];
    float radiusMin = 1e9f, radiusMax = 0.0f;
    for (const glm::vec3& p : orb) {
        radiusMin = std::min(radiusMin, glm::length(p));
        radiusMax = std::max(radiusMax, glm::length(p));
    }
    EXPECT_NEAR(radiusMax, 0.92f, 0.03f);
    EXPECT_GT(radiusMin, 0.85f) << "the body is not round";
    // The orb's faces look outwards.
    const auto& normals = grenade.meshNormals[0];
    for (size_t v = 0; v < orb.size(); v += 3)
        EXPECT_GT(glm::dot(normals[v], orb[v] + orb[v + 1] + orb[v + 2]), 0.0f) << "triangle " << v / 3;
    const MeshBox box = grenade.box();
    EXPECT_NEAR(box.min.y, -0.92f, 0.03f);
    EXPECT_GT(box.max.y, 1.3f);
    EXPECT_LT(box.max.y, 2.0f);
    MeshBox top;
    for (const auto& mesh : grenade.meshPositions)
        for (const glm::vec3& p : mesh)
            if (p.y > 1.1f) top.add(p);
    ASSERT_GT(top.vertexCount, 0u);
    EXPECT_LT(horizontalDistance(top.centre()), 0.05f) << "the cross is not on top";
    EXPECT_GT(box.max.x, -box.min.x + 0.05f) << "nothing marks the front";
}

TEST(ArtModels, GrenadeBorderIsAFlatRingOfRadiusAboutThreeHundredThirtyThree) {
    const ModelGeometry ring = loadGeometry("holygrenadeborder2.obj");
    ASSERT_TRUE(ring.ok) << ring.reason;
    float outer = 0.0f, inner = 1e9f;
    for (const auto& mesh : ring.meshPositions)
        for (const glm::vec3& p : mesh) {
            outer = std::max(outer, horizontalDistance(p));
            inner = std::min(inner, horizontalDistance(p));
        }
    EXPECT_NEAR(outer, 333.0f, 10.0f);
    EXPECT_GT(inner, 250.0f) << "the ring is filled";
    const MeshBox box = ring.box();
    EXPECT_NEAR(box.min.y, 0.0f, 0.01f);
    EXPECT_LT(box.size().y, 10.0f);
    EXPECT_LT(horizontalDistance(box.centre()), 1.0f);
}

// At scale 66.42 the wall must enclose the walking square of half-width 307 (4.62 model units).
TEST(ArtModels, WallIsALowHollowSquareOfHalfWidthFive) {
    const ModelGeometry wall = loadGeometry("wall7.obj");
    ASSERT_TRUE(wall.ok) << wall.reason;
    const MeshBox box = wall.box();
    EXPECT_NEAR(box.max.x, 5.0f, 0.2f);
    EXPECT_NEAR(-box.min.x, 5.0f, 0.2f);
    EXPECT_NEAR(box.max.z, 5.0f, 0.2f);
    EXPECT_NEAR(-box.min.z, 5.0f, 0.2f);
    EXPECT_NEAR(box.min.y, 0.0f, 0.01f);
    EXPECT_LT(box.max.y, 1.5f);
    for (const auto& mesh : wall.meshPositions)
        for (const glm::vec3& p : mesh)
            ASSERT_GT(std::max(std::fabs(p.x), std::fabs(p.z)), 307.0f / 66.42f) << "wall inside the walking square";
}

// Four pieces at 3868 from the centre, scaled 552.61 along x: each ~14 units long, ~1 high, thin in z.
TEST(ArtModels, GroundBorderIsALongLowThinStripAlongX) {
    const ModelGeometry border = loadGeometry("groundborder.obj");
    ASSERT_TRUE(border.ok) << border.reason;
    const MeshBox box = border.box();
    EXPECT_NEAR(box.size().x, 14.0f, 1.0f);
    EXPECT_NEAR(box.centre().x, 0.0f, 0.2f);
    EXPECT_NEAR(box.min.y, 0.0f, 0.01f);
    EXPECT_GT(box.max.y, 0.8f);
    EXPECT_LT(box.max.y, 1.4f);
    EXPECT_LT(box.size().z, 0.3f);
}
