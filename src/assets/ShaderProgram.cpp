// ShaderProgram.cpp -- reading, compiling and linking a vertex/fragment pair, with every failure message.
#include "assets/ShaderProgram.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

#include <epoxy/gl.h>

#include "assets/GlDiagnostics.h"

namespace {
constexpr GLsizei logBufferSize = 8096;
}

ShaderProgram::ShaderProgram(const std::string& path) : ShaderProgram(path, std::string()) {}

std::string ShaderProgram::withDefines(const std::string& source, const std::string& defines) {
    if (defines.empty()) return source;
    const std::size_t lineEnd = source.find('\n');
    if (lineEnd == std::string::npos) return source + "\n" + defines;
    return source.substr(0, lineEnd + 1) + defines + source.substr(lineEnd + 1);
}

ShaderProgram::ShaderProgram(const std::string& path, const std::string& defines) {
    valid = false;
    vertexShader = fragmentShader = program = 0;
    if (!fileExists(path + ".vert")) {
        std::cerr << "Vertex shader file " << path << ".vert does not exist." << std::endl;
        return;
    }
    const std::string vertexSource = withDefines(readFile(path + ".vert"), defines);
    if (!fileExists(path + ".frag")) {
        std::cerr << "Fragment shader file " << path << ".frag does not exist." << std::endl;
        return;
    }
    const std::string fragmentSource = withDefines(readFile(path + ".frag"), defines);
    vertexShader = compileShader(GL_VERTEX_SHADER, vertexSource);
    if (vertexShader == 0) return;
    checkGLError();
    fragmentShader = compileShader(GL_FRAGMENT_SHADER, fragmentSource);
    if (fragmentShader == 0) return;
    checkGLError();
    link();
    if (program != 0) {
        valid = true;
        checkGLError();
    }
}

uint32_t ShaderProgram::compileShader(uint32_t type, const std::string& source) {
    const GLuint name = glCreateShader(type);
    if (name == 0) {
        std::cerr << "Could not create shader object." << std::endl;
        return 0;
    }
    const GLchar* text = source.c_str();
    const GLint length = static_cast<GLint>(source.size());
    glShaderSource(name, 1, &text, &length);
    glCompileShader(name);
    GLint status = GL_FALSE;
    glGetShaderiv(name, GL_COMPILE_STATUS, &status);
    if (status != GL_TRUE) {
        std::cout << "Shader compilation failed." << std::endl;
        std::vector<GLchar> log(logBufferSize, '\0');
        GLsizei logLength = 0;
        glGetShaderInfoLog(name, logBufferSize, &logLength, log.data());
        if (logLength > 0) std::cout << std::string(log.data(), static_cast<size_t>(logLength)) << std::endl;
    }
    checkGLError();
    return name;
}

void ShaderProgram::link() {
    if (program == 0) {
        program = glCreateProgram();
        glAttachShader(program, vertexShader);
        glAttachShader(program, fragmentShader);
    }
    glLinkProgram(program);
    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status != GL_TRUE) {
        std::cout << "Shader linking failed." << std::endl;
        std::vector<GLchar> log(logBufferSize, '\0');
        GLsizei logLength = 0;
        glGetProgramInfoLog(program, logBufferSize, &logLength, log.data());
        if (logLength > 0) std::cout << std::string(log.data(), static_cast<size_t>(logLength)) << std::endl;
        glDeleteProgram(program);
        program = 0;
    }
    checkGLError();
}

bool ShaderProgram::fileExists(const std::string& path) {
    // A folder opens as a stream too, and then reads as nothing: only a file (or a link to one) counts.
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) && std::ifstream(path).good();
}

std::string ShaderProgram::readFile(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}
