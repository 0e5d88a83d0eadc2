#version 330 core
// blinnphongshader.vert -- lit objects: clip position, eye-space position and normal, world normal,
// and the coordinate at which the strike's projector sees this vertex.

layout(location = 0) in vec4 vVertex;
layout(location = 1) in vec3 vNormal;
layout(location = 2) in vec2 vTexCoord;

uniform mat4 mvpMatrix;
uniform mat4 mMatrix;
uniform mat4 mvMatrix;
uniform mat3 normalMatrix;
uniform mat4 texMatrix;   // projector: world position -> (s, t, r, q); the identity when no strike shows

out vec3 eyePosition;
out vec3 eyeNormal;
out vec3 worldNormal;
out vec2 texCoord;
out vec4 projectorCoord;

void main() {
    vec4 world = mMatrix * vVertex;
    eyePosition = (mvMatrix * vVertex).xyz;
    eyeNormal = normalMatrix * vNormal;
    worldNormal = mat3(mMatrix) * vNormal;
    texCoord = vTexCoord;
    projectorCoord = texMatrix * world;
    gl_Position = mvpMatrix * vVertex;
}
