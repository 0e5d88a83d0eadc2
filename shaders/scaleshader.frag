#version 330 core
// scaleshader.frag -- the world onto the window: each window pixel reads the world drawn at the render
// scale, through the scene texture's filter (nearest at the window's size, linear below it).

in vec2 sceneCoord;

uniform sampler2D scene;

out vec4 vFragColor;

void main() {
    vFragColor = texture(scene, sceneCoord);
}
