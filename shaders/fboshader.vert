#version 330 core
// fboshader.vert -- object-id pass: position only, at the same attribute location as the lit shader's.

layout(location = 0) in vec4 vVertex;

uniform mat4 mvpMatrix;

void main() {
    gl_Position = mvpMatrix * vVertex;
}
