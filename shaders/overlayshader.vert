#version 330 core
// overlayshader.vert -- the overlay's shapes and letters, given in window pixels from the top-left corner.

layout(location = 0) in vec2 vPosition;
layout(location = 1) in vec2 vLocal;
layout(location = 2) in vec4 vColour;
layout(location = 3) in vec4 vColour2;
layout(location = 4) in vec4 vShape;

uniform vec2 viewport;

out vec2 local;
out vec4 fillColour;
out vec4 secondColour;
out vec4 shape;

void main() {
    local = vLocal;
    fillColour = vColour;
    secondColour = vColour2;
    shape = vShape;
    gl_Position = vec4(vPosition.x / viewport.x * 2.0 - 1.0, 1.0 - vPosition.y / viewport.y * 2.0, 0.0, 1.0);
}
