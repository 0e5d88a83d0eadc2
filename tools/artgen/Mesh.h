// Mesh.h -- triangle meshes for the OBJ models: flat-shaded building blocks (boxes, lofts) and the OBJ writer.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <glm/glm.hpp>

namespace artgen {

// Texture coordinates as written to the OBJ file. The game flips v on import and stores pictures bottom-up,
// so an OBJ v is the distance from the TOP of the picture (0 top, 1 bottom), u from the left.
struct Vertex {
    glm::vec3 position{0.0f};
    glm::vec2 uv{0.0f};
};

struct Triangle {
    Vertex v[3];
};

struct Mesh {
    std::string name;
    std::vector<Triangle> triangles;

    void add(const Vertex& a, const Vertex& b, const Vertex& c) { triangles.push_back(Triangle{{a, b, c}}); }
    // Adds the triangle wound so that its face normal points away from `inside`.
    void addFacingAway(const Vertex& a, const Vertex& b, const Vertex& c, const glm::vec3& inside);
    // Two triangles (a, b, c) and (a, c, d), each wound away from `inside`.
    void addQuadFacingAway(const Vertex& a, const Vertex& b, const Vertex& c, const Vertex& d,
                           const glm::vec3& inside);
};

// A sub-rectangle of a texture in OBJ coordinates (v from the top); at(s, t) maps [0,1]^2 into it.
struct UvRect {
    float u0 = 0.0f, v0 = 0.0f, u1 = 1.0f, v1 = 1.0f;
    glm::vec2 at(float s, float t) const { return {u0 + (u1 - u0) * s, v0 + (v1 - v0) * t}; }
};

glm::vec3 faceNormal(const Triangle& t);

// Texture coordinates of a box corner: position, the face's outward axis and (s, t) across the face,
// t = 0 at the face's top edge (for the top and bottom faces t runs along -z .. +z).
using BoxUv = std::function<glm::vec2(const glm::vec3& position, const glm::vec3& axis, const glm::vec2& st)>;

// Axis-aligned box from lo to hi, six faces (five without the bottom).
void addBox(Mesh& mesh, const glm::vec3& lo, const glm::vec3& hi, const BoxUv& uv, bool withBottom);
// Every face shows the whole rectangle.
BoxUv stretchedUv(const UvRect& rect);
// World-planar mapping: one texture repeat every `unitsPerRepeat` along each face.
BoxUv tiledUv(float unitsPerRepeat);

// A closed band through rings of equal size (bottom ring first, each ring ordered by angle). Column i of
// n points gets s = i / n across `rect` (the seam column repeats at s = 1); ring k gets t = ringT[k].
// A ring whose points coincide closes the band to a point (its empty triangles are left out).
// Caps fan to the ring's centroid and map the ring's top view into capRect.
void addLoft(Mesh& mesh, const std::vector<std::vector<glm::vec3>>& rings, const std::vector<float>& ringT,
             const UvRect& rect, bool capBottom, bool capTop, const UvRect& capRect);

// Ring of n points around centre with radius rx along x and rz along z. Point i lies at the angle
// -pi + 2 pi i / n from +x towards +z, so the front (+x) falls on the middle column (s = 0.5) of a loft.
std::vector<glm::vec3> ellipseRing(const glm::vec3& centre, float rx, float rz, int n);

// Writes the meshes as one OBJ file: per mesh an "o" line, then for every triangle three v, three vt,
// one vn (its face normal) and an f line. Returns false when the file cannot be written.
bool writeObj(const std::string& path, const std::vector<Mesh>& meshes);

}  // namespace artgen
