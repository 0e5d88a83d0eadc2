// ArtModelsTest.cpp -- the generated OBJ models as the game's import reads them: shading, budgets, sizes, the way
// they face, the pictures they carry, and which are closed solids wound outwards.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <numeric>
#include <tuple>

#include "ArtResources.h"

using arttest::boxOf;
using arttest::loadGeometry;
using arttest::MeshBox;
using arttest::ModelGeometry;
using ::testing::AllOf;
using ::testing::Ge;
using ::testing::Gt;
using ::testing::Le;
using ::testing::Lt;

namespace {

float horizontalDistance(const glm::vec3& p) { return std::sqrt(p.x * p.x + p.z * p.z); }

// Every file: flat shading (each triangle's normals its unit face normal, agreeing with the winding), a triangle
// budget, and the floor and height that the model's scale in the world calls for: people 15 times about 2 tall
// (below 3, so the monument, 75 times and hidden at y = -225, stays under the ground), the tree 12 times about 14,
// the moai 0.4 times about 150 (60 world units), the grenade rising from -0.92 of its size, the wall and the borders
// low.
TEST(ArtModels, EveryModelIsFlatShadedWithinItsBudgetFloorAndHeight) {
    const struct {
        const char* file;
        size_t fewestTriangles, mostTriangles;
        float floor, lowestTop, highestTop;
    } models[] = {
        {"goodbobob2.obj", 70, 170, 0.0f, 1.7f, 2.3f},          {"badbobob3.obj", 70, 170, 0.0f, 1.7f, 2.3f},
        {"MediumPolyTree2.obj", 900, 1300, 0.0f, 12.0f, 16.0f}, {"moai_duplicated.obj", 300, 800, 0.0f, 135.0f, 165.0f},
        {"holygrenade2.obj", 150, 400, -0.92f, 1.3f, 2.0f},     {"wall7.obj", 100, 700, 0.0f, 0.0f, 1.5f},
        {"groundborder.obj", 24, 300, 0.0f, 0.8f, 1.4f},        {"holygrenadeborder2.obj", 48, 400, 0.0f, 0.0f, 10.0f}};
    ASSERT_EQ(std::size(models), arttest::gameModelFiles.size());
    for (const auto& expected : models) {
        SCOPED_TRACE(expected.file);
        const ModelGeometry model = loadGeometry(expected.file);
        ASSERT_TRUE(model.ok) << model.reason;
        size_t disagreeing = 0;
        for (size_t m = 0; m < model.meshPositions.size(); ++m) {
            const auto& p = model.meshPositions[m];
            const auto& n = model.meshNormals[m];
            ASSERT_EQ(n.size(), p.size()) << "normals of mesh " << m;
            ASSERT_EQ(model.meshTexCoords[m].size(), p.size()) << "texture coordinates of mesh " << m;
            for (size_t v = 0; v + 2 < p.size(); v += 3) {
                const glm::vec3 cross = glm::cross(p[v + 1] - p[v], p[v + 2] - p[v]);
                ASSERT_GT(glm::length(cross), 0.0f) << "degenerate triangle in mesh " << m;
                for (int k = 0; k < 3; ++k) EXPECT_NEAR(glm::length(n[v + k]), 1.0f, 1e-3f);
                disagreeing += glm::dot(glm::normalize(cross), n[v]) < 0.999f;
            }
        }
        const size_t triangles = model.all.size() / 3;
        EXPECT_EQ(disagreeing, 0u) << "of " << triangles << " triangles";
        EXPECT_THAT(triangles, AllOf(Ge(expected.fewestTriangles), Le(expected.mostTriangles)));
        const MeshBox box = boxOf(model.all);
        EXPECT_NEAR(box.min.y, expected.floor, expected.floor == 0.0f ? 0.01f : 0.03f);
        EXPECT_THAT(box.max.y, AllOf(Gt(expected.lowestTop), Lt(expected.highestTop))) << "the top";
    }
}

// People face +x, the direction they walk in: the feet reach further forward than back, and the eyes painted on
// their pictures land, through the game's import (v flipped) and its bottom-up pictures, on head facets that look
// along +x.
TEST(ArtModels, PeopleFacePlusXWithTheirFeetAndTheirPaintedEyes) {
    const struct {
        const char* model;
        const char* texture;
        bool (*isEye)(const std::array<int, 4>&);
    } figures[] = {
        {"goodbobob2.obj", "peoplegood/goodbobob.tga",
         [](const std::array<int, 4>& c) { return c[0] > 235 && c[1] > 235 && c[2] > 235; }},
        {"badbobob3.obj", "peoplebad/badbobob2.tga",
         [](const std::array<int, 4>& c) { return c[0] > 200 && c[1] < 120 && c[2] < 80; }},
    };
    for (const auto& figure : figures) {
        SCOPED_TRACE(figure.model);
        const ModelGeometry model = loadGeometry(figure.model);
        const arttest::Picture picture = arttest::loadPicture(figure.texture);
        ASSERT_TRUE(model.ok) << model.reason;
        ASSERT_TRUE(picture.ok);
        float footFront = -1e9f, footBack = 1e9f;
        for (const glm::vec3& p : model.all)
            if (p.y < 0.05f) footFront = std::max(footFront, p.x), footBack = std::min(footBack, p.x);
        EXPECT_GT(footFront, -footBack + 0.05f);

        // The normals of the head's triangles, once per eye-coloured texel on a grid over the triangle's picture.
        glm::vec3 look(0.0f);
        size_t eyeTexels = 0;
        const auto& p = model.meshPositions[0];
        const auto& uv = model.meshTexCoords[0];
        constexpr int steps = 32;
        for (size_t v = 0; v + 2 < p.size(); v += 3)
            for (int i = 0; i <= steps && p[v].y > 1.2f; ++i)
                for (int j = 0; i + j <= steps; ++j) {
                    const glm::vec2 t =
                        uv[v] + ((uv[v + 1] - uv[v]) * float(i) + (uv[v + 2] - uv[v]) * float(j)) / float(steps);
                    const int x = std::min(int(t.x * picture.width), picture.width - 1);
                    if (figure.isEye(picture.at(x, std::min(int(t.y * picture.height), picture.height - 1))))
                        look += model.meshNormals[0][v], ++eyeTexels;
                }
        ASSERT_GT(eyeTexels, 20u) << "no eyes on the head";
        EXPECT_GT(glm::normalize(look).x, 0.8f) << "the eyes do not look along +x";
    }
}

// The renderer draws mesh 15 with bark and every other mesh as leaf cards cut out by the leaf mask: a thin trunk
// on the origin, clusters of cards up in the crown, each card's corner of the mask holding a sprig (or the card
// vanishes).
TEST(ArtModels, TreeHasLeafCardsShowingTheMaskAroundATrunkThatIsMeshFifteen) {
    const ModelGeometry tree = loadGeometry("MediumPolyTree2.obj");
    const arttest::Picture mask = arttest::loadPicture("tree/leafalpha.tga");
    ASSERT_TRUE(tree.ok) << tree.reason;
    ASSERT_TRUE(mask.ok);
    ASSERT_GE(tree.meshPositions.size(), 16u);
    const MeshBox trunk = boxOf(tree.meshPositions[15]);
    EXPECT_LT(horizontalDistance(trunk.centre()), 1.0f);
    EXPECT_LT(std::max(trunk.size().x, trunk.size().z), trunk.size().y * 0.6f) << "trunk is not thin";
    for (size_t m = 0; m < tree.meshPositions.size(); ++m) {
        if (m == 15) continue;
        EXPECT_GT(boxOf(tree.meshPositions[m]).min.y, 3.0f) << "leaf cluster " << m << " hangs to the ground";
        EXPECT_GE(tree.meshPositions[m].size(), 6u * 8u) << "cluster " << m << " has few cards";
        const auto& uv = tree.meshTexCoords[m];
        for (size_t v = 0; v + 5 < uv.size(); v += 6) {  // two triangles per card
            glm::vec2 lo(1e9f), hi(-1e9f);
            for (size_t k = v; k < v + 6; ++k) lo = glm::min(lo, uv[k]), hi = glm::max(hi, uv[k]);
            size_t solid = 0, total = 0;
            for (int y = static_cast<int>(lo.y * mask.height); y < static_cast<int>(hi.y * mask.height); ++y)
                for (int x = static_cast<int>(lo.x * mask.width); x < static_cast<int>(hi.x * mask.width); ++x, ++total)
                    solid += mask.at(x, y)[0] >= 128;  // the game cuts on the mask's red channel at one half
            ASSERT_GT(total, 100u) << "card " << v / 6 << " of mesh " << m << " maps to a sliver";
            EXPECT_GT(static_cast<double>(solid) / total, 0.2) << "card " << v / 6 << " of mesh " << m;
        }
    }
}

// The grenade rolls about z: an orb of radius ~0.92 centred at the origin whose faces look outwards, with the cross
// above it and the front at +x.
TEST(ArtModels, HolyGrenadeIsAnOrbAtTheOriginWithACrossOnTopAndItsFrontAtPlusX) {
    const ModelGeometry grenade = loadGeometry("holygrenade2.obj");
    ASSERT_TRUE(grenade.ok) << grenade.reason;
    const auto& orb = grenade.meshPositions[0];
    const auto [shortest, longest] = std::minmax_element(
        orb.begin(), orb.end(), [](const glm::vec3& a, const glm::vec3& b) { return glm::length(a) < glm::length(b); });
    EXPECT_NEAR(glm::length(*longest), 0.92f, 0.03f);
    EXPECT_GT(glm::length(*shortest), 0.85f) << "the body is not round";
    for (size_t v = 0; v < orb.size(); v += 3)
        EXPECT_GT(glm::dot(grenade.meshNormals[0][v], orb[v] + orb[v + 1] + orb[v + 2]), 0.0f) << "triangle " << v / 3;
    MeshBox top;
    const MeshBox box = boxOf(grenade.all);
    for (const glm::vec3& p : grenade.all) p.y > 1.1f ? top.add(p) : void();
    EXPECT_GT(top.vertexCount, 0u) << "the cross is not on top";
    EXPECT_LT(horizontalDistance(top.centre()), 0.05f) << "the cross is not on top";
    EXPECT_GT(box.max.x, -box.min.x + 0.05f) << "nothing marks the front";
}

// The moai stands upright on the origin; the grenade's border is a flat ring of radius ~333 round it; the wall, at
// scale 66.42, is a hollow square of half-width 5 enclosing the walking square of half-width 307 (4.62 model
// units); each ground border piece, 3868 from the centre and scaled 552.61 along x, is a long thin strip.
TEST(ArtModels, TheMoaiRingWallAndBorderFitTheirPlacesInTheWorld) {
    const MeshBox moai = boxOf(loadGeometry("moai_duplicated.obj").all);
    EXPECT_LT(horizontalDistance(moai.centre()), 10.0f);
    EXPECT_LT(std::max(moai.size().x, moai.size().z), moai.size().y * 0.6f);

    float outer = 0.0f, inner = 1e9f, wallInner = 1e9f;
    for (const glm::vec3& p : loadGeometry("holygrenadeborder2.obj").all)
        outer = std::max(outer, horizontalDistance(p)), inner = std::min(inner, horizontalDistance(p));
    EXPECT_NEAR(outer, 333.0f, 10.0f);
    EXPECT_GT(inner, 250.0f) << "the ring is filled";

    const ModelGeometry wall = loadGeometry("wall7.obj");
    for (const glm::vec3& p : wall.all) wallInner = std::min(wallInner, std::max(std::fabs(p.x), std::fabs(p.z)));
    EXPECT_GT(wallInner, 307.0f / 66.42f) << "wall inside the walking square";
    const MeshBox box = boxOf(wall.all);
    for (const float side : {box.max.x, -box.min.x, box.max.z, -box.min.z}) EXPECT_NEAR(side, 5.0f, 0.2f);

    const MeshBox border = boxOf(loadGeometry("groundborder.obj").all);
    EXPECT_LT(std::fabs(border.size().x - 14.0f), 1.0f) << "not a long strip along x: " << border.size().x;
    EXPECT_LT(std::fabs(border.centre().x), 0.2f) << "not centred along x";
    EXPECT_LT(border.size().z, 0.3f) << "not thin: " << border.size().z;
}

// How one mesh stands as a solid, its triangles joined where their corners lie at the same position.
struct SolidShape {
    size_t triangles = 0;
    size_t unpairedEdges = 0;  // edges not walked exactly once each way by the triangles that share them
    size_t pieces = 0;         // parts joined edge to edge
    size_t inwardPieces = 0;   // parts whose faces enclose no positive volume (wound inwards)
};

SolidShape solidShapeOf(const std::vector<glm::vec3>& positions) {
    SolidShape shape;
    shape.triangles = positions.size() / 3;
    std::map<std::tuple<float, float, float>, int> corners;
    std::vector<int> corner(positions.size());
    for (size_t v = 0; v < positions.size(); ++v)
        corner[v] = corners.emplace(std::make_tuple(positions[v].x, positions[v].y, positions[v].z),
                                    static_cast<int>(corners.size()))
                        .first->second;
    // Each directed edge with the triangles that walk it; triangles sharing an edge belong to one piece.
    std::map<std::pair<int, int>, std::vector<size_t>> edges;
    for (size_t t = 0; t < shape.triangles; ++t)
        for (int k = 0; k < 3; ++k) edges[{corner[3 * t + k], corner[3 * t + (k + 1) % 3]}].push_back(t);
    std::vector<size_t> piece(shape.triangles);
    std::iota(piece.begin(), piece.end(), 0);
    const auto root = [&](size_t t) {
        while (piece[t] != t) t = piece[t] = piece[piece[t]];
        return t;
    };
    for (const auto& [edge, walkers] : edges) {
        const auto reverse = edges.find({edge.second, edge.first});
        const size_t back = reverse == edges.end() ? 0 : reverse->second.size();
        shape.unpairedEdges += walkers.size() != 1 || back != 1;
        if (reverse != edges.end()) piece[root(walkers.front())] = root(reverse->second.front());
    }
    std::map<size_t, double> volumes;  // six times the signed volume of each piece
    for (size_t t = 0; t < shape.triangles; ++t)
        volumes[root(t)] += glm::dot(positions[3 * t], glm::cross(positions[3 * t + 1], positions[3 * t + 2]));
    shape.pieces = volumes.size();
    for (const auto& [piece, volume] : volumes) shape.inwardPieces += volume <= 0.0;
    return shape;
}

// The check itself, on a unit cube: wound outwards it is one closed piece; turned inside out it encloses no positive
// volume; with a face missing its rim is open.
TEST(ArtModels, TheSolidCheckTellsAClosedCubeFromAnInsideOutOrOpenOne) {
    std::vector<glm::vec3> cube;
    const glm::vec3 corner[8] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    // Each face's corners counter-clockwise seen from outside.
    const int faces[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {2, 3, 7, 6}, {1, 2, 6, 5}, {0, 4, 7, 3}};
    for (const auto& f : faces)
        for (const int k : {f[0], f[1], f[2], f[0], f[2], f[3]}) cube.push_back(corner[k]);
    std::vector<glm::vec3> insideOut(cube.rbegin(), cube.rend());
    std::vector<glm::vec3> open(cube.begin() + 6, cube.end());
    const SolidShape outward = solidShapeOf(cube), inward = solidShapeOf(insideOut), holed = solidShapeOf(open);
    EXPECT_EQ((std::vector<size_t>{outward.unpairedEdges, outward.pieces, outward.inwardPieces}),
              (std::vector<size_t>{0, 1, 0}));
    EXPECT_EQ((std::vector<size_t>{inward.unpairedEdges, inward.inwardPieces}), (std::vector<size_t>{0, 1}));
    EXPECT_EQ(holed.unpairedEdges, 4u);
}

// Which meshes are closed solids, so that leaving out the faces turned away from the camera changes nothing that
// is seen: every edge is shared by two triangles walking it in opposite directions (closed, consistently wound)
// and every piece encloses a positive volume (counter-clockwise seen from outside). Only the tree's leaf cards
// (meshes 0 to 14), flat cards seen from both sides, are open. Prints the table.
TEST(ArtModels, EveryModelButTheLeafCardsIsAClosedSolidWoundOutwards) {
    std::printf("%-24s %5s %9s %6s %8s %s\n", "model", "mesh", "triangles", "pieces", "unpaired", "closed");
    for (const std::string& file : arttest::gameModelFiles) {
        SCOPED_TRACE(file);
        const ModelGeometry model = loadGeometry(file);
        ASSERT_TRUE(model.ok) << model.reason;
        for (size_t m = 0; m < model.meshPositions.size(); ++m) {
            const bool leafCards = file == "MediumPolyTree2.obj" && m < 15;
            const SolidShape shape = solidShapeOf(model.meshPositions[m]);
            const bool closed = shape.unpairedEdges == 0 && shape.inwardPieces == 0;
            std::printf("%-24s %5zu %9zu %6zu %8zu %s\n", file.c_str(), m, shape.triangles, shape.pieces,
                        shape.unpairedEdges, closed ? "closed" : "open");
            if (leafCards) {
                EXPECT_GT(shape.unpairedEdges, 0u) << "leaf cards of mesh " << m << " are open cards";
                continue;
            }
            EXPECT_EQ(shape.unpairedEdges, 0u) << "mesh " << m;
            EXPECT_EQ(shape.inwardPieces, 0u) << "mesh " << m << " of " << shape.pieces << " pieces";
        }
    }
}

}  // namespace
