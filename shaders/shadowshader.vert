#version 330 core
// shadowshader.vert -- the soft shadow under a person: a flat square on the ground, corners at x, z = +-1.

layout(location = 0) in vec4 vVertex;

uniform mat4 mvpMatrix;
uniform mat4 mvMatrix;

out vec2 fromCentre;     // -1 .. 1 across the square
out float eyeDistance;   // for the haze

void main() {
    fromCentre = vVertex.xz;
    eyeDistance = length((mvMatrix * vVertex).xyz);
    gl_Position = mvpMatrix * vVertex;
}
