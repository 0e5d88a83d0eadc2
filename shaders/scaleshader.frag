#version 330 core
// scaleshader.frag -- scaling the world up to the window: each window pixel reads the world drawn at the
// render scale, filtered linearly.

in vec2 sceneCoord;

uniform sampler2D scene;

out vec4 vFragColor;

void main() {
    vFragColor = texture(scene, sceneCoord);
}
