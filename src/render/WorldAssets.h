// WorldAssets.h -- the programs, models and textures the world is drawn with, each reached by its name.
// WorldAssets.cpp loads them, in the order their console lines and the filter switches expect.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "assets/Model.h"
#include "assets/ShaderProgram.h"

// The programs of a frame. The world cannot be drawn without the first three; a variant that does not build
// falls back to the general lit program, and without the scale program a blit puts the world on the window.
struct WorldPrograms {
    ShaderProgram* phong = nullptr;   // the general lit program
    ShaderProgram* skybox = nullptr;
    ShaderProgram* id = nullptr;      // writes object numbers into the id target
    ShaderProgram* scale = nullptr;   // puts the world on the window; may be null
    ShaderProgram* sharpen = nullptr; // sharpens the world before it is scaled up; may be null
    ShaderProgram* shadow = nullptr;  // the soft shadows under the people; may be null (then none are drawn)
    // Lit variants: the ground (texture mode 1 only), plainly textured models and cut-out leaves, each without
    // and with the strike's projected picture.
    ShaderProgram* ground = nullptr;
    ShaderProgram* groundStrike = nullptr;
    ShaderProgram* textured = nullptr;
    ShaderProgram* texturedStrike = nullptr;
    ShaderProgram* leaves = nullptr;
    ShaderProgram* leavesStrike = nullptr;

    std::vector<std::unique_ptr<ShaderProgram>> owned;
    // True when the three programs the world needs are usable.
    bool complete() const;
};

// The thirteen models, declared in the order they are made (the order of allModels).
struct WorldModels {
    Model tree;
    Model ground;
    Model groundBorder;
    Model infoPanel;
    Model moai;
    Model goodPerson;
    Model badPerson;
    Model lightMarker;
    Model skybox;
    Model lightning;
    Model grenade;
    Model grenadeBorder;
    Model wall;
};

// Texture slots of the models that have more than one texture.
enum class TreeTexture : std::size_t { Leaves, LeafAlpha, Bark };
enum class InfoPanelTexture : std::size_t { Controls, Win, Lose };
enum class WallTexture : std::size_t { Good, Bad };
enum class GrenadeTexture : std::size_t { Body, Indicator };
// The bolt of a left click (shoot) and of a right click (pick), each with its alpha, then the pictures the
// strike projects on the ground.
enum class LightningTexture : std::size_t { Shoot, ShootAlpha, Pick, PickAlpha, PickProjection, ShootProjection };

// The tree model's trunk; every other mesh of it is leaves.
constexpr int treeTrunkMesh = 15;

// The texture name in a slot of the model, or 0 when the model has no texture there.
uint32_t modelTexture(const Model& model, std::size_t slot);
template <typename Slot>
uint32_t modelTexture(const Model& model, Slot slot) {
    return modelTexture(model, static_cast<std::size_t>(slot));
}

// Builds the programs; prints "Could not compile shader program." and returns false when one of the three
// the world needs is unusable.
bool buildWorldPrograms(WorldPrograms& programs);
// Loads the built-in meshes and OBJ files, then the textures (the 2D ones before the sky box's cube map), and
// sets each model's material.
void loadWorldModels(WorldModels& models, const WorldPrograms& programs);
