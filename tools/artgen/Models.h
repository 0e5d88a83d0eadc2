// Models.h -- builders of the game's eight OBJ models (sizes in model units, see each builder). Every part is a
// closed solid wound counter-clockwise seen from outside, except the tree's leaf cards.
#pragma once

#include <vector>

#include "Mesh.h"

namespace artgen {

// ~2 units tall, feet at y = 0, facing +x; about 150 triangles, every part a closed solid. Good: round and bright; bad: hunched and horned.
std::vector<Mesh> buildPerson(bool good);
// ~14 units tall, base at the origin; meshes 0-14 leaf clusters of alpha-cut cards, mesh 15 the trunk.
std::vector<Mesh> buildTree();
// Stone statue ~150 units tall standing on y = 0, facing +x; at most 800 triangles.
std::vector<Mesh> buildMoai();
// Orb of radius 0.92 centred at the origin, collar and cross on top, jewel at the front (+x).
std::vector<Mesh> buildGrenade();
// Flat ring of outer radius ~333 on y = 0.
std::vector<Mesh> buildGrenadeBorder();
// Low square enclosure of outer half-width 5 around the origin, with corner towers.
std::vector<Mesh> buildWall();
// Fence strip 14 units long along x (from -7 to 7), ~1 high, thin in z.
std::vector<Mesh> buildGroundBorder();

size_t triangleCount(const std::vector<Mesh>& meshes);

}  // namespace artgen
