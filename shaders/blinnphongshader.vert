#version 330 core
// Placeholder: transforms the vertex, passes the texture coordinate on.
in vec4 vVertex;
in vec3 vNormal;
in vec2 vTexCoord;
uniform mat4 mvpMatrix;
out vec2 texCoord;
void main() {
    texCoord = vTexCoord + vNormal.xy * 0.0;
    gl_Position = mvpMatrix * vVertex;
}
