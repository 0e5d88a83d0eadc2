// GlDiagnostics.h -- the OpenGL version line and the per-frame error report.
#pragma once

// Prints "OpenGL Version: ..." and whether the context is core or compatibility profile.
void printGLInfo();

// Reads one error code from OpenGL and prints its message on standard error (nothing for no error).
// Returns the code read.
unsigned checkGLError();

// The message for one OpenGL error code ("" for GL_NO_ERROR).
const char* glErrorMessage(unsigned code);
