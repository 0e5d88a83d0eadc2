// UniformCache.cpp -- per-program table of uniform locations, filled on first use.
#include "render/UniformCache.h"

#include <array>
#include <unordered_map>

#include <epoxy/gl.h>

namespace {

constexpr std::size_t uniformCount = static_cast<std::size_t>(Uniform::Count);

const std::array<const char*, uniformCount> names = {
    "mvpMatrix",   "objectId",      "mMatrix",      "mvMatrix",     "normalMatrix", "diffuseColor",
    "materialFactor", "useTexture", "useLight",     "badFactor",    "ambientFactor", "lightFactor",
    "vLightPosition", "colorTexture", "alphaTexture", "projTexture", "texMatrix",   "glowTime",
    "scene",       "keepColour",  "sharpness",
};

using LocationTable = std::array<GLint, uniformCount>;

std::unordered_map<uint32_t, LocationTable>& tables() {
    static std::unordered_map<uint32_t, LocationTable> byProgram;
    return byProgram;
}

}  // namespace

const char* uniformName(Uniform uniform) { return names[static_cast<std::size_t>(uniform)]; }

int uniformLocation(uint32_t program, Uniform uniform) {
    if (program == 0) return -1;
    auto& byProgram = tables();
    auto found = byProgram.find(program);
    if (found == byProgram.end()) {
        LocationTable table{};
        for (std::size_t i = 0; i < uniformCount; ++i) table[i] = glGetUniformLocation(program, names[i]);
        found = byProgram.emplace(program, table).first;
    }
    return found->second[static_cast<std::size_t>(uniform)];
}
