// FuzzObjUnchecked.cpp -- libFuzzer target run by hand: any bytes straight into the importer with the game's
// flags, without the strict check, and the scene walked as the loader walks it. It shows what the check
// keeps away from the importer; inputs it finds become cases the check must refuse.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = [] {
        const std::string folder = "/dev/shm/omnivex-fuzz-obj-unchecked-" + std::to_string(getpid());
        if (std::system(("mkdir -p " + folder).c_str()) != 0) std::abort();
        return folder + "/model.obj";
    }();
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    Assimp::Importer importer;
    const aiScene* scene =
        importer.ReadFile(path, aiProcess_CalcTangentSpace | aiProcess_Triangulate | aiProcess_FlipUVs);
    if (!scene) return 0;
    float sum = 0.0f;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh& mesh = *scene->mMeshes[m];
        for (unsigned f = 0; f < mesh.mNumFaces; ++f)
            for (unsigned c = 0; c < mesh.mFaces[f].mNumIndices; ++c) {
                const unsigned i = mesh.mFaces[f].mIndices[c];
                if (i >= mesh.mNumVertices) std::abort();  // a face naming a vertex the mesh lacks
                sum += mesh.mVertices[i].x;
                if (mesh.HasNormals()) sum += mesh.mNormals[i].x;
                if (mesh.HasTextureCoords(0)) sum += mesh.mTextureCoords[0][i].x;
            }
    }
    static volatile float sink = 0.0f;
    sink = sink + sum;
    return 0;
}
