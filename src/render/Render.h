// Render.h -- rendering helpers shared by the frame, the object uniforms and the id target.
#pragma once

#include <array>
#include <cstdint>

#include <glm/glm.hpp>

#include "math/Plane.h"

class Model;

// Builds the off-screen id target of width x height: a GL_R32I colour texture and a depth renderbuffer.
// Writes the new names into the out-parameters; returns true when the framebuffer is complete. On
// failure prints "fbo init faiiiled!!! you are dooomed!!" with a line end and leaves framebuffer 0 bound.
bool createFramebuffer(uint32_t& fbo, int width, int height, uint32_t& texture, uint32_t& depthBuffer);

// Frees an id target's framebuffer, texture and depth buffer (0 names are skipped).
void deleteFramebuffer(uint32_t fbo, uint32_t texture, uint32_t depthBuffer);

// The six planes (left, right, top, bottom, near, far) of the camera's view frustum with near distance 1,
// normals pointing inward. direction and up are unit and perpendicular.
std::array<Plane, 6> frustumPlanesFor(const glm::vec3& position, const glm::vec3& direction, const glm::vec3& up,
                                      float aspect, float farPlane);

class Game;
// True when the filled ground, inside the sky box, lies behind every pixel of the window (the sky box
// would change none); never in wireframe or plain rendering.
bool groundCoversWindow(const Game& game);

// A finished, rolling or exploding grenade glows; a growing one shows its texture.
int grenadeTextureMode(int grenadeState);

// Binds the target the world is sharpened into before it is scaled up: a colour texture of the scene
// target's size, filtered linearly, made when first needed after the scene target was (re)made. False,
// with nothing bound, when the driver cannot draw into it.
bool bindSharpenTarget(Game& game);

// The texture name at `index` of the model, or 0 when the model has fewer textures.
uint32_t modelTexture(const Model& model, std::size_t index);
