#version 330 core
// blinnphongshader.vert -- lit objects: clip position, eye-space position and normal, world normal,
// and the coordinate at which the strike's projector sees this vertex.

layout(location = 0) in vec4 vVertex;
layout(location = 1) in vec3 vNormal;
layout(location = 2) in vec2 vTexCoord;

uniform mat4 mvpMatrix;
uniform mat4 mMatrix;
uniform mat4 mvMatrix;
uniform mat3 normalMatrix;  // inverse-transpose of the model-view's upper 3 x 3
uniform mat4 texMatrix;   // projector: world position -> (s, t, r, q); the identity when no strike shows

out vec3 eyePosition;
out vec3 eyeNormal;      // not of unit length: normalised where it is used
out vec3 worldNormal;    // likewise
out vec2 texCoord;
out vec4 projectorCoord;

// Turns normals as the matrix m turns the surfaces: the inverse-transpose of m scaled by the size of its
// determinant (which the normalisation removes), made of the cross products of its columns.
mat3 normalTurn(mat3 m) {
    mat3 c = mat3(cross(m[1], m[2]), cross(m[2], m[0]), cross(m[0], m[1]));
    return dot(m[0], c[0]) < 0.0 ? -c : c;
}

void main() {
    vec4 world = mMatrix * vVertex;
    eyePosition = (mvMatrix * vVertex).xyz;
    eyeNormal = normalMatrix * vNormal;
    worldNormal = normalTurn(mat3(mMatrix)) * vNormal;
    texCoord = vTexCoord;
    projectorCoord = texMatrix * world;
    gl_Position = mvpMatrix * vVertex;
}
