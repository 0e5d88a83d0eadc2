// StartupPhases.h -- time spent in each kind of loading while the real world construction runs.
#pragma once

// Seconds accumulated by the loaders that world construction calls, caught at the link (see
// StartupPhases.cpp). A call made from inside another timed call is counted only once, in the outer one.
struct StartupPhaseTimes {
    double shaders = 0.0;   // compile, link and the fragment-output relink of the three programs
    double models = 0.0;    // OBJ imports and the built-in meshes' uploads
    double textures = 0.0;  // 2D textures and the sky box's cube map
    double sounds = 0.0;    // the sound manager: device and all sixteen decoded files
};

// Totals since the start of the process.
const StartupPhaseTimes& startupPhaseTimes();
