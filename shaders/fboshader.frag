#version 330 core
// Object-id pass: writes the object's number unchanged into the integer target.
uniform int objectId;
out int vFragColor;
void main() {
    vFragColor = objectId;
}
