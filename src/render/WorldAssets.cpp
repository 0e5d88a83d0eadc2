// WorldAssets.cpp -- building the world's programs and loading its models and textures in their fixed order.
#include "render/WorldAssets.h"

#include <array>
#include <iostream>
#include <string>
#include <utility>

#include "assets/FragmentOutput.h"
#include "assets/Texture.h"
#include "game/WorldConstants.h"

namespace {

// One texture file for one slot.
template <typename Slot>
struct TextureFile {
    Slot slot;
    const char* file;
};

// Fills the model's textures slot by slot; a slot's index is its place among the model's textures.
// `clampFrom` and later slots clamp at the edges (the strike's projected pictures).
template <typename Slot, std::size_t N>
void loadTextures(Model& model, const std::array<TextureFile<Slot>, N>& files, std::size_t clampFrom = N) {
    model.textures.assign(N, 0u);
    for (const TextureFile<Slot>& entry : files) {
        const std::size_t slot = static_cast<std::size_t>(entry.slot);
        if (slot < N) model.textures[slot] = loadTexture(texturePath + entry.file, slot >= clampFrom);
    }
    model.textureCount = static_cast<int>(model.textures.size());
}

// A model with one texture.
void loadOnlyTexture(Model& model, const char* file) {
    model.textures.assign(1, loadTexture(texturePath + file, false));
    model.textureCount = 1;
}

void loadGeometry(WorldModels& m, const WorldPrograms& p) {
    uploadGeometry(m.skybox, *p.skybox, skyboxVertices.data(), nullptr, nullptr,
                   static_cast<int32_t>(sizeof(float) * skyboxVertices.size()), GeometryUsage::Static, false);
    const std::vector<float> groundNormals = computeFaceNormals();
    uploadGeometry(m.ground, *p.phong, groundQuadPositions.data(), groundNormals.data(), groundQuadTexCoords.data(),
                   96, GeometryUsage::Static, false);
    uploadGeometry(m.infoPanel, *p.phong, groundQuadPositions.data(), nullptr, groundQuadTexCoords.data(), 96,
                   GeometryUsage::Static, false);
    uploadGeometry(m.lightMarker, *p.phong, pyramidPositions.data(), nullptr, pyramidTexCoords.data(), 192,
                   GeometryUsage::Static, false);

    loadModel(m.grenade, modelPath + "holygrenade2.obj", *p.phong);
    loadModel(m.grenadeBorder, modelPath + "holygrenadeborder2.obj", *p.phong);
    loadModel(m.wall, modelPath + "wall7.obj", *p.phong);
    loadModel(m.badPerson, modelPath + "badbobob3.obj", *p.phong);
    loadModel(m.goodPerson, modelPath + "goodbobob2.obj", *p.phong);
    loadModel(m.tree, modelPath + "MediumPolyTree2.obj", *p.phong);
    loadModel(m.moai, modelPath + "moai_duplicated.obj", *p.phong);
    loadModel(m.groundBorder, modelPath + "groundborder.obj", *p.phong);
}

void loadTextures(WorldModels& m) {
    // Every 2D texture before the cube map, which leaves its own binding behind.
    loadOnlyTexture(m.ground, "ground/ground2halfglow.tga");
    loadOnlyTexture(m.groundBorder, "ground/groundborderglow.tga");
    loadTextures(m.infoPanel, std::array<TextureFile<InfoPanelTexture>, 3>{{
                                  {InfoPanelTexture::Controls, "infopanel/infocontrols.tga"},
                                  {InfoPanelTexture::Win, "infopanel/infowin.tga"},
                                  {InfoPanelTexture::Lose, "infopanel/infolose.tga"},
                              }});
    loadOnlyTexture(m.goodPerson, "peoplegood/goodbobob.tga");
    loadOnlyTexture(m.badPerson, "peoplebad/badbobob2.tga");
    loadTextures(m.tree, std::array<TextureFile<TreeTexture>, 3>{{
                             {TreeTexture::Leaves, "tree/leaf3.tga"},
                             {TreeTexture::LeafAlpha, "tree/leafalpha.tga"},
                             {TreeTexture::Bark, "tree/bark.tga"},
                         }});
    loadOnlyTexture(m.moai, "moai/moai.tga");
    loadTextures(m.lightning,
                 std::array<TextureFile<LightningTexture>, 6>{{
                     {LightningTexture::Shoot, "lightning/lightning5.tga"},
                     {LightningTexture::ShootAlpha, "lightning/lightningalpha5.tga"},
                     {LightningTexture::Pick, "lightning/lightning2.tga"},
                     {LightningTexture::PickAlpha, "lightning/lightningalpha2.tga"},
                     {LightningTexture::PickProjection, "projection/projection2.tga"},
                     {LightningTexture::ShootProjection, "projection/projection1.tga"},
                 }},
                 static_cast<std::size_t>(LightningTexture::PickProjection));
    loadTextures(m.wall, std::array<TextureFile<WallTexture>, 2>{{
                             {WallTexture::Good, "stonewall/stonegood3.tga"},
                             {WallTexture::Bad, "stonewall/stonebad3.tga"},
                         }});
    loadTextures(m.grenade, std::array<TextureFile<GrenadeTexture>, 2>{{
                                {GrenadeTexture::Body, "holygrenade/holygrenade2.tga"},
                                {GrenadeTexture::Indicator, "holygrenade/holygrenade3.tga"},
                            }});

    const std::string faces = texturePath + "skyboxgood/";
    const std::array<std::string, 6> facePaths = {faces + "xpos.tga", faces + "xneg.tga", faces + "ypos.tga",
                                                  faces + "yneg.tga", faces + "zpos.tga", faces + "zneg.tga"};
    m.skybox.textures.assign(1, loadCubeMap(facePaths));
    m.skybox.textureCount = 0;  // the filter switches leave the cube map alone
}

void setMaterials(WorldModels& m) {
    m.grenadeBorder.useTexture = TextureMode::Colour;
    m.grenadeBorder.diffuseColor = {{0.7f, 0.5f, 0.3f, 1.0f}};
    m.infoPanel.useLight = 0;
    m.goodPerson.materialFactor = 0.2f;
    m.badPerson.materialFactor = 0.2f;
    m.tree.materialFactor = 0.3f;
    m.tree.useTexture = TextureMode::Leaves;
    m.moai.materialFactor = 0.7f;
    m.lightning.useLight = 0;
    m.lightning.useTexture = TextureMode::Lightning;
    m.lightMarker.useLight = 0;
    m.lightMarker.useTexture = TextureMode::Colour;
    m.lightMarker.diffuseColor = {{1.0f, 1.0f, 0.0f, 1.0f}};
    m.skybox.useLight = 0;
    m.skybox.useTexture = TextureMode::Colour;
    m.grenade.materialFactor = 0.8f;
    m.wall.materialFactor = 0.0f;
}

}  // namespace

uint32_t modelTexture(const Model& model, std::size_t slot) {
    return slot < model.textures.size() ? model.textures[slot] : 0u;
}

bool WorldPrograms::complete() const {
    return phong && skybox && id && phong->valid && skybox->valid && id->valid;
}

bool buildWorldPrograms(WorldPrograms& p) {
    const auto make = [&p](const char* name, const char* defines) {
        p.owned.push_back(*defines ? std::make_unique<ShaderProgram>(shaderPath + name, defines)
                                   : std::make_unique<ShaderProgram>(shaderPath + name));
        return p.owned.back().get();
    };
    p.phong = make("blinnphongshader", "");
    p.skybox = make("skyboxshader", "");
    p.id = make("fboshader", "");
    // Nothing can be drawn or picked without all three programs: stop before anything uses them.
    if (!p.complete()) {
        std::cerr << "Could not compile shader program." << std::endl;
        return false;
    }
    for (ShaderProgram* program : {p.phong, p.skybox, p.id}) bindFragmentOutput(*program, "vFragColor");
    // The variants come from the general program's source; should one not build, its draws use that program.
    const auto variant = [&](const char* defines) {
        ShaderProgram* program = make("blinnphongshader", defines);
        if (program->valid) bindFragmentOutput(*program, "vFragColor");
        return program->valid && program->program != 0 ? program : p.phong;
    };
    p.ground = variant("#define GROUND\n");
    p.groundStrike = variant("#define GROUND\n#define STRIKE\n");
    p.textured = variant("#define TEXTURED\n");
    p.texturedStrike = variant("#define TEXTURED\n#define STRIKE\n");
    p.leaves = variant("#define LEAVES\n");
    p.leavesStrike = variant("#define LEAVES\n#define STRIKE\n");
    ShaderProgram* scale = make("scaleshader", "");
    if (scale->valid && scale->program != 0) {
        p.scale = scale;
        bindFragmentOutput(*scale, "vFragColor");
        ShaderProgram* sharpen = make("scaleshader", "#define SHARPEN\n");
        if (sharpen->valid && sharpen->program != 0) {
            p.sharpen = sharpen;
            bindFragmentOutput(*sharpen, "vFragColor");
        }
    }
    ShaderProgram* shadow = make("shadowshader", "");
    if (shadow->valid && shadow->program != 0) {
        p.shadow = shadow;
        bindFragmentOutput(*shadow, "vFragColor");
    }
    return true;
}

void loadWorldModels(WorldModels& models, const WorldPrograms& programs) {
    loadGeometry(models, programs);
    loadTextures(models);
    setMaterials(models);
}
