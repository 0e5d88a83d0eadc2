// GlContext.h -- a hidden OpenGL 3.3 core window for tests that need real GL (run under Xvfb).
#pragma once

namespace omxtest {

// Creates (once per process) a hidden 1200 x 800 window with a 3.3 core context and makes it current.
// Returns false when no display or context is available.
bool ensureGlContext();

}  // namespace omxtest
