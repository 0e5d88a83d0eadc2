// RenderFixture.cpp -- programs, scene building, read-back and PNG output shared by the render tests.
#include "RenderFixture.h"

#include <epoxy/gl.h>
#include <glm/gtc/matrix_transform.hpp>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include "assets/FragmentOutput.h"
#include "assets/Model.h"
#include "game/Settlement.h"
#include "game/WorldConstants.h"
#include "math/Conventions.h"
#include "support/GlContext.h"

namespace rendertest {

namespace {

std::unique_ptr<ShaderProgram> buildProgram(const char* name) {
    auto program = std::make_unique<ShaderProgram>(std::string(OMNIVEX_BINARY_DIR) + "/shaders/" + name);
    bindFragmentOutput(*program, "vFragColor");
    return program;
}

void appendBox(MeshData& mesh, const glm::vec3& halfSize, const glm::vec3& offset) {
    const MeshData cube = cubeMesh();
    for (int v = 0; v < cube.vertexCount(); ++v) {
        for (int c = 0; c < 3; ++c) mesh.positions.push_back(cube.positions[v * 4 + c] * halfSize[c] + offset[c]);
        mesh.positions.push_back(1.0f);
    }
    mesh.normals.insert(mesh.normals.end(), cube.normals.begin(), cube.normals.end());
    mesh.texCoords.insert(mesh.texCoords.end(), cube.texCoords.begin(), cube.texCoords.end());
}

void uploadMeshes(Model& model, const ShaderProgram& program, const MeshData& mesh,
                  const std::vector<uint32_t>& meshVertexCounts) {
    uploadGeometry(model, program, mesh.positions.data(), mesh.normals.data(), mesh.texCoords.data(),
                   static_cast<int32_t>(mesh.positions.size() * sizeof(float)), GL_STATIC_DRAW, false);
    model.meshVertexCounts = meshVertexCounts;
    model.meshCount = static_cast<int>(meshVertexCounts.size());
}

void giveTextures(Model& model, std::initializer_list<std::array<unsigned char, 4>> colours) {
    model.textures.clear();
    for (const auto& colour : colours) model.textures.push_back(solidTexture(colour));
    model.textureCount = static_cast<int>(model.textures.size());
}

}  // namespace

Programs loadPrograms() {
    Programs programs;
    programs.phong = buildProgram("blinnphongshader");
    programs.skybox = buildProgram("skyboxshader");
    programs.id = buildProgram("fboshader");
    return programs;
}

glm::vec3 Image::at(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4;
    return glm::vec3(rgba[i], rgba[i + 1], rgba[i + 2]) / 255.0f;
}

glm::vec3 Image::mean(int x0, int y0, int x1, int y1) const {
    glm::dvec3 sum(0.0);
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x, ++count) sum += glm::dvec3(at(x, y));
    return count > 0 ? glm::vec3(sum / static_cast<double>(count)) : glm::vec3(0.0f);
}

Image readColor(uint32_t framebuffer, int width, int height) {
    Image image;
    image.width = width;
    image.height = height;
    image.rgba.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadBuffer(framebuffer == 0 ? GL_BACK : GL_COLOR_ATTACHMENT0);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, image.rgba.data());
    glFinish();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    return image;
}

std::string savePng(const Image& image, const std::string& name) {
    const std::string path = std::string(OMNIVEX_BINARY_DIR) + "/" + name;
    const int stride = image.width * 4;
    // GL rows run bottom to top; PNG rows top to bottom.
    const unsigned char* lastRow = image.rgba.data() + static_cast<std::size_t>(stride) * (image.height - 1);
    return stbi_write_png(path.c_str(), image.width, image.height, 4, lastRow, -stride) ? path : std::string();
}

ColorTarget::ColorTarget(int w, int h) : width(w), height(h) {
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenTextures(1, &color);
    glBindTexture(GL_TEXTURE_2D, color);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, color, 0);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, w, h);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    glViewport(0, 0, w, h);
}

ColorTarget::~ColorTarget() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &color);
    glDeleteRenderbuffers(1, &depth);
}

uint32_t solidTexture(const std::array<unsigned char, 4>& rgba) {
    std::array<unsigned char, 16> pixels{};
    for (std::size_t i = 0; i < 16; ++i) pixels[i] = rgba[i % 4];
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return name;
}

uint32_t solidCubeMap(const std::array<std::array<unsigned char, 4>, 6>& faces) {
    GLuint name = 0;
    glActiveTexture(GL_TEXTURE0);
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_CUBE_MAP, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int f = 0; f < 6; ++f) {
        std::array<unsigned char, 16> pixels{};
        for (std::size_t i = 0; i < 16; ++i) pixels[i] = faces[static_cast<std::size_t>(f)][i % 4];
        glTexImage2D(static_cast<GLenum>(GL_TEXTURE_CUBE_MAP_POSITIVE_X + f), 0, GL_RGBA8, 2, 2, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, pixels.data());
    }
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return name;
}

MeshData cubeMesh() {
    // Each face: outward normal n, and two edge directions u, v with u x v = n.
    const glm::vec3 normals[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    MeshData mesh;
    for (const glm::vec3& n : normals) {
        const glm::vec3 u = std::abs(n.y) > 0.5f ? glm::vec3(0, 0, n.y) : glm::vec3(-n.z, 0, n.x);
        const glm::vec3 v = glm::cross(n, u);
        const glm::vec3 corners[4] = {n - u - v, n + u - v, n + u + v, n - u + v};
        const glm::vec2 uv[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (int index : {0, 1, 2, 0, 2, 3}) {
            const glm::vec3& p = corners[index];
            mesh.positions.insert(mesh.positions.end(), {p.x, p.y, p.z, 1.0f});
            mesh.normals.insert(mesh.normals.end(), {n.x, n.y, n.z});
            mesh.texCoords.insert(mesh.texCoords.end(), {uv[index].x, uv[index].y});
        }
    }
    return mesh;
}

bool buildRealWorld(Scene& scene, unsigned seed) {
    if (!omxtest::ensureGlContext()) return false;
    GameOptions options;
    options.sound = &scene.sound;
    options.seedFromClock = false;
    options.seed = seed;
    scene.game = std::make_unique<Game>(options);
    Game& g = *scene.game;
    if (!g.worldComplete || !g.treeModel || g.treeModel->meshCount == 0) return false;
    g.resize(1200, 800);
    g.state = Playing;
    g.light->position = glm::vec3(0.0f, dayLightHeight, 0.0f);
    scene.centre = g.settlements[0]->position;
    return true;
}

glm::vec3 modelCentre(const std::string& objFile) {
    MeshArrays arrays;
    std::string reason;
    if (!importMeshArrays(modelPath + objFile, arrays, reason) || arrays.vertexCount() == 0) return glm::vec3(0.0f);
    glm::dvec3 sum(0.0);
    for (int v = 0; v < arrays.vertexCount(); ++v)
        sum += glm::dvec3(arrays.positions[v * 4], arrays.positions[v * 4 + 1], arrays.positions[v * 4 + 2]);
    return glm::vec3(sum / static_cast<double>(arrays.vertexCount()));
}

SceneObject& addPerson(Game& game, Settlement& settlement, int type, const glm::vec3& at) {
    SceneObject* person = game.newObject(type);
    person->state = Wandering;
    person->boundingRadius = 20;
    person->owner = &settlement;
    person->position = at;
    person->scale = glm::vec3(7.5f);
    (type == GoodPerson ? settlement.goodPeople : settlement.badPeople).push_back(person);
    return *person;
}

void placeCamera(Game& game, const glm::vec3& position, const glm::vec3& direction) {
    const glm::vec3 d = glm::normalize(direction);
    game.camera->position = position;
    game.camera->direction = d;
    game.camera->viewMatrix = glm::lookAt(position, position + d, glm::vec3(0.0f, 1.0f, 0.0f));
    const glm::vec3 up = omx::rotateVector(d, 90.0f, glm::vec3(-d.z, 0.0f, d.x));
    game.updateFrustum(position, d, up);
}

glm::ivec2 screenPoint(const Game& game, const glm::vec3& world) {
    const glm::vec3 window =
        glm::project(world, game.camera->viewMatrix, game.projectionMatrix,
                     glm::vec4(0.0f, 0.0f, static_cast<float>(game.windowWidth), static_cast<float>(game.windowHeight)));
    return glm::ivec2(static_cast<int>(window.x), static_cast<int>(window.y));
}

bool buildScene(Scene& scene) {
    if (!omxtest::ensureGlContext()) return false;
    GameOptions options;
    options.graphics = false;
    options.sound = &scene.sound;
    options.seedFromClock = false;
    options.seed = 7;
    scene.game = std::make_unique<Game>(options);
    scene.programs = loadPrograms();
    if (!scene.programs.valid()) return false;
    Game& g = *scene.game;
    g.phongShader = scene.programs.phong.get();
    g.skyboxShader = scene.programs.skybox.get();
    g.idShader = scene.programs.id.get();
    const ShaderProgram& phong = *g.phongShader;

    uploadGeometry(*g.skyboxModel, *g.skyboxShader, skyboxVertices.data(), nullptr, nullptr,
                   static_cast<int32_t>(sizeof(float) * skyboxVertices.size()), GL_STATIC_DRAW, false);
    const std::vector<float> groundNormals = computeFaceNormals();
    uploadGeometry(*g.groundModel, phong, groundQuadPositions.data(), groundNormals.data(),
                   groundQuadTexCoords.data(), 96, GL_STATIC_DRAW, false);
    uploadGeometry(*g.infoPanelModel, phong, groundQuadPositions.data(), nullptr, groundQuadTexCoords.data(), 96,
                   GL_STATIC_DRAW, false);
    uploadGeometry(*g.lightMarkerModel, phong, pyramidPositions.data(), nullptr, pyramidTexCoords.data(), 192,
                   GL_STATIC_DRAW, false);

    const MeshData cube = cubeMesh();
    const std::vector<uint32_t> oneCube = {static_cast<uint32_t>(cube.vertexCount())};
    for (Model* model : {g.grenadeModel, g.grenadeBorderModel, g.wallModel, g.badPersonModel, g.goodPersonModel,
                         g.moaiModel, g.groundBorderModel})
        uploadMeshes(*model, phong, cube, oneCube);
    // Fifteen crown meshes above a trunk (mesh 15).
    MeshData tree;
    std::vector<uint32_t> treeCounts;
    for (int k = 0; k < 15; ++k) {
        appendBox(tree, glm::vec3(1.0f, 0.5f, 1.0f), glm::vec3(0.0f, 0.5f, 0.0f));
        treeCounts.push_back(static_cast<uint32_t>(cube.vertexCount()));
    }
    appendBox(tree, glm::vec3(0.25f, 0.5f, 0.25f), glm::vec3(0.0f, -0.5f, 0.0f));
    treeCounts.push_back(static_cast<uint32_t>(cube.vertexCount()));
    uploadMeshes(*g.treeModel, phong, tree, treeCounts);

    giveTextures(*g.groundModel, {{{70, 150, 60, 255}}});
    giveTextures(*g.groundBorderModel, {{{200, 200, 120, 255}}});
    giveTextures(*g.infoPanelModel, {{{240, 240, 240, 255}}, {{240, 220, 80, 255}}, {{40, 40, 40, 255}}});
    giveTextures(*g.goodPersonModel, {{{235, 220, 190, 255}}});
    giveTextures(*g.badPersonModel, {{{120, 40, 130, 255}}});
    giveTextures(*g.treeModel, {{{50, 170, 50, 255}}, {{255, 255, 255, 255}}, {{110, 75, 40, 255}}});
    giveTextures(*g.moaiModel, {{{140, 130, 120, 255}}});
    giveTextures(*g.lightningModel, {{{255, 255, 255, 255}}, {{255, 255, 255, 255}}, {{200, 220, 255, 255}},
                                     {{255, 255, 255, 255}}, {{255, 160, 40, 255}}, {{120, 160, 255, 255}}});
    giveTextures(*g.wallModel, {{{170, 170, 160, 255}}, {{90, 70, 70, 255}}});
    giveTextures(*g.grenadeModel, {{{210, 180, 70, 255}}, {{255, 230, 120, 255}}});
    g.skyboxModel->textures.assign(1, solidCubeMap({{{{150, 190, 240, 255}}, {{150, 190, 240, 255}},
                                                     {{70, 130, 230, 255}}, {{90, 80, 70, 255}},
                                                     {{150, 190, 240, 255}}, {{150, 190, 240, 255}}}}));

    // Settlement 0 laid out by hand; the other four stand at least 960 units away, out of view.
    Settlement& s = *g.settlements[0];
    const glm::vec3 c = s.position;
    scene.centre = c;
    s.tree->position = c + glm::vec3(-120.0f, 30.0f, 0.0f);
    s.tree->scale = glm::vec3(30.0f);
    s.tree->rotation = glm::vec3(0.0f);
    s.grenade->position = c + glm::vec3(120.0f, 20.0f, 0.0f);
    s.grenade->scale = glm::vec3(20.0f);
    s.grenade->rotation = glm::vec3(0.0f);
    s.wall->position = c + glm::vec3(0.0f, 30.0f, 0.0f);
    s.wall->scale = glm::vec3(30.0f);
    s.moai->position = c + glm::vec3(-120.0f, 20.0f, 120.0f);
    s.moai->scale = glm::vec3(20.0f);
    s.moai->rotation = glm::vec3(0.0f);
    s.grenadeBorder->position = c + glm::vec3(120.0f, -50.0f, 0.0f);
    s.monument->position = c + glm::vec3(0.0f, -500.0f, 0.0f);
    for (int type : {GoodPerson, BadPerson}) {
        SceneObject* person = g.newObject(type);
        person->owner = &s;
        person->boundingRadius = 20;
        person->scale = glm::vec3(15.0f);
        person->position = c + glm::vec3(0.0f, 15.0f, type == GoodPerson ? -110.0f : 110.0f);
        (type == GoodPerson ? s.goodPeople : s.badPeople).push_back(person);
    }
    g.light->position = glm::vec3(0.0f, dayLightHeight, 0.0f);
    g.state = Playing;
    g.resize(1200, 800);
    placeCamera(g, c + glm::vec3(0.0f, 400.0f, 300.0f), glm::vec3(0.0f, -400.0f, -300.0f));
    return true;
}

}  // namespace rendertest
