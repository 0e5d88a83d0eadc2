// Mesh.cpp -- building blocks for the low-poly models and the Wavefront OBJ writer.
#include "Mesh.h"

#include <cmath>
#include <cstdio>

#include <glm/gtc/constants.hpp>

namespace artgen {

glm::vec3 faceNormal(const Triangle& t) {
    const glm::vec3 n = glm::cross(t.v[1].position - t.v[0].position, t.v[2].position - t.v[0].position);
    const float length = glm::length(n);
    return length > 1e-12f ? n / length : glm::vec3(0.0f, 1.0f, 0.0f);
}

void Mesh::addFacingAway(const Vertex& a, const Vertex& b, const Vertex& c, const glm::vec3& inside) {
    const glm::vec3 n = glm::cross(b.position - a.position, c.position - a.position);
    const glm::vec3 centroid = (a.position + b.position + c.position) / 3.0f;
    if (glm::dot(n, centroid - inside) >= 0.0f)
        add(a, b, c);
    else
        add(a, c, b);
}

void Mesh::addQuadFacingAway(const Vertex& a, const Vertex& b, const Vertex& c, const Vertex& d,
                             const glm::vec3& inside) {
    addFacingAway(a, b, c, inside);
    addFacingAway(a, c, d, inside);
}

void addBox(Mesh& mesh, const glm::vec3& lo, const glm::vec3& hi, const BoxUv& uv, bool withBottom) {
    const glm::vec3 centre = (lo + hi) * 0.5f;
    // Each face: outward axis and its four corners in order (top-left, top-right, bottom-right, bottom-left).
    struct Face {
        glm::vec3 axis;
        glm::vec3 corner[4];
    };
    const Face faces[] = {
        {{1, 0, 0}, {{hi.x, hi.y, hi.z}, {hi.x, hi.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, lo.y, hi.z}}},
        {{-1, 0, 0}, {{lo.x, hi.y, lo.z}, {lo.x, hi.y, hi.z}, {lo.x, lo.y, hi.z}, {lo.x, lo.y, lo.z}}},
        {{0, 0, 1}, {{lo.x, hi.y, hi.z}, {hi.x, hi.y, hi.z}, {hi.x, lo.y, hi.z}, {lo.x, lo.y, hi.z}}},
        {{0, 0, -1}, {{hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z}, {lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}}},
        {{0, 1, 0}, {{lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}}},
        {{0, -1, 0}, {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, lo.y, hi.z}, {lo.x, lo.y, hi.z}}},
    };
    const glm::vec2 st[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (const Face& f : faces) {
        if (f.axis.y < 0.0f && !withBottom) continue;
        Vertex v[4];
        for (int i = 0; i < 4; ++i) v[i] = Vertex{f.corner[i], uv(f.corner[i], f.axis, st[i])};
        mesh.addQuadFacingAway(v[0], v[1], v[2], v[3], centre);
    }
}

BoxUv stretchedUv(const UvRect& rect) {
    return [rect](const glm::vec3&, const glm::vec3&, const glm::vec2& st) { return rect.at(st.x, st.y); };
}

BoxUv tiledUv(float unitsPerRepeat) {
    return [unitsPerRepeat](const glm::vec3& p, const glm::vec3& axis, const glm::vec2&) {
        const float k = 1.0f / unitsPerRepeat;
        if (axis.y != 0.0f) return glm::vec2(p.x * k, p.z * k);
        if (axis.x != 0.0f) return glm::vec2(p.z * k, -p.y * k);
        return glm::vec2(p.x * k, -p.y * k);
    };
}

void addLoft(Mesh& mesh, const std::vector<std::vector<glm::vec3>>& rings, const std::vector<float>& ringT,
             const UvRect& rect, bool capBottom, bool capTop, const UvRect& capRect) {
    if (rings.size() < 2) return;
    const size_t n = rings[0].size();
    std::vector<glm::vec3> centres;
    for (const auto& ring : rings) {
        glm::vec3 c(0.0f);
        for (const glm::vec3& p : ring) c += p;
        centres.push_back(c / static_cast<float>(ring.size()));
    }
    for (size_t k = 0; k + 1 < rings.size(); ++k) {
        const glm::vec3 inside = (centres[k] + centres[k + 1]) * 0.5f;
        for (size_t i = 0; i < n; ++i) {
            const size_t j = (i + 1) % n;
            const float s0 = static_cast<float>(i) / static_cast<float>(n);
            const float s1 = static_cast<float>(i + 1) / static_cast<float>(n);
            const Vertex a{rings[k][i], rect.at(s0, ringT[k])};
            const Vertex b{rings[k][j], rect.at(s1, ringT[k])};
            const Vertex c{rings[k + 1][j], rect.at(s1, ringT[k + 1])};
            const Vertex d{rings[k + 1][i], rect.at(s0, ringT[k + 1])};
            const bool bottomCollapsed = glm::length(a.position - b.position) < 1e-6f;
            const bool topCollapsed = glm::length(c.position - d.position) < 1e-6f;
            if (!bottomCollapsed) mesh.addFacingAway(a, b, c, inside);
            if (!topCollapsed) mesh.addFacingAway(a, c, d, inside);
        }
    }
    const auto cap = [&](size_t k, const glm::vec3& inside) {
        float radius = 1e-6f;
        for (const glm::vec3& p : rings[k]) radius = std::max(radius, glm::length(glm::vec2(p.x - centres[k].x, p.z - centres[k].z)));
        const auto uvOf = [&](const glm::vec3& p) {
            return capRect.at(0.5f + 0.5f * (p.x - centres[k].x) / radius, 0.5f + 0.5f * (p.z - centres[k].z) / radius);
        };
        const Vertex centre{centres[k], uvOf(centres[k])};
        for (size_t i = 0; i < n; ++i) {
            const glm::vec3& p = rings[k][i];
            const glm::vec3& q = rings[k][(i + 1) % n];
            mesh.addFacingAway(centre, Vertex{p, uvOf(p)}, Vertex{q, uvOf(q)}, inside);
        }
    };
    if (capBottom) cap(0, centres[1]);
    if (capTop) cap(rings.size() - 1, centres[rings.size() - 2]);
}

std::vector<glm::vec3> ellipseRing(const glm::vec3& centre, float rx, float rz, int n) {
    std::vector<glm::vec3> ring;
    for (int i = 0; i < n; ++i) {
        const float angle = -glm::pi<float>() + glm::two_pi<float>() * static_cast<float>(i) / static_cast<float>(n);
        ring.push_back(centre + glm::vec3(std::cos(angle) * rx, 0.0f, std::sin(angle) * rz));
    }
    return ring;
}

bool writeObj(const std::string& path, const std::vector<Mesh>& meshes) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) return false;
    std::fprintf(file, "# Omnivex model: flat-shaded triangles, one object per mesh\n");
    long base = 1;
    long normalBase = 1;
    for (const Mesh& mesh : meshes) {
        std::fprintf(file, "o %s\n", mesh.name.c_str());
        for (const Triangle& t : mesh.triangles) {
            for (const Vertex& v : t.v) std::fprintf(file, "v %.5f %.5f %.5f\n", v.position.x, v.position.y, v.position.z);
            for (const Vertex& v : t.v) std::fprintf(file, "vt %.5f %.5f\n", v.uv.x, v.uv.y);
            const glm::vec3 n = faceNormal(t);
            std::fprintf(file, "vn %.5f %.5f %.5f\n", n.x, n.y, n.z);
            std::fprintf(file, "f %ld/%ld/%ld %ld/%ld/%ld %ld/%ld/%ld\n", base, base, normalBase, base + 1, base + 1,
                         normalBase, base + 2, base + 2, normalBase);
            base += 3;
            normalBase += 1;
        }
    }
    const bool ok = std::ferror(file) == 0;
    return std::fclose(file) == 0 && ok;
}

}  // namespace artgen
