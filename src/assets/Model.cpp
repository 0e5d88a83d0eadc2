// Model.cpp -- the model registry, OBJ import through Assimp after the strict check, vertex uploads and the built-in meshes.
#include "assets/Model.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <iostream>

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <epoxy/gl.h>
#include <GLFW/glfw3.h>
#include <glm/glm.hpp>

#include "assets/ObjCheck.h"
#include "assets/ShaderProgram.h"

std::vector<Model*> allModels;

Model::Model() { allModels.push_back(this); }

Model::~Model() { allModels.erase(std::remove(allModels.begin(), allModels.end(), this), allModels.end()); }

namespace {

constexpr unsigned importFlags = aiProcess_CalcTangentSpace | aiProcess_Triangulate | aiProcess_FlipUVs;

// Fills the bound vertex array's attribute `name` from `data` through `buffer`. A name the program does
// not use gives location -1, which is passed on and shows up as an OpenGL error.
void uploadAttribute(GLuint buffer, const ShaderProgram& program, const char* name, GLint components,
                     const float* data, GLsizeiptr bytes, GLenum usage) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, bytes, data, usage);
    const GLint location = glGetAttribLocation(program.program, name);
    glEnableVertexAttribArray(static_cast<GLuint>(location));
    glVertexAttribPointer(static_cast<GLuint>(location), components, GL_FLOAT, GL_FALSE, 0, nullptr);
}

// Assimp's reason on one line, so that a failed load stays a single console line.
std::string oneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::replace(text.begin(), text.end(), '\r', ' ');
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// Appends the corners of the mesh's triangles, face by face, so that triangles sharing vertices after
// triangulation each get their own copy. Point and line faces are not drawable triangles and are skipped,
// as is a face naming a vertex the mesh does not have.
void appendMesh(const aiMesh& mesh, MeshArrays& out) {
    uint32_t corners = 0;
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices != 3) continue;
        if (face.mIndices[0] >= mesh.mNumVertices || face.mIndices[1] >= mesh.mNumVertices ||
            face.mIndices[2] >= mesh.mNumVertices)
            continue;
        for (unsigned c = 0; c < 3; ++c) {
            const unsigned i = face.mIndices[c];
            const aiVector3D& p = mesh.mVertices[i];
            out.positions.insert(out.positions.end(), {p.x, p.y, p.z, 1.0f});
            if (mesh.HasNormals()) {
                const aiVector3D& n = mesh.mNormals[i];
                out.normals.insert(out.normals.end(), {n.x, n.y, n.z});
            } else {
                out.normals.insert(out.normals.end(), {0.0f, 0.0f, 0.0f});
            }
            if (mesh.HasTextureCoords(0)) {
                const aiVector3D& t = mesh.mTextureCoords[0][i];
                out.texCoords.insert(out.texCoords.end(), {t.x, t.y});
            } else {
                out.texCoords.insert(out.texCoords.end(), {0.0f, 0.0f});
            }
            ++corners;
        }
    }
    out.meshVertexCounts.push_back(corners);
}

}  // namespace

bool importMeshArrays(const std::string& path, MeshArrays& out, std::string& reason) {
    out = MeshArrays{};
    // The importer has a record of memory faults on malformed files, so it only sees files that pass.
    if (!checkObjFile(path, reason)) return false;
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, importFlags);
    if (!scene) {
        reason = oneLine(importer.GetErrorString());
        if (reason.empty()) reason = "unknown import error";
        return false;
    }
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) appendMesh(*scene->mMeshes[m], out);
    return true;
}

void loadModel(Model& model, const std::string& path, const ShaderProgram& program) {
    // glfwGetTime gives 0 when GLFW is not initialised.
    const double t0 = glfwGetTime();
    MeshArrays arrays;
    std::string reason;
    if (!importMeshArrays(path, arrays, reason)) {
        std::cerr << "model load failed: " << path << ": " << reason << std::endl;
        model.meshCount = 0;
        model.meshVertexCounts.clear();
        return;
    }
    if (arrays.meshVertexCounts.empty()) return;

    const int vertexCount = arrays.vertexCount();
    model.meshVertexCounts = arrays.meshVertexCounts;
    model.meshCount = static_cast<int>(arrays.meshVertexCounts.size());
    model.extent = farthestVertex(arrays.positions);
    const double t1 = glfwGetTime();
    std::cout << "Loading: " << path << " needed time: " << (t1 - t0) << " mesh count: " << model.meshCount
              << " vertices count: " << vertexCount << std::endl;

    glGenVertexArrays(1, &model.vao);
    glBindVertexArray(model.vao);
    glGenBuffers(3, model.buffers.data());
    const GLsizeiptr v = vertexCount;
    uploadAttribute(model.buffers[0], program, "vVertex", 4, arrays.positions.data(), 16 * v, GL_STATIC_DRAW);
    uploadAttribute(model.buffers[1], program, "vNormal", 3, arrays.normals.data(), 12 * v, GL_STATIC_DRAW);
    uploadAttribute(model.buffers[2], program, "vTexCoord", 2, arrays.texCoords.data(), 8 * v, GL_STATIC_DRAW);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

float farthestVertex(const std::vector<float>& positions) {
    double farthest = 0.0;
    for (std::size_t v = 0; v + 3 < positions.size(); v += 4) {
        const double x = positions[v], y = positions[v + 1], z = positions[v + 2];
        farthest = std::max(farthest, std::sqrt(x * x + y * y + z * z));
    }
    // Rounded up, so that the float never falls short of the farthest vertex.
    return std::nextafter(static_cast<float>(farthest), std::numeric_limits<float>::infinity());
}

void uploadGeometry(Model& model, const ShaderProgram& program, const float* positions, const float* normals,
                    const float* texCoords, int32_t byteSize, GeometryUsage geometryUsage, bool reuse) {
    const GLenum usage = geometryUsage == GeometryUsage::Dynamic ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW;
    if (!reuse) glGenVertexArrays(1, &model.vao);
    glBindVertexArray(model.vao);
    if (!reuse) glGenBuffers(3, model.buffers.data());
    uploadAttribute(model.buffers[0], program, "vVertex", 4, positions, byteSize, usage);
    if (normals) uploadAttribute(model.buffers[1], program, "vNormal", 3, normals, (byteSize / 4) * 3, usage);
    if (texCoords) uploadAttribute(model.buffers[2], program, "vTexCoord", 2, texCoords, byteSize / 2, usage);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

std::vector<float> computeFaceNormals() {
    std::vector<float> normals;
    normals.reserve(18);
    for (size_t triangle = 0; triangle < 2; ++triangle) {
        const auto corner = [triangle](size_t k) {
            const size_t at = (triangle * 3 + k) * 4;
            return glm::vec3(groundQuadPositions[at], groundQuadPositions[at + 1], groundQuadPositions[at + 2]);
        };
        const glm::vec3 a = corner(0), b = corner(1), c = corner(2);
        const glm::vec3 n = glm::normalize(glm::cross(b - a, c - a));
        for (int k = 0; k < 3; ++k) normals.insert(normals.end(), {n.x, n.y, n.z});
    }
    return normals;
}

const std::array<float, 24> groundQuadPositions = {
    -1, 0, 1,  1, 1, 0, 1,  1, -1, 0, -1, 1,
    1,  0, 1,  1, 1, 0, -1, 1, -1, 0, -1, 1,
};
const std::array<float, 12> groundQuadTexCoords = {0, 0, 1, 0, 0, 1, 1, 0, 1, 1, 0, 1};

const std::array<float, 48> pyramidPositions = {
    -1, 0, 1,  1, 1, 0, 1,  1, 0, 2, 0, 1,
    1,  0, 1,  1, 1, 0, -1, 1, 0, 2, 0, 1,
    1,  0, -1, 1, -1, 0, -1, 1, 0, 2, 0, 1,
    -1, 0, -1, 1, -1, 0, 1, 1, 0, 2, 0, 1,
};
const std::array<float, 24> pyramidTexCoords = {
    0, 0, 1, 0, 0.5f, 1, 0, 0, 1, 0, 0.5f, 1, 0, 0, 1, 0, 0.5f, 1, 0, 0, 1, 0, 0.5f, 1,
};
