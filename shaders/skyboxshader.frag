#version 330 core
// Placeholder: flat diffuse colour.
in vec2 texCoord;
uniform vec4 diffuseColor;
out vec4 vFragColor;
void main() {
    vFragColor = diffuseColor + vec4(texCoord, 0.0, 0.0) * 0.0;
}
