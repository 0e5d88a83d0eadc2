#version 330 core
// Contact sheet modes: 0 plain colour, 1 colour texture, 2 colour cut out by the alpha texture,
// 3 colour over a checkerboard by the alpha texture's alpha, 4 the sky cube map by direction.
in vec3 normal;
in vec2 texCoord;
in vec3 direction;
uniform int mode;
uniform int lit;
uniform vec4 diffuseColor;
uniform vec3 lightDirection;
uniform sampler2D colorTexture;
uniform sampler2D alphaTexture;
uniform samplerCube skyTexture;
out vec4 vFragColor;
void main() {
    vec3 colour = diffuseColor.rgb;
    if (mode == 1 || mode == 2 || mode == 3) colour = texture(colorTexture, texCoord).rgb;
    if (mode == 2 && texture(alphaTexture, texCoord).a < 0.5) discard;
    if (mode == 3) {
        vec2 cell = floor(gl_FragCoord.xy / 8.0);
        vec3 checker = mod(cell.x + cell.y, 2.0) < 1.0 ? vec3(0.35) : vec3(0.55);
        colour = mix(checker, colour, texture(alphaTexture, texCoord).a);
    }
    if (mode == 4) colour = texture(skyTexture, normalize(direction)).rgb;
    if (lit == 1) colour *= 0.35 + 0.8 * abs(dot(normalize(normal), lightDirection));
    vFragColor = vec4(colour, 1.0);
}
