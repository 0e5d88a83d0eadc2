#version 330 core
// scaleshader.frag -- the world onto the window: each window pixel reads the world drawn at the render
// scale, through the scene texture's filter (nearest at the window's size, linear below it).
// Built with SHARPEN it is the pass before a scale-up instead, drawn at the scene's own size: each scene
// pixel is pushed away from its four neighbours by how much room their contrast leaves (less where they
// come near black or white), so that edges come out of the scale-up steeper, without rings or clipping.

in vec2 sceneCoord;

uniform sampler2D scene;
#ifdef SHARPEN
uniform float sharpness;  // 0: the least, 1: the most
#endif

out vec4 vFragColor;

void main() {
#ifdef SHARPEN
    ivec2 at = ivec2(gl_FragCoord.xy);
    ivec2 last = textureSize(scene, 0) - 1;
    vec4 centre = texelFetch(scene, at, 0);
    vec3 north = texelFetch(scene, min(at + ivec2(0, 1), last), 0).rgb;
    vec3 south = texelFetch(scene, max(at - ivec2(0, 1), ivec2(0)), 0).rgb;
    vec3 east = texelFetch(scene, min(at + ivec2(1, 0), last), 0).rgb;
    vec3 west = texelFetch(scene, max(at - ivec2(1, 0), ivec2(0)), 0).rgb;
    vec3 low = min(centre.rgb, min(min(north, south), min(east, west)));
    vec3 high = max(centre.rgb, max(max(north, south), max(east, west)));
    // The room left below black and above white, as a share of the brightest of the five: 0 .. 1.
    vec3 room = sqrt(clamp(min(low, 1.0 - high) / max(high, vec3(1.0 / 256.0)), 0.0, 1.0));
    vec3 weight = -room / mix(8.0, 5.0, sharpness);
    vec3 sharp = (centre.rgb + (north + south + east + west) * weight) / (1.0 + 4.0 * weight);
    vFragColor = vec4(clamp(sharp, 0.0, 1.0), centre.a);
#else
    vFragColor = texture(scene, sceneCoord);
#endif
}
