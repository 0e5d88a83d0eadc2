#version 330 core
// Contact sheet: passes the flat normal, the texture coordinate and the model-space position on.
in vec4 vVertex;
in vec3 vNormal;
in vec2 vTexCoord;
uniform mat4 mvpMatrix;
uniform vec2 uvScale;
out vec3 normal;
out vec2 texCoord;
out vec3 direction;
void main() {
    normal = vNormal;
    texCoord = vTexCoord * uvScale;
    direction = vVertex.xyz;
    gl_Position = mvpMatrix * vVertex;
}
