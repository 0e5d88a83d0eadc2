#version 330 core
// overlayshader.frag -- each overlay shape's coverage from its distance to the pixel, so edges are smooth at any
// size. One program per kind of shape, chosen by a define put in after the version line: RECTANGLE (rounded),
// ARC (discs, rings, pies), TRIANGLE, and TEXT (letters from the font's distance field, with an outline). The
// colour goes out premultiplied by its alpha.

in vec2 local;
in vec4 fillColour;
in vec4 secondColour;
in vec4 shape;

uniform sampler2D atlas;

layout(location = 0) out vec4 vFragColor;

const float turn = 6.28318531;

// Coverage of a pixel whose centre lies `inside` pixels within an edge (negative: outside).
float cover(float inside) {
    return clamp(inside + 0.5, 0.0, 1.0);
}

void main() {
#if defined(TEXT)
    // local is the atlas position; shape.x screen pixels per baked pixel, shape.y the outline width in screen
    // pixels, shape.z texel steps per baked pixel, shape.w the outline's texel value (0..1).
    float inside = (texture(atlas, local).r - shape.w) * 255.0 / shape.z * shape.x;
    float fill = cover(inside);
    float outline = cover(inside + shape.y);
    vFragColor = vec4(fillColour.rgb, 1.0) * fillColour.a * fill +
                 vec4(secondColour.rgb, 1.0) * secondColour.a * max(outline - fill, 0.0);
#else
#if defined(RECTANGLE)
    // local is the offset from the centre, shape.xy the half size, shape.z the corner radius.
    vec2 q = abs(local) - (shape.xy - vec2(shape.z));
    float coverage = cover(-(length(max(q, 0.0)) + min(max(q.x, q.y), 0.0) - shape.z));
#elif defined(ARC)
    // local is the offset from the centre; shape.x the outer and shape.y the inner radius, from shape.z turns
    // clockwise from the top over shape.w turns.
    float d = length(local);
    float coverage = cover(shape.x - d);
    if (shape.y > 0.0) coverage *= cover(d - shape.y);
    if (shape.w < 1.0) {
        float turns = fract(atan(local.x, -local.y) / turn - shape.z);
        coverage *= cover(min(turns, shape.w - turns) * turn * d);
    }
#else
    // TRIANGLE: shape.xyz are the pixel's distances to the three edges.
    float coverage = cover(min(min(shape.x, shape.y), shape.z));
#endif
    vFragColor = vec4(fillColour.rgb, 1.0) * fillColour.a * coverage;
#endif
}
