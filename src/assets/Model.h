// Model.h -- drawable geometry on the GPU with its textures and material values; OBJ import and built-in meshes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class ShaderProgram;

// How the lit program colours a model ("useTexture" in the shader).
// The numbers are the shader's.
enum class TextureMode : int {
    Colour = 0,          // the diffuse colour alone
    Texture = 1,         // the colour texture
    Leaves = 2,          // the colour texture, cut out where the alpha texture is below one half
    Lightning = 3,       // the colour texture, see-through by the alpha texture
    GlowingGrenade = 5,  // the colour texture with a pulsing golden glow
};

class Model {
public:
    // A new model with the defaults below, appended to allModels.
    Model();
    // Leaves allModels. GL objects are left to the context (models live until the process ends).
    ~Model();
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    std::array<uint32_t, 3> buffers{};        // [0] positions (4 floats), [1] normals (3), [2] texture coordinates (2)
    uint32_t vao = 0;
    std::vector<uint32_t> meshVertexCounts;   // vertices of each mesh, in buffer order
    int meshCount = 0;
    std::vector<uint32_t> textures;           // 2D textures, or the sky box's cube map
    float materialFactor = 0.0f;
    std::array<float, 4> diffuseColor{{1.0f, 1.0f, 1.0f, 1.0f}};
    int useLight = 1;
    TextureMode useTexture = TextureMode::Texture;  // how the lit program colours it
    int textureCount = 0;                     // how many of `textures` the filter switches walk
    float extent = 0.0f;                      // farthest vertex from the model's origin (0: not known)
};

// Every model ever created, in creation order.
extern std::vector<Model*> allModels;

// Imports an OBJ file through Assimp into the model's buffers, using the program's attribute locations,
// and prints the "Loading: ..." timing line. A file that cannot be read prints one line to standard
// error naming the path and the reason, and leaves the model empty.
void loadModel(Model& model, const std::string& path, const ShaderProgram& program);

// Distance of the farthest of the positions (4 floats per vertex) from the origin.
float farthestVertex(const std::vector<float>& positions);

// How often uploaded geometry is refilled: once for good, or every frame (the strike).
enum class GeometryUsage { Static, Dynamic };

// Uploads position (4 floats per vertex, byteSize bytes), optional normal and texture-coordinate arrays.
// With reuse set the model's existing vertex array and buffers are refilled.
void uploadGeometry(Model& model, const ShaderProgram& program, const float* positions, const float* normals,
                    const float* texCoords, int32_t byteSize, GeometryUsage usage, bool reuse);

// Flat normals of the ground quad: 18 floats, (0, 1, 0) six times.
std::vector<float> computeFaceNormals();

// Ground quad: 6 vertices (x, y, z, 1) and their texture coordinates, in the plane y = 0.
extern const std::array<float, 24> groundQuadPositions;
extern const std::array<float, 12> groundQuadTexCoords;
// Light-marker pyramid: 12 vertices (x, y, z, 1), texture coordinates (0,0) (1,0) (0.5,1) per triangle.
extern const std::array<float, 48> pyramidPositions;
extern const std::array<float, 24> pyramidTexCoords;

// CPU side of an OBJ import, before upload: positions (4 per vertex), normals (3), texture coordinates (2).
struct MeshArrays {
    std::vector<uint32_t> meshVertexCounts;
    std::vector<float> positions;
    std::vector<float> normals;
    std::vector<float> texCoords;
    int vertexCount() const { return static_cast<int>(positions.size() / 4); }
};

// Reads an OBJ file into arrays (no GL). Returns false, with a reason, when the file cannot be read;
// a readable file with no meshes gives true and empty arrays.
bool importMeshArrays(const std::string& path, MeshArrays& out, std::string& reason);
