// FragmentOutput.h -- binding a program's colour output to draw buffer 0 by name.
#pragma once

class ShaderProgram;

// Binds fragment output `name` to colour number 0 and links the program again. A program whose
// GL name is 0 (it never linked) is left alone.
void bindFragmentOutput(ShaderProgram& program, const char* name);
