// StartupPhases.cpp -- timing hooks on the loaders that world construction calls. The benchmark is linked
// with --wrap for each of these symbols, so the calls made inside Game's constructor land here first and
// then go on to the real function unchanged; nothing in the game's sources knows about them.
#include "StartupPhases.h"

#include <array>
#include <cstdint>
#include <string>

#include "Clock.h"

class Model;
class ShaderProgram;
class SoundManager;

namespace {

StartupPhaseTimes times;
int depth = 0;  // nesting of timed calls: only the outermost one is counted

// Runs the call and adds its duration to `total` unless a timed call is already running.
template <typename Call>
void timed(double& total, Call call) {
    const double start = nowSeconds();
    ++depth;
    call();
    --depth;
    if (depth == 0) total += nowSeconds() - start;
}

}  // namespace

const StartupPhaseTimes& startupPhaseTimes() { return times; }

// The mangled names are those of the declarations in assets/Model.h, assets/Texture.h,
// assets/ShaderProgram.h, assets/FragmentOutput.h and sound/SoundManager.h; bench/CMakeLists.txt lists
// the same names for the linker.
extern "C" {

// ShaderProgram::ShaderProgram(const std::string&)
void __real__ZN13ShaderProgramC1ERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE(ShaderProgram*,
                                                                                      const std::string&);
void __wrap__ZN13ShaderProgramC1ERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE(ShaderProgram* self,
                                                                                      const std::string& path) {
    timed(times.shaders,
          [&] { __real__ZN13ShaderProgramC1ERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE(self, path); });
}

// bindFragmentOutput(ShaderProgram&, const char*)
void __real__Z18bindFragmentOutputR13ShaderProgramPKc(ShaderProgram&, const char*);
void __wrap__Z18bindFragmentOutputR13ShaderProgramPKc(ShaderProgram& program, const char* name) {
    timed(times.shaders, [&] { __real__Z18bindFragmentOutputR13ShaderProgramPKc(program, name); });
}

// loadModel(Model&, const std::string&, const ShaderProgram&)
void __real__Z9loadModelR5ModelRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEERK13ShaderProgram(
    Model&, const std::string&, const ShaderProgram&);
void __wrap__Z9loadModelR5ModelRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEERK13ShaderProgram(
    Model& model, const std::string& path, const ShaderProgram& program) {
    timed(times.models, [&] {
        __real__Z9loadModelR5ModelRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEERK13ShaderProgram(
            model, path, program);
    });
}

// uploadGeometry(Model&, const ShaderProgram&, const float*, const float*, const float*, int32_t, uint32_t, bool)
void __real__Z14uploadGeometryR5ModelRK13ShaderProgramPKfS5_S5_ijb(Model&, const ShaderProgram&, const float*,
                                                                    const float*, const float*, int32_t, uint32_t,
                                                                    bool);
void __wrap__Z14uploadGeometryR5ModelRK13ShaderProgramPKfS5_S5_ijb(Model& model, const ShaderProgram& program,
                                                                    const float* positions, const float* normals,
                                                                    const float* texCoords, int32_t byteSize,
                                                                    uint32_t usage, bool reuse) {
    timed(times.models, [&] {
        __real__Z14uploadGeometryR5ModelRK13ShaderProgramPKfS5_S5_ijb(model, program, positions, normals, texCoords,
                                                                       byteSize, usage, reuse);
    });
}

// loadTexture(const std::string&, bool)
uint32_t __real__Z11loadTextureRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEEb(const std::string&, bool);
uint32_t __wrap__Z11loadTextureRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEEb(const std::string& path,
                                                                                     bool clamp) {
    uint32_t texture = 0;
    timed(times.textures,
          [&] { texture = __real__Z11loadTextureRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEEb(path, clamp); });
    return texture;
}

// loadCubeMap(const std::array<std::string, 6>&)
uint32_t __real__Z11loadCubeMapRKSt5arrayINSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEELm6EE(
    const std::array<std::string, 6>&);
uint32_t __wrap__Z11loadCubeMapRKSt5arrayINSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEELm6EE(
    const std::array<std::string, 6>& paths) {
    uint32_t texture = 0;
    timed(times.textures, [&] {
        texture = __real__Z11loadCubeMapRKSt5arrayINSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEELm6EE(paths);
    });
    return texture;
}

// SoundManager::SoundManager()
void __real__ZN12SoundManagerC1Ev(SoundManager*);
void __wrap__ZN12SoundManagerC1Ev(SoundManager* self) {
    timed(times.sounds, [&] { __real__ZN12SoundManagerC1Ev(self); });
}

}  // extern "C"
