// UniformCache.h -- uniform locations looked up once per linked program instead of at every upload.
#pragma once

#include <cstdint>

// Every uniform the renderer sends, in the order an object upload sends them, then the per-frame ones.
enum class Uniform {
    MvpMatrix,
    ObjectId,
    MMatrix,
    MvMatrix,
    NormalMatrix,
    DiffuseColor,
    MaterialFactor,
    UseTexture,
    UseLight,
    BadFactor,
    AmbientFactor,
    LightFactor,
    LightPosition,
    ColorTexture,
    AlphaTexture,
    ProjTexture,
    TexMatrix,
    GlowTime,
    Scene,
    KeepColour,
    Sharpness,
    Count
};

// The shader-side name of a uniform ("mvpMatrix", "vLightPosition", ...).
const char* uniformName(Uniform uniform);

// Location of the uniform in the program, -1 when the program does not use it. Locations are read the
// first time a program is seen; programs are only linked while the world is built, before any frame.
int uniformLocation(uint32_t program, Uniform uniform);
