// FuzzObj.cpp -- libFuzzer target: any bytes as a model file through the strict check and, when it passes,
// the importer up to the upload arrays. The arrays must be consistent with the vertex counts.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "assets/Model.h"
#include "assets/ObjCheck.h"

namespace {

// The importer picks its reader by the file's extension, so the input goes to a real .obj file in a folder
// of its own (material libraries it names are looked up there and are absent).
const std::string& modelPath() {
    static const std::string path = [] {
        const std::string folder = "/dev/shm/omnivex-fuzz-obj-" + std::to_string(getpid());
        if (std::system(("mkdir -p " + folder).c_str()) != 0) std::abort();
        return folder + "/model.obj";
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string reason;
    if (!checkObjText(reinterpret_cast<const char*>(data), size, reason)) {
        if (reason.empty() || reason.find('\n') != std::string::npos) std::abort();
        return 0;
    }
    {
        std::ofstream file(modelPath(), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!file) std::abort();
    }
    MeshArrays arrays;
    if (!importMeshArrays(modelPath(), arrays, reason)) return 0;
    uint64_t corners = 0;
    for (uint32_t count : arrays.meshVertexCounts) corners += count;
    const uint64_t vertices = static_cast<uint64_t>(arrays.vertexCount());
    if (corners != vertices || arrays.positions.size() != vertices * 4 || arrays.normals.size() != vertices * 3 ||
        arrays.texCoords.size() != vertices * 2)
        std::abort();
    return 0;
}
