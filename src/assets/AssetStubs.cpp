// AssetStubs.cpp -- temporary bodies until the texture and model loaders land.
#include "assets/Model.h"
#include "assets/Texture.h"

#include <algorithm>

std::vector<Model*> allModels;
Model::Model() { allModels.push_back(this); }
Model::~Model() { allModels.erase(std::remove(allModels.begin(), allModels.end(), this), allModels.end()); }
void applyTextureFiltering(bool, bool) {}
