#version 330 core
// blinnphongshader.frag -- Blinn-Phong lighting with a sky/ground ambient, the texture modes, the strike's
// projected picture, the world's mood (good: bright and warm, bad: dark and sickly) and distance haze.
//
// Texture modes ("useTexture"): 0 diffuseColor; 1 colorTexture; 2 leaves: colour from colorTexture, cut out
// where alphaTexture is below one half; 3 lightning: colour from colorTexture, alpha from alphaTexture;
// 5 finished holy grenade: colorTexture with a pulsing golden glow.

in vec3 eyePosition;
in vec3 eyeNormal;
in vec3 worldNormal;
in vec2 texCoord;
in vec4 projectorCoord;

uniform vec4 diffuseColor;
uniform float materialFactor;   // specular strength
uniform int useTexture;
uniform int useLight;
uniform float badFactor;        // 0 all good .. 1 all bad
uniform float ambientFactor;    // 0.1, or 0.8 for a hovered or blinking object
uniform float lightFactor;      // light strength 0 .. 1
uniform vec3 vLightPosition;    // eye space
uniform sampler2D colorTexture;
uniform sampler2D alphaTexture;
uniform sampler2D projTexture;
uniform mat4 texMatrix;
uniform float glowTime;         // seconds, drives the grenade's pulse
uniform float keepColour;       // 0: the mood acts in full; towards 1 the object keeps its own colours (people)

out vec4 vFragColor;

const vec3 sunColor = vec3(1.0, 0.95, 0.86);
const vec3 skyAmbient = vec3(0.42, 0.50, 0.62);
const vec3 groundAmbient = vec3(0.30, 0.25, 0.18);
const vec3 goodHaze = vec3(0.72, 0.80, 0.88);
const vec3 badHaze = vec3(0.20, 0.22, 0.14);
const vec3 gold = vec3(1.0, 0.76, 0.22);
const float hazeDensity = 1.0 / 9000.0;
const float shininess = 32.0;

// Good: a little warmer; bad: darker, washed out and tinted a sickly olive.
vec3 applyMood(vec3 c) {
    vec3 warm = c * vec3(1.06, 1.0, 0.9);
    float grey = dot(c, vec3(0.299, 0.587, 0.114));
    vec3 sick = mix(vec3(grey), c, 0.35) * vec3(0.55, 0.62, 0.40);
    return mix(warm, sick, clamp(badFactor, 0.0, 1.0) * (1.0 - clamp(keepColour, 0.0, 1.0)));
}

// A projector matrix has a perspective bottom row; the identity (no strike) has none and adds nothing.
bool projectorActive() {
    return length(vec3(texMatrix[0][3], texMatrix[1][3], texMatrix[2][3])) > 0.5;
}

vec3 projectedStrike() {
    if (!projectorActive() || projectorCoord.q <= 0.0) return vec3(0.0);
    vec2 st = projectorCoord.st / projectorCoord.q;
    if (any(lessThan(st, vec2(0.0))) || any(greaterThan(st, vec2(1.0)))) return vec3(0.0);
    vec4 picture = texture(projTexture, st);
    return picture.rgb * picture.a;
}

#ifdef GROUND
// The ground's own program (built with GROUND defined, and STRIKE while a strike shows): texture mode 1,
// always lit, no highlight (a material factor of 0, which adds exactly nothing in the general program), none
// of the other modes' work; otherwise the same arithmetic as the general program below.
void main() {
    vec4 base = texture(colorTexture, texCoord);
    vec3 n = normalize(eyeNormal);
    vec3 color = base.rgb;
    vec3 toLight = normalize(vLightPosition - eyePosition);
    float diffuse = max(dot(n, toLight), 0.0);
    float up = normalize(worldNormal).y * 0.5 + 0.5;
    vec3 hemisphere = mix(groundAmbient, skyAmbient, up) * 0.8;
    vec3 light = vec3(ambientFactor) + (hemisphere + diffuse * sunColor) * lightFactor;
    color = base.rgb * light;
#ifdef STRIKE
    color += projectedStrike();
#endif
    color = applyMood(color);

    float distance = length(eyePosition);
    float haze = 1.0 - exp(-(distance * hazeDensity) * (distance * hazeDensity));
    vec3 hazeColor = mix(goodHaze, badHaze, clamp(badFactor, 0.0, 1.0)) * (0.25 + 0.75 * lightFactor);
    color = mix(color, hazeColor, haze);
    vFragColor = vec4(color, base.a);
}
#else
// The general program reads the texture mode and the lighting switch from uniforms. Built with TEXTURED
// defined (and STRIKE while a strike shows) it is the program of the lit, plainly textured models: the same
// arithmetic with the mode fixed at 1, so none of the other modes' work is left in it. LEAVES fixes mode 2
// in the same way.
#if defined(TEXTURED)
#define TEXTURE_MODE 1
#define LIT true
#elif defined(LEAVES)
#define TEXTURE_MODE 2
#define LIT true
#else
#define TEXTURE_MODE useTexture
#define LIT (useLight != 0)
#define STRIKE
#endif
void main() {
    // Each texture is read once. A software rasterizer runs every side of a branch for a block of pixels,
    // so reads inside the texture modes' branches would all be paid for by every pixel.
    vec4 colorSample = texture(colorTexture, texCoord);
    float alphaSample = texture(alphaTexture, texCoord).r;
    vec4 base;
    if (TEXTURE_MODE == 0) {
        base = diffuseColor;
    } else if (TEXTURE_MODE == 2) {
        if (alphaSample < 0.5) discard;
        base = vec4(colorSample.rgb, 1.0);
    } else if (TEXTURE_MODE == 3) {
        base = vec4(colorSample.rgb, alphaSample);
    } else {
        base = colorSample;
    }

    vec3 viewDir = normalize(-eyePosition);
    vec3 n = normalize(eyeNormal);
    vec3 color = base.rgb;
    if (LIT) {
        // Leaves are thin sheets: light the side that faces the viewer.
        if (TEXTURE_MODE == 2 && dot(n, viewDir) < 0.0) n = -n;
        vec3 toLight = normalize(vLightPosition - eyePosition);
        float diffuse = max(dot(n, toLight), 0.0);
        vec3 halfway = normalize(toLight + viewDir);
        float specular = diffuse > 0.0 ? pow(max(dot(n, halfway), 0.0), shininess) : 0.0;
        float up = normalize(worldNormal).y * 0.5 + 0.5;
        vec3 hemisphere = mix(groundAmbient, skyAmbient, up) * 0.8;
        vec3 light = vec3(ambientFactor) + (hemisphere + diffuse * sunColor) * lightFactor;
        color = base.rgb * light + vec3(materialFactor * specular * lightFactor);
    }
#ifdef STRIKE
    if (LIT || TEXTURE_MODE != 3) color += projectedStrike();
#endif
    if (LIT) color = applyMood(color);

    if (TEXTURE_MODE == 5) {
        // A slow golden heartbeat plus a rim that shines against the background.
        float pulse = 0.5 + 0.5 * sin(glowTime * 4.0);
        float rim = pow(1.0 - max(dot(n, viewDir), 0.0), 2.0);
        color += gold * (0.25 + 0.35 * pulse + 0.9 * rim);
    }

    float distance = length(eyePosition);
    float haze = 1.0 - exp(-(distance * hazeDensity) * (distance * hazeDensity));
    vec3 hazeColor = mix(goodHaze, badHaze, clamp(badFactor, 0.0, 1.0)) * (0.25 + 0.75 * lightFactor);
    color = mix(color, hazeColor, haze);
    vFragColor = vec4(color, base.a);
}
#endif
