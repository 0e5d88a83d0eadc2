#version 330 core
// skyboxshader.vert -- the sky cube around the origin; its vertex position is the look-up direction.

layout(location = 0) in vec4 vVertex;

uniform mat4 mvpMatrix;

out vec3 skyDirection;

void main() {
    skyDirection = vVertex.xyz;
    gl_Position = mvpMatrix * vVertex;
}
