// FramePasses.h -- the draws of the colour pass, in the pieces a frame is composed of. The frame (Frame.cpp)
// puts them together; a test can put them together another way and compare the pictures.
#pragma once

#include <glm/glm.hpp>

class Model;
class Renderer;
class ShaderProgram;

// The lit programs of a colour pass: the general one, and those for lit, plainly textured models and for lit
// leaves, with the strike's projector.
struct LitPrograms {
    ShaderProgram* general;
    ShaderProgram* textured;
    ShaderProgram* leaves;
    glm::mat4 texMatrix;
};

// Depth test on, polygons filled or lines (wireframe), no blending.
void beginColourPass(const Renderer& r);
void setBlending(bool on);
// Binds what the lit programs read besides the colour texture and gives back the strike's projector matrix.
glm::mat4 prepareLitTextures(Renderer& r);
// Makes a lit program current with the frame's samplers, glow time and projector.
void useLitProgram(Renderer& r, ShaderProgram& program, const glm::mat4& texMatrix);
void drawSkyBox(Renderer& r);
// The ground tiles with the current program.
void drawGround(Renderer& r);
// Border pieces, the info panel and the light marker.
void drawWorldProps(Renderer& r, const LitPrograms& lit);
// Walls, statues, trees, grenades with their indicators and borders, then the people, group by group.
void drawSettlements(Renderer& r, const LitPrograms& lit);
// The bolt, blended over everything when transparency is on.
void drawStrike(Renderer& r);
