// StartupPhases.h -- time spent in each kind of loading while the real world construction runs.
#pragma once

// Seconds accumulated by the loaders that world construction calls, caught at the link (see
// StartupPhases.cpp). A call made from inside another timed call is counted only once, in the outer one.
struct StartupPhaseTimes {
    double shaders = 0.0;   // compile, link and the fragment-output relink of the three programs
    double models = 0.0;    // OBJ imports and the built-in meshes' uploads
    double textures = 0.0;  // 2D textures and the sky box's cube map
    double sounds = 0.0;    // the sound manager: device and all sixteen decoded files
    // Growth of the resident set during each kind of call, in megabytes.
    double shadersMemory = 0.0, modelsMemory = 0.0, texturesMemory = 0.0, soundsMemory = 0.0;
    // Inside the texture phase: the driver's mipmap generation, and the upload of the files' pixels.
    double mipmapGeneration = 0.0, textureUpload = 0.0;
    // Inside the sound phase: reading and decoding the sixteen files.
    double soundDecoding = 0.0;
};

// Times the driver's glGenerateMipmap and glTexImage2D from now on (call once, before the world is built).
void watchTextureCalls();

// The process's resident set now, in megabytes.
double residentMegabytes();

// Totals since the start of the process.
const StartupPhaseTimes& startupPhaseTimes();
