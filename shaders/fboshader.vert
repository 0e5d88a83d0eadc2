#version 330 core
// Object-id pass: position only.
in vec4 vVertex;
uniform mat4 mvpMatrix;
void main() {
    gl_Position = mvpMatrix * vVertex;
}
