// GlContext.h -- a hidden OpenGL 3.3 core window for tests that need real GL (run under Xvfb).
#pragma once

#include <string>

namespace omxtest {

// Creates (once per process) a hidden 1200 x 800 window with a 3.3 core context and makes it current.
// Returns false when no display or context is available; glContextFailure() then says why.
bool ensureGlContext();

// Why the context could not be made, with GLFW's reason (empty while there is a context).
const std::string& glContextFailure();

}  // namespace omxtest
