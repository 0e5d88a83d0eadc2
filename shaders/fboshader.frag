#version 330 core
// fboshader.frag -- object-id pass: writes the object's number unchanged into the integer target.

uniform int objectId;

out int vFragColor;

void main() {
    vFragColor = objectId;
}
