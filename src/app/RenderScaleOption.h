// RenderScaleOption.h -- the --render-scale option of the command line.
#pragma once

#include <iosfwd>

#include "render/RenderScale.h"

// Finds "--render-scale S" or "--render-scale=S" (S: 0.5 to 1, or auto); the last one counts. A missing or
// unusable value prints one line to `err` and is not used.
RenderScaleSetting renderScaleFromCommandLine(int argc, const char* const* argv, std::ostream& err);
