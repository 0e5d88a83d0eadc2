#version 330 core
// shadowshader.frag -- a round shadow, darkest in the middle and fading to nothing at its rim, blended over the
// ground. It fades with the haze as the ground under it does.

in vec2 fromCentre;
in float eyeDistance;

out vec4 vFragColor;

const float darkness = 0.7;
const float hazeDensity = 1.0 / 9000.0;

void main() {
    float r = length(fromCentre);
    if (r >= 1.0) discard;
    float d = eyeDistance * hazeDensity;
    float clear = exp(-d * d);
    vFragColor = vec4(0.0, 0.0, 0.0, darkness * (1.0 - smoothstep(0.25, 1.0, r)) * clear);
}
