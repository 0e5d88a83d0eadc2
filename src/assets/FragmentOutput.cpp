// FragmentOutput.cpp -- binding a program's colour output to draw buffer 0 by name.
#include "assets/FragmentOutput.h"

#include <epoxy/gl.h>

#include "assets/ShaderProgram.h"

void bindFragmentOutput(ShaderProgram& program, const char* name) {
    if (program.program == 0) return;
    glBindFragDataLocation(program.program, 0, name);
    program.link();
}
