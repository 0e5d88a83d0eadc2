#version 330 core
// scaleshader.vert -- the world onto the window: a quad over the whole window from four vertex
// numbers alone (0 lower left, 1 lower right, 2 upper left, 3 upper right), drawn as a strip.

out vec2 sceneCoord;

void main() {
    vec2 corner = vec2(float(gl_VertexID & 1), float(gl_VertexID >> 1));
    sceneCoord = corner;
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
