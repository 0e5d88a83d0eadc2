// StartupPhases.cpp -- timing hooks on the loaders that world construction calls. The benchmark is linked
// with --wrap for each of these symbols, so the calls made inside Game's constructor land here first and
// then go on to the real function unchanged; nothing in the game's sources knows about them.
#include "StartupPhases.h"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdint>
#include <string>

#include <epoxy/gl.h>

#include "Clock.h"

class Model;
enum class GeometryUsage;
class ShaderProgram;
class SoundManager;
struct Mix_Chunk;
struct SDL_RWops;

namespace {

StartupPhaseTimes times;
int depth = 0;  // nesting of timed calls: only the outermost one is counted

// Runs the call and adds its duration and memory growth unless a timed call is already running.
template <typename Call>
void timed(double& total, double& memory, Call call) {
    const double resident = depth == 0 ? residentMegabytes() : 0.0;
    const double start = nowSeconds();
    ++depth;
    call();
    --depth;
    if (depth != 0) return;
    total += nowSeconds() - start;
    memory += residentMegabytes() - resident;
}

using GenerateMipmapFn = void(EPOXY_CALLSPEC*)(GLenum);
using TexImage2DFn = void(EPOXY_CALLSPEC*)(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void*);
GenerateMipmapFn realGenerateMipmap = nullptr;
TexImage2DFn realTexImage2D = nullptr;

void EPOXY_CALLSPEC timeGenerateMipmap(GLenum target) {
    const double start = nowSeconds();
    realGenerateMipmap(target);
    times.mipmapGeneration += nowSeconds() - start;
}

void EPOXY_CALLSPEC timeTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                                   GLint border, GLenum format, GLenum type, const void* pixels) {
    const double start = nowSeconds();
    realTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
    times.textureUpload += nowSeconds() - start;
}

}  // namespace

const StartupPhaseTimes& startupPhaseTimes() { return times; }

void watchTextureCalls() {
    // libepoxy's resolving stubs call through the pointer again once it has been set, which would come
    // back to the stand-in: let them resolve first, on a throw-away 1 x 1 texture.
    GLuint scratch = 0;
    glGenTextures(1, &scratch);
    glBindTexture(GL_TEXTURE_2D, scratch);
    const unsigned char pixel[4] = {0, 0, 0, 0};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    glGenerateMipmap(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteTextures(1, &scratch);

    realGenerateMipmap = epoxy_glGenerateMipmap;
    realTexImage2D = epoxy_glTexImage2D;
    epoxy_glGenerateMipmap = timeGenerateMipmap;
    epoxy_glTexImage2D = timeTexImage2D;
}

double residentMegabytes() {
    std::FILE* file = std::fopen("/proc/self/statm", "r");
    if (!file) return 0.0;
    long size = 0, resident = 0;
    const bool read = std::fscanf(file, "%ld %ld", &size, &resident) == 2;
    std::fclose(file);
    return read ? static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0) : 0.0;
}

// The mangled names are those of the declarations in assets/Model.h, assets/Texture.h,
// assets/ShaderProgram.h, assets/FragmentOutput.h and sound/SoundManager.h; bench/CMakeLists.txt lists
// the same names for the linker.
extern "C" {

// ShaderProgram::ShaderProgram(const std::string&)
void __real__ZN13ShaderProgramC1ERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE(ShaderProgram*,
                                                                                      const std::string&);
void __wrap__ZN13ShaderProgramC1ERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE(ShaderProgram* self,
                                                                                      const std::string& path) {
    timed(times.shaders, times.shadersMemory,
          [&] { __real__ZN13ShaderProgramC1ERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE(self, path); });
}

// bindFragmentOutput(ShaderProgram&, const char*)
void __real__Z18bindFragmentOutputR13ShaderProgramPKc(ShaderProgram&, const char*);
void __wrap__Z18bindFragmentOutputR13ShaderProgramPKc(ShaderProgram& program, const char* name) {
    timed(times.shaders, times.shadersMemory, [&] { __real__Z18bindFragmentOutputR13ShaderProgramPKc(program, name); });
}

// loadModel(Model&, const std::string&, const ShaderProgram&)
void __real__Z9loadModelR5ModelRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEERK13ShaderProgram(
    Model&, const std::string&, const ShaderProgram&);
void __wrap__Z9loadModelR5ModelRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEERK13ShaderProgram(
    Model& model, const std::string& path, const ShaderProgram& program) {
    timed(times.models, times.modelsMemory, [&] {
        __real__Z9loadModelR5ModelRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEERK13ShaderProgram(
            model, path, program);
    });
}

// uploadGeometry(Model&, const ShaderProgram&, const float*, const float*, const float*, int32_t, GeometryUsage, bool)
void __real__Z14uploadGeometryR5ModelRK13ShaderProgramPKfS5_S5_i13GeometryUsageb(Model&, const ShaderProgram&, const float*,
                                                                    const float*, const float*, int32_t, GeometryUsage,
                                                                    bool);
void __wrap__Z14uploadGeometryR5ModelRK13ShaderProgramPKfS5_S5_i13GeometryUsageb(Model& model, const ShaderProgram& program,
                                                                    const float* positions, const float* normals,
                                                                    const float* texCoords, int32_t byteSize,
                                                                    GeometryUsage usage, bool reuse) {
    timed(times.models, times.modelsMemory, [&] {
        __real__Z14uploadGeometryR5ModelRK13ShaderProgramPKfS5_S5_i13GeometryUsageb(model, program, positions, normals, texCoords,
                                                                       byteSize, usage, reuse);
    });
}

// loadTexture(const std::string&, bool)
uint32_t __real__Z11loadTextureRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEEb(const std::string&, bool);
uint32_t __wrap__Z11loadTextureRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEEb(const std::string& path,
                                                                                     bool clamp) {
    uint32_t texture = 0;
    timed(times.textures, times.texturesMemory, [&] {
        texture = __real__Z11loadTextureRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEEb(path, clamp);
    });
    return texture;
}

// loadCubeMap(const std::array<std::string, 6>&)
uint32_t __real__Z11loadCubeMapRKSt5arrayINSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEELm6EE(
    const std::array<std::string, 6>&);
uint32_t __wrap__Z11loadCubeMapRKSt5arrayINSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEELm6EE(
    const std::array<std::string, 6>& paths) {
    uint32_t texture = 0;
    timed(times.textures, times.texturesMemory, [&] {
        texture = __real__Z11loadCubeMapRKSt5arrayINSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEELm6EE(paths);
    });
    return texture;
}

// Mix_LoadWAV_RW(SDL_RWops*, int), called by the sound manager for each file
Mix_Chunk* __real_Mix_LoadWAV_RW(SDL_RWops*, int);
Mix_Chunk* __wrap_Mix_LoadWAV_RW(SDL_RWops* source, int freeSource) {
    const double start = nowSeconds();
    Mix_Chunk* const chunk = __real_Mix_LoadWAV_RW(source, freeSource);
    times.soundDecoding += nowSeconds() - start;
    return chunk;
}

// SoundManager::SoundManager(const std::string&)
void __real__ZN12SoundManagerC1ERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE(SoundManager*,
                                                                                        const std::string&);
void __wrap__ZN12SoundManagerC1ERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE(SoundManager* self,
                                                                                        const std::string& folder) {
    timed(times.sounds, times.soundsMemory,
          [&] { __real__ZN12SoundManagerC1ERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE(self, folder); });
}

}  // extern "C"
