// WorldBuild.cpp -- building the world once, in the fixed order that numbers its objects and fills its models.
#include <cstdlib>
#include <ctime>
#include <initializer_list>
#include <iostream>
#include <string>
#include <vector>

#include <epoxy/gl.h>
#include <glm/gtc/matrix_transform.hpp>

#include "assets/FragmentOutput.h"
#include "assets/Model.h"
#include "assets/ShaderProgram.h"
#include "assets/Texture.h"
#include "game/Game.h"
#include "game/Random.h"
#include "game/Settlement.h"
#include "game/WorldConstants.h"
#include "math/Conventions.h"
#include "sound/SoundManager.h"

namespace {

// Settlements are at least this far from every earlier one and closer than neighbourDistance to one of them.
constexpr double minimumSettlementDistance = 960.0000610351562;
constexpr float neighbourDistance = 1600.0f;

// A coordinate in [-R, R] with R = settlementSpread / 5.
float randomSettlementCoordinate() {
    const float range = settlementSpread / 5.0f;
    const float width = range - (-range);
    return static_cast<float>(randomUnit() * width - range);
}

bool acceptableSettlementPosition(const glm::vec3& candidate, const std::array<Settlement*, 5>& placed, int count) {
    bool hasNeighbour = false;
    for (int m = 0; m < count; ++m) {
        const float distance = glm::length(candidate - placed[m]->position);
        if (distance < minimumSettlementDistance) return false;
        if (distance < neighbourDistance) hasNeighbour = true;
    }
    return hasNeighbour;
}

void loadTextures(Model& model, std::initializer_list<const char*> files, bool clampLastTwo = false) {
    const size_t count = files.size();
    model.textures.clear();
    size_t index = 0;
    for (const char* file : files) {
        const bool clamp = clampLastTwo && index + 2 >= count;
        model.textures.push_back(loadTexture(texturePath + file, clamp));
        ++index;
    }
    model.textureCount = static_cast<int>(model.textures.size());
}

}  // namespace

bool Game::buildWorld(const GameOptions& options) {
    std::srand(options.seedFromClock ? static_cast<unsigned>(std::time(nullptr)) : options.seed);

    projectorMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(0.5f, 0.5f, 0.0f)) *
                      glm::scale(glm::mat4(1.0f), glm::vec3(0.5f, 0.5f, 1.0f)) *
                      omx::perspectiveDegrees(30.0f, 1.0f, 1.0f, 10.0f);

    if (options.sound) {
        sound = options.sound;
    } else {
        ownedSound = std::make_unique<SoundManager>(soundPath);
        sound = ownedSound.get();
    }

    createSceneObjects();
    if (graphics && !buildShaderPrograms()) return false;
    placeSettlements();
    createModels();
    if (graphics) {
        loadModelGeometry();
        loadModelTextures();
    }
    setModelMaterials();

    sound->play(MusicGood);
    sound->play(SoundHolyGrenadeCrafting);
    return true;
}

void Game::createSceneObjects() {
    // Object numbers follow creation order: camera 0, light 1, strike 2, sky box 3, tiles 4..103,
    // borders 104..107, info panel 108, then the settlements' objects.
    ownedCamera = std::make_unique<Camera>();
    camera = ownedCamera.get();
    light = newObject(Prop);
    strike = newObject(Prop);
    skybox = newObject(Prop);

    for (int i = -5; i <= 4; ++i) {
        for (int j = -5; j <= 4; ++j) {
            SceneObject* tile = newObject(GroundTile);
            tile->boundingRadius = 1000;
            tile->position = glm::vec3(static_cast<float>((worldSizeX * i) / 10), 0.0f,
                                       static_cast<float>((worldSizeZ * j) / 10));
            tile->scale = glm::vec3(static_cast<float>((worldSizeX / 2) / 10), static_cast<float>((worldSizeX / 2) / 10),
                                    static_cast<float>((worldSizeZ / 2) / 10));
            groundTiles[static_cast<size_t>((i + 5) * 10 + (j + 5))] = tile;
        }
    }

    const glm::vec3 borderPositions[4] = {glm::vec3(0.0f, 0.0f, -borderDistance), glm::vec3(-borderDistance, 0.0f, 0.0f),
                                          glm::vec3(0.0f, 0.0f, borderDistance), glm::vec3(borderDistance, 0.0f, 0.0f)};
    for (int k = 0; k < 4; ++k) {
        SceneObject* border = newObject(Prop);
        border->position = borderPositions[k];
        border->rotation.y = 90.0f * static_cast<float>(k);
        border->scale = glm::vec3(552.61f, 245.0f, 552.61f);
        borders[static_cast<size_t>(k)] = border;
    }

    infoPanel = newObject(Prop);
    infoPanel->visible = false;

    strike->visible = false;
    camera->position = glm::vec3(0.0f, cameraStartDistance, cameraStartDistance);
    camera->direction = glm::normalize(glm::vec3(0.0f, -0.5f, -0.5f));
    camera->viewMatrix = glm::mat4(1.0f);
    camera->keyboardControl = true;
    lastHorizontalDirection = glm::vec3(0.0f, 0.0f, -1.0f);
    lastGroundPoint = glm::vec3(camera->position.x, 0.0f, camera->position.z);
    light->position = glm::vec3(0.0f);
    strike->identityTransform = true;
    activeShader = nullptr;
}

bool Game::buildShaderPrograms() {
    const char* programNames[3] = {"blinnphongshader", "skyboxshader", "fboshader"};
    for (const char* name : programNames) ownedShaders.push_back(std::make_unique<ShaderProgram>(shaderPath + name));
    phongShader = ownedShaders[0].get();
    skyboxShader = ownedShaders[1].get();
    idShader = ownedShaders[2].get();
    // Nothing can be drawn or picked without all three programs: stop before anything uses them.
    if (!phongShader->valid || !skyboxShader->valid || !idShader->valid) {
        std::cerr << "Could not compile shader program." << std::endl;
        return false;
    }
    for (ShaderProgram* program : {phongShader, skyboxShader, idShader}) bindFragmentOutput(*program, "vFragColor");
    // The ground's own programs and those of the plainly textured models and the leaves come from the same source;
    // should one not build, its draws use the general program.
    const auto variant = [this](const char* defines) {
        ownedShaders.push_back(std::make_unique<ShaderProgram>(shaderPath + "blinnphongshader", defines));
        ShaderProgram* program = ownedShaders.back().get();
        if (program->valid) bindFragmentOutput(*program, "vFragColor");
        return program->valid && program->program != 0 ? program : phongShader;
    };
    groundShader = variant("#define GROUND\n");
    groundStrikeShader = variant("#define GROUND\n#define STRIKE\n");
    texturedShader = variant("#define TEXTURED\n");
    texturedStrikeShader = variant("#define TEXTURED\n#define STRIKE\n");
    leavesShader = variant("#define LEAVES\n");
    leavesStrikeShader = variant("#define LEAVES\n#define STRIKE\n");
    ownedShaders.push_back(std::make_unique<ShaderProgram>(shaderPath + "scaleshader"));
    if (ownedShaders.back()->valid && ownedShaders.back()->program != 0) {
        scaleShader = ownedShaders.back().get();
        bindFragmentOutput(*scaleShader, "vFragColor");
        ownedShaders.push_back(std::make_unique<ShaderProgram>(shaderPath + "scaleshader", "#define SHARPEN\n"));
        if (ownedShaders.back()->valid && ownedShaders.back()->program != 0) {
            sharpenShader = ownedShaders.back().get();
            bindFragmentOutput(*sharpenShader, "vFragColor");
        }
    }
    const GLubyte* renderer = glGetString(GL_RENDERER);
    softwareRasterizer = renderer && isSoftwareRasterizer(reinterpret_cast<const char*>(renderer));
    return true;
}

void Game::placeSettlements() {
    // Settlement 0 stands at the centre; each later one keeps its distance from all earlier ones
    // and has a near neighbour among them.
    for (int n = 0; n < 5; ++n) {
        glm::vec3 position(0.0f);
        if (n > 0) {
            do {
                const float z = randomSettlementCoordinate();
                const float x = randomSettlementCoordinate();
                position = glm::vec3(x, 0.0f, z);
            } while (!acceptableSettlementPosition(position, settlements, n));
        }
        std::cout << position.x << " " << position.y << " " << position.z << " " << std::endl;
        ownedSettlements.push_back(std::make_unique<Settlement>(position, n, this));
        settlements[static_cast<size_t>(n)] = ownedSettlements.back().get();
        settlements[static_cast<size_t>(n)]->setup();
    }
    for (Settlement* settlement : settlements) settlement->scatter();
}

void Game::createModels() {
    Model** models[13] = {&treeModel,       &groundModel,    &groundBorderModel, &infoPanelModel, &moaiModel,
                          &goodPersonModel, &badPersonModel, &lightMarkerModel,  &skyboxModel,    &lightningModel,
                          &grenadeModel,    &grenadeBorderModel, &wallModel};
    for (Model** slot : models) {
        ownedModels.push_back(std::make_unique<Model>());
        *slot = ownedModels.back().get();
    }
}

void Game::loadModelGeometry() {
    uploadGeometry(*skyboxModel, *skyboxShader, skyboxVertices.data(), nullptr, nullptr,
                   static_cast<int32_t>(sizeof(float) * skyboxVertices.size()), GeometryUsage::Static, false);
    const std::vector<float> groundNormals = computeFaceNormals();
    uploadGeometry(*groundModel, *phongShader, groundQuadPositions.data(), groundNormals.data(),
                   groundQuadTexCoords.data(), 96, GeometryUsage::Static, false);
    uploadGeometry(*infoPanelModel, *phongShader, groundQuadPositions.data(), nullptr, groundQuadTexCoords.data(), 96,
                   GeometryUsage::Static, false);
    uploadGeometry(*lightMarkerModel, *phongShader, pyramidPositions.data(), nullptr, pyramidTexCoords.data(), 192,
                   GeometryUsage::Static, false);

    loadModel(*grenadeModel, modelPath + "holygrenade2.obj", *phongShader);
    loadModel(*grenadeBorderModel, modelPath + "holygrenadeborder2.obj", *phongShader);
    loadModel(*wallModel, modelPath + "wall7.obj", *phongShader);
    loadModel(*badPersonModel, modelPath + "badbobob3.obj", *phongShader);
    loadModel(*goodPersonModel, modelPath + "goodbobob2.obj", *phongShader);
    loadModel(*treeModel, modelPath + "MediumPolyTree2.obj", *phongShader);
    loadModel(*moaiModel, modelPath + "moai_duplicated.obj", *phongShader);
    loadModel(*groundBorderModel, modelPath + "groundborder.obj", *phongShader);
}

void Game::loadModelTextures() {
    // Every 2D texture before the cube map, which leaves its own binding behind.
    loadTextures(*groundModel, {"ground/ground2halfglow.tga"});
    loadTextures(*groundBorderModel, {"ground/groundborderglow.tga"});
    loadTextures(*infoPanelModel, {"infopanel/infocontrols.tga", "infopanel/infowin.tga", "infopanel/infolose.tga"});
    loadTextures(*goodPersonModel, {"peoplegood/goodbobob.tga"});
    loadTextures(*badPersonModel, {"peoplebad/badbobob2.tga"});
    loadTextures(*treeModel, {"tree/leaf3.tga", "tree/leafalpha.tga", "tree/bark.tga"});
    loadTextures(*moaiModel, {"moai/moai.tga"});
    loadTextures(*lightningModel,
                 {"lightning/lightning5.tga", "lightning/lightningalpha5.tga", "lightning/lightning2.tga",
                  "lightning/lightningalpha2.tga", "projection/projection2.tga", "projection/projection1.tga"},
                 true);
    loadTextures(*wallModel, {"stonewall/stonegood3.tga", "stonewall/stonebad3.tga"});
    loadTextures(*grenadeModel, {"holygrenade/holygrenade2.tga", "holygrenade/holygrenade3.tga"});

    const std::string faces = texturePath + "skyboxgood/";
    const std::array<std::string, 6> facePaths = {faces + "xpos.tga", faces + "xneg.tga", faces + "ypos.tga",
                                                  faces + "yneg.tga", faces + "zpos.tga", faces + "zneg.tga"};
    skyboxModel->textures.assign(1, loadCubeMap(facePaths));
    skyboxModel->textureCount = 0;  // the filter switches leave the cube map alone
}

void Game::setModelMaterials() {
    grenadeBorderModel->useTexture = TextureMode::Colour;
    grenadeBorderModel->diffuseColor = {{0.7f, 0.5f, 0.3f, 1.0f}};
    infoPanelModel->useLight = 0;
    goodPersonModel->materialFactor = 0.2f;
    badPersonModel->materialFactor = 0.2f;
    treeModel->materialFactor = 0.3f;
    treeModel->useTexture = TextureMode::Leaves;
    moaiModel->materialFactor = 0.7f;
    lightningModel->useLight = 0;
    lightningModel->useTexture = TextureMode::Lightning;
    lightMarkerModel->useLight = 0;
    lightMarkerModel->useTexture = TextureMode::Colour;
    lightMarkerModel->diffuseColor = {{1.0f, 1.0f, 0.0f, 1.0f}};
    skyboxModel->useLight = 0;
    skyboxModel->useTexture = TextureMode::Colour;
    grenadeModel->materialFactor = 0.8f;
    wallModel->materialFactor = 0.0f;
}
