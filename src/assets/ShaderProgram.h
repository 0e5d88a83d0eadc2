// ShaderProgram.h -- one linked GLSL program from <path>.vert and <path>.frag.
#pragma once

#include <cstdint>
#include <string>

class ShaderProgram {
public:
    // Reads, compiles and links; failures print their message and leave `valid` false.
    explicit ShaderProgram(const std::string& path);
    // The same with `defines` (lines such as "#define GROUND\n") put in after each source's #version line.
    ShaderProgram(const std::string& path, const std::string& defines);

    bool valid = false;
    uint32_t vertexShader = 0;
    uint32_t fragmentShader = 0;
    uint32_t program = 0;  // 0 when none exists or the last link failed

    // Links (creating and attaching on the first call); a failed link deletes the program and sets it to 0.
    void link();

    // Returns the new shader's name, or 0 when no shader object could be created.
    static uint32_t compileShader(uint32_t type, const std::string& source);
    static bool fileExists(const std::string& path);
    static std::string readFile(const std::string& path);
    // The source with `defines` inserted after its first line (the #version line).
    static std::string withDefines(const std::string& source, const std::string& defines);
};
