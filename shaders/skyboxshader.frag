#version 330 core
// skyboxshader.frag -- the sky from the cube map on unit 0, hazy at the horizon, dimmed while the light is
// low (the intro's dawn, night mode) and darkened with the mood.

in vec3 skyDirection;

uniform samplerCube skyTexture;  // texture unit 0
uniform float badFactor;         // 0 all good .. 1 all bad
uniform float lightFactor;       // light strength 0 .. 1

out vec4 vFragColor;

const vec3 goodHaze = vec3(0.72, 0.80, 0.88);
const vec3 badHaze = vec3(0.20, 0.22, 0.14);

void main() {
    vec3 direction = normalize(skyDirection);
    vec3 sky = texture(skyTexture, direction).rgb;
    float mood = clamp(badFactor, 0.0, 1.0);
    // Towards the horizon the sky melts into the same haze that swallows distant ground.
    float horizon = 1.0 - smoothstep(0.0, 0.35, direction.y);
    sky = mix(sky, mix(goodHaze, badHaze, mood), horizon * 0.55);
    sky *= 0.25 + 0.75 * clamp(lightFactor, 0.0, 1.0);  // the haze dims with it, as on the ground
    float grey = dot(sky, vec3(0.299, 0.587, 0.114));
    vec3 sick = mix(vec3(grey), sky, 0.3) * vec3(0.45, 0.50, 0.34);
    vFragColor = vec4(mix(sky, sick, mood), 1.0);
}
