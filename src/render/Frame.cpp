// Frame.cpp -- one frame: the colour pass into the scene target and from there onto the window, then the
// object-id pass into the id target.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

#include <epoxy/gl.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "assets/Model.h"
#include "assets/ShaderProgram.h"
#include "game/Game.h"
#include "game/Settlement.h"
#include "game/WorldConstants.h"
#include "render/Render.h"
#include "render/RenderScale.h"
#include "render/UniformCache.h"

namespace {

// Texture units of the colour pass; unit 0 keeps the sky box's cube map.
constexpr int colorUnit = 1;
constexpr int alphaUnit = 2;
constexpr int projectionUnit = 3;

void bindTexture(int unit, uint32_t texture) {
    glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
    glBindTexture(GL_TEXTURE_2D, texture);
}

void setInt(const ShaderProgram& program, Uniform uniform, int value) {
    glUniform1i(uniformLocation(program.program, uniform), value);
}

// A settlement still standing shows its statue, tree and grenade border.
bool standing(const Settlement& settlement) {
    return settlement.status != SettlementWon && settlement.status != SettlementLost;
}

bool treePresent(const Settlement& settlement) {
    return settlement.tree && settlement.tree->state != Gone && standing(settlement);
}

// Seconds since the first frame, for the glow of finished grenades; wraps to keep float precision.
float glowSeconds() {
    static const auto start = std::chrono::steady_clock::now();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return static_cast<float>(std::fmod(elapsed.count(), 3600.0));
}

// The projected picture is read without mipmaps or anisotropy, black outside its square: its coordinates
// change steeply across the ground and the texture's own filtering would be needlessly costly there.
GLuint projectionSampler() {
    static GLuint sampler = 0;
    if (sampler == 0 || !glIsSampler(sampler)) {
        const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 0.0f};
        glGenSamplers(1, &sampler);
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_BORDER);
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_BORDER);
        glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, black);
    }
    return sampler;
}

bool modelsReady(const Game& g) {
    const Model* models[] = {g.treeModel,      g.moaiModel,        g.groundModel,       g.groundBorderModel,
                             g.infoPanelModel, g.skyboxModel,      g.goodPersonModel,   g.badPersonModel,
                             g.lightMarkerModel, g.grenadeModel,   g.grenadeBorderModel, g.lightningModel,
                             g.wallModel};
    for (const Model* model : models)
        if (!model) return false;
    return true;
}

// Everything the frame draws exists: the world has been built to its end.
bool worldReady(const Game& g) {
    if (!modelsReady(g) || !g.phongShader || !g.skyboxShader || !g.idShader || !g.camera) return false;
    if (!g.skybox || !g.light || !g.strike || !g.infoPanel) return false;
    for (const SceneObject* tile : g.groundTiles)
        if (!tile) return false;
    for (const SceneObject* border : g.borders)
        if (!border) return false;
    for (const Settlement* s : g.settlements) {
        if (!s || !s->tree || !s->moai || !s->grenade || !s->grenadeBorder || !s->grenadeIndicator || !s->wall ||
            !s->monument)
            return false;
    }
    return true;
}

}  // namespace

void Game::useShader(ShaderProgram* program) {
    if (activeShader) glUseProgram(0);
    activeShader = program;
    glUseProgram(program ? program->program : 0);
}

namespace {

void drawSkyBox(Game& g) {
    g.useShader(g.skyboxShader);
    glBindVertexArray(g.skyboxModel->vao);
    g.setObjectUniforms(*g.skybox, nullptr, *g.skyboxModel);
    glDrawArrays(GL_TRIANGLES, 0, 36);
}

// Binds what the lit programs read besides the colour texture and gives back the strike's projector matrix.
glm::mat4 prepareLitTextures(Game& g) {
    // The lit program reads its alpha and projection units for every pixel whatever the texture mode (the
    // software rasterizer runs every side of a branch), and reading nothing is much cheaper than reading a
    // texture: the units hold a texture only while a draw needs it. The leaves and the bolt bind their own.
    bindTexture(alphaUnit, 0);
    bindTexture(projectionUnit, 0);

    // The strike's picture is projected from a point that slides back along the bolt.
    glm::mat4 texMatrix(1.0f);
    const SceneObject& strike = *g.strike;
    if (strike.visible) {
        bindTexture(projectionUnit, modelTexture(*g.lightningModel, strike.type == 0 ? 4 : 5));
        glBindSampler(projectionUnit, projectionSampler());
        const int k = static_cast<int>(g.strikeTimer * 400.0f + 10.0f) % 210;
        const glm::vec3 eye = strike.position - static_cast<float>(k) * strike.direction;
        const glm::mat4 projectorView = glm::lookAt(eye, eye + strike.direction, glm::vec3(0.0f, 1.0f, 0.0f));
        texMatrix = g.projectorMatrix * projectorView;
    }
    return texMatrix;
}

// Makes a lit program current with the frame's samplers, glow clock and projector.
void useLitProgram(Game& g, ShaderProgram& program, const glm::mat4& texMatrix) {
    g.useShader(&program);
    setInt(program, Uniform::ColorTexture, colorUnit);
    setInt(program, Uniform::AlphaTexture, alphaUnit);
    glUniform1f(uniformLocation(program.program, Uniform::GlowTime), g.glowClock >= 0.0f ? g.glowClock : glowSeconds());
    if (g.strike->visible) setInt(program, Uniform::ProjTexture, projectionUnit);
    glUniformMatrix4fv(uniformLocation(program.program, Uniform::TexMatrix), 1, GL_FALSE, glm::value_ptr(texMatrix));
}

// The lit programs of a colour pass: the general one, and those for lit, plainly textured models and for
// lit leaves (the general one again when the frame is drawn the plain way).
struct LitPrograms {
    ShaderProgram* general;
    ShaderProgram* textured;
    ShaderProgram* leaves;
    glm::mat4 texMatrix;
};

// Makes the program current, unless it already is.
void useLit(Game& g, const LitPrograms& lit, ShaderProgram* program) {
    if (g.activeShader != program) useLitProgram(g, *program, lit.texMatrix);
}

// The program that draws a model in texture mode `mode` (as setObjectUniforms turns it).
ShaderProgram* litProgramFor(const Game& g, const LitPrograms& lit, const Model& model, int mode) {
    if (model.useLight != 1) return lit.general;
    if (!g.transparency && mode == TextureMode::Leaves) mode = TextureMode::Texture;
    if (mode == TextureMode::Texture) return lit.textured;
    if (mode == TextureMode::Leaves) return lit.leaves;
    return lit.general;
}

void useLitFor(Game& g, const LitPrograms& lit, const Model& model) {
    useLit(g, lit, litProgramFor(g, lit, model, model.useTexture));
}

void beginColourPass(Game& g) {
    glEnable(GL_DEPTH_TEST);
    glPolygonMode(GL_FRONT_AND_BACK, g.wireframe ? GL_LINE : GL_FILL);
    glDisable(GL_BLEND);
}

void setBlending(bool on) {
    if (on) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glDisable(GL_BLEND);
    }
}

void drawGround(Game& g) {
    glBindVertexArray(g.groundModel->vao);
    bindTexture(colorUnit, modelTexture(*g.groundModel, 0));
    for (SceneObject* tile : g.groundTiles) {
        if (!g.isVisible(*tile) || !g.reachesView(*tile)) continue;
        g.setObjectUniforms(*tile, nullptr, *g.groundModel);
        glDrawArrays(GL_TRIANGLES, 0, 6);
    }
}

// Border pieces, the info panel and the light marker.
void drawWorldProps(Game& g, const LitPrograms& lit) {
    useLitFor(g, lit, *g.groundBorderModel);
    glBindVertexArray(g.groundBorderModel->vao);
    bindTexture(colorUnit, modelTexture(*g.groundBorderModel, 0));
    for (SceneObject* border : g.borders) {
        g.setObjectUniforms(*border, nullptr, *g.groundBorderModel);
        drawMeshes(*g.groundBorderModel, "normal", false, -1);
    }

    if (g.infoPanel->visible) {
        useLitFor(g, lit, *g.infoPanelModel);
        glBindVertexArray(g.infoPanelModel->vao);
        bindTexture(colorUnit, modelTexture(*g.infoPanelModel, static_cast<std::size_t>(g.state)));
        g.setObjectUniforms(*g.infoPanel, nullptr, *g.infoPanelModel);
        glDrawArrays(GL_TRIANGLES, 0, 6);
    }

    if (!g.nightMode) {
        useLitFor(g, lit, *g.lightMarkerModel);
        glBindVertexArray(g.lightMarkerModel->vao);
        g.setObjectUniforms(*g.light, nullptr, *g.lightMarkerModel);
        glDrawArrays(GL_TRIANGLES, 0, 12);
    }
}

// Walls, statues, trees, grenades with their indicators and borders, then the people, group by group.
void drawSettlements(Game& g, const LitPrograms& lit) {
    useLitFor(g, lit, *g.wallModel);
    glBindVertexArray(g.wallModel->vao);
    for (Settlement* s : g.settlements) {
        bindTexture(colorUnit, modelTexture(*g.wallModel, s->mood == -1 ? 0 : 1));
        g.setObjectUniforms(*s->wall, s, *g.wallModel);
        drawMeshes(*g.wallModel, "normal", false, -1);
    }

    useLitFor(g, lit, *g.moaiModel);
    glBindVertexArray(g.moaiModel->vao);
    bindTexture(colorUnit, modelTexture(*g.moaiModel, 0));
    for (Settlement* s : g.settlements) {
        if (!standing(*s) || !g.isVisible(*s->moai) || !g.reachesView(*s->moai)) continue;
        g.setObjectUniforms(*s->moai, s, *g.moaiModel);
        drawMeshes(*g.moaiModel, "normal", false, -1);
    }

    // Mesh 15 of the tree is the trunk: leaves first (cut out), then the trunk in plain texture mode.
    useLitFor(g, lit, *g.treeModel);
    glBindVertexArray(g.treeModel->vao);
    bindTexture(colorUnit, modelTexture(*g.treeModel, 0));
    bindTexture(alphaUnit, modelTexture(*g.treeModel, 1));
    for (Settlement* s : g.settlements) {
        if (!treePresent(*s) || !g.isVisible(*s->tree) || !g.reachesView(*s->tree)) continue;
        g.setObjectUniforms(*s->tree, s, *g.treeModel);
        drawMeshes(*g.treeModel, "special", false, 15);
    }
    bindTexture(colorUnit, modelTexture(*g.treeModel, 2));
    bindTexture(alphaUnit, 0);  // nothing before the bolt reads it (see prepareLitTextures)
    useLit(g, lit, litProgramFor(g, lit, *g.treeModel, TextureMode::Texture));  // the trunk
    for (Settlement* s : g.settlements) {
        if (!treePresent(*s) || !g.isVisible(*s->tree) || !g.reachesView(*s->tree)) continue;
        g.setObjectUniforms(*s->tree, s, *g.treeModel);
        setInt(*g.activeShader, Uniform::UseTexture, TextureMode::Texture);
        drawMeshes(*g.treeModel, "special", true, 15);
    }

    // A grenade's mode changes as it is built (see drawGrenade).
    useLit(g, lit, lit.general);
    glBindVertexArray(g.grenadeModel->vao);
    bindTexture(colorUnit, modelTexture(*g.grenadeModel, 0));
    for (Settlement* s : g.settlements) s->drawGrenade();

    bindTexture(colorUnit, modelTexture(*g.grenadeModel, 1));
    for (Settlement* s : g.settlements) {
        if (s->grenade->state != Ready && s->grenade->state != Rolling) continue;
        g.setObjectUniforms(*s->grenadeIndicator, s, *g.grenadeModel);
        drawMeshes(*g.grenadeModel, "normal", false, -1);
    }

    useLitFor(g, lit, *g.grenadeBorderModel);
    glBindVertexArray(g.grenadeBorderModel->vao);
    for (Settlement* s : g.settlements) {
        if (s->grenadeBorder->state == Gone || !standing(*s)) continue;
        g.setObjectUniforms(*s->grenadeBorder, s, *g.grenadeBorderModel);
        drawMeshes(*g.grenadeBorderModel, "normal", false, -1);
    }

    useLitFor(g, lit, *g.goodPersonModel);
    glBindVertexArray(g.goodPersonModel->vao);
    bindTexture(colorUnit, modelTexture(*g.goodPersonModel, 0));
    for (Settlement* s : g.settlements) s->drawGoodPeople();

    useLitFor(g, lit, *g.badPersonModel);
    glBindVertexArray(g.badPersonModel->vao);
    bindTexture(colorUnit, modelTexture(*g.badPersonModel, 0));
    for (Settlement* s : g.settlements) s->drawBadPeople();
}

// The bolt, last, so that it blends over everything; it exists once the strike update has built it.
void drawStrike(Game& g) {
    if (!g.strike->visible || g.lightningModel->vao == 0) return;
    const std::size_t j = g.strike->type == 0 ? 2 : 0;
    glBindVertexArray(g.lightningModel->vao);
    g.setObjectUniforms(*g.strike, nullptr, *g.lightningModel);
    bindTexture(colorUnit, modelTexture(*g.lightningModel, j));
    bindTexture(alphaUnit, modelTexture(*g.lightningModel, j + 1));
    glDrawArrays(GL_TRIANGLES, 0, 6);
}

}  // namespace

namespace {

// How much the world is sharpened before a scale-up (0 .. 1): the most, since a scale-up by up to two
// softens every edge over two window pixels.
constexpr float scaleUpSharpness = 1.0f;

// Puts the world drawn in the scene target on the window: copied pixel for pixel at the window's size,
// scaled up with linear filtering below it. With the scale program, a quad over the window that reads it
// (less work for a software rasterizer than its blit), or else with a blit. Below the window's size, the
// sharpening program first draws the world sharpened at its own size (a quarter of the window's pixels at
// 0.5), and the quad scales that up: the quad stays the plain copy a software rasterizer draws on its
// fast path, which the sharpening folded into it would leave (several times the cost).
void presentScene(Game& g, int sceneW, int sceneH) {
    constexpr int sceneUnit = 4;
    const bool exact = sceneW == g.windowWidth && sceneH == g.windowHeight;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, g.windowWidth, g.windowHeight);
    if (!g.scaleShader) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, g.sceneFramebuffer);
        glBlitFramebuffer(0, 0, sceneW, sceneH, 0, 0, g.windowWidth, g.windowHeight, GL_COLOR_BUFFER_BIT,
                          exact ? GL_NEAREST : GL_LINEAR);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        return;
    }
    if (g.emptyVertexArray == 0) glGenVertexArrays(1, &g.emptyVertexArray);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glBindVertexArray(g.emptyVertexArray);
    const bool sharpen = !exact && g.sharpenShader && bindSharpenTarget(g);
    bindTexture(sceneUnit, g.sceneColorTexture);
    // Nearest at the same size: each window pixel takes its own texel whole, whatever the filter's rounding.
    const GLint filter = exact ? GL_NEAREST : GL_LINEAR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    if (sharpen) {
        glViewport(0, 0, sceneW, sceneH);
        g.useShader(g.sharpenShader);
        setInt(*g.sharpenShader, Uniform::Scene, sceneUnit);
        glUniform1f(uniformLocation(g.sharpenShader->program, Uniform::Sharpness), scaleUpSharpness);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, g.windowWidth, g.windowHeight);
        bindTexture(sceneUnit, g.sharpenTexture);
    }
    g.useShader(g.scaleShader);
    setInt(*g.scaleShader, Uniform::Scene, sceneUnit);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindVertexArray(0);
    bindTexture(sceneUnit, 0);
    glEnable(GL_DEPTH_TEST);
}

// The sky box, a box around the origin, in world coordinates: false when it is turned (never, today).
bool skyBoxBounds(const Game& g, glm::vec3& low, glm::vec3& high) {
    if (g.skybox->rotation != glm::vec3(0.0f) || g.skybox->identityTransform) return false;
    glm::vec3 extent(0.0f);
    for (std::size_t v = 0; v + 3 < skyboxVertices.size(); v += 4)
        extent = glm::max(extent, glm::abs(glm::vec3(skyboxVertices[v], skyboxVertices[v + 1], skyboxVertices[v + 2])));
    extent *= glm::abs(g.skybox->scale);
    low = g.skybox->position - extent;
    high = g.skybox->position + extent;
    return true;
}

bool cameraInsideSkyBox(const Game& g) {
    glm::vec3 low, high;
    if (!skyBoxBounds(g, low, high)) return false;
    const glm::vec3 eye = g.camera->position;
    return glm::all(glm::greaterThan(eye, low + 1.0f)) && glm::all(glm::lessThan(eye, high - 1.0f));
}

}  // namespace

// Every pixel of the window sees the filled ground inside the sky box, nearer than the box and between the
// near and far planes: then the sky box, drawn after the world, would not change a pixel. The screen-to-
// ground map is projective while every corner ray goes down to the ground, so the window's four corner rays
// meeting the ground inside the box's square (convex, like the ground under it) and in the depth range are
// enough. The ground tiles reach past the box on every side.
bool groundCoversWindow(const Game& g) {
    if (g.wireframe || g.plainRendering) return false;
    glm::vec3 low, high;
    if (!skyBoxBounds(g, low, high)) return false;
    const glm::dvec3 eye(g.camera->position);
    constexpr double margin = 1.0;
    if (eye.y <= margin || eye.y >= high.y - margin) return false;
    if (eye.x <= low.x + margin || eye.x >= high.x - margin || eye.z <= low.z + margin || eye.z >= high.z - margin)
        return false;
    const glm::dmat4 toWorld = glm::inverse(glm::dmat4(g.projectionMatrix) * glm::dmat4(g.camera->viewMatrix));
    const glm::dmat4 view(g.camera->viewMatrix);
    for (int corner = 0; corner < 4; ++corner) {
        const double nx = (corner & 1) ? 1.0 : -1.0, ny = (corner & 2) ? 1.0 : -1.0;
        const glm::dvec4 far = toWorld * glm::dvec4(nx, ny, 1.0, 1.0);
        const glm::dvec3 ray = glm::dvec3(far) / far.w - eye;
        if (!(ray.y < 0.0)) return false;
        const glm::dvec3 hit = eye + ray * (-eye.y / ray.y);
        if (hit.x <= low.x + margin || hit.x >= high.x - margin || hit.z <= low.z + margin || hit.z >= high.z - margin)
            return false;
        const double depth = -(view * glm::dvec4(hit, 1.0)).z;
        if (!(depth > 2.0 * margin && depth < 0.99 * static_cast<double>(farDistance))) return false;
    }
    return true;
}

namespace {

// The window rectangle seen through the four planes of the view through it (1 pixel wider on each side);
// a sphere wholly outside one of them cannot reach a pixel centre inside the rectangle.
struct RectangleView {
    std::array<glm::dvec4, 4> planes{};
    bool everything = true;

    RectangleView(const Game& g, int x0, int y0, int x1, int y1) {
        everything = x0 <= 0 && y0 <= 0 && x1 >= g.windowWidth && y1 >= g.windowHeight;
        if (everything) return;
        const glm::dmat4 m = glm::transpose(glm::dmat4(g.projectionMatrix) * glm::dmat4(g.camera->viewMatrix));
        const double w = g.windowWidth, h = g.windowHeight;
        const double left = 2.0 * (x0 - 1) / w - 1.0, right = 2.0 * (x1 + 1) / w - 1.0;
        const double bottom = 2.0 * (y0 - 1) / h - 1.0, top = 2.0 * (y1 + 1) / h - 1.0;
        // Rows of the transposed matrix are the clip coordinates' rows: x - left w >= 0 and so on.
        planes = {m[0] - left * m[3], right * m[3] - m[0], m[1] - bottom * m[3], top * m[3] - m[1]};
        for (glm::dvec4& plane : planes) plane /= glm::length(glm::dvec3(plane));
    }

    bool reaches(const glm::vec3& centre, float radius) const {
        if (everything) return true;
        const glm::dvec4 c(glm::dvec3(centre), 1.0);
        const double r = static_cast<double>(radius) * 1.001 + 1.0;
        for (const glm::dvec4& plane : planes)
            if (glm::dot(plane, c) < -r) return false;
        return true;
    }
};

float modelReach(const SceneObject& object, const Model& model) {
    const glm::vec3 s = glm::abs(object.scale);
    return model.extent * std::max(s.x, std::max(s.y, s.z));
}

}  // namespace

void Game::drawIdPass(int x0, int y0, int x1, int y1) {
    x0 = std::max(x0, 0), y0 = std::max(y0, 0);
    x1 = std::min(x1, windowWidth), y1 = std::min(y1, windowHeight);
    idPass.drawn = true;
    idPass.viewMatrix = camera->viewMatrix;
    idPass.projectionMatrix = projectionMatrix;
    idPass.frustumPlanes = frustumPlanes;
    idPass.covered = glm::ivec4(x0, y0, std::max(x0, x1), std::max(y0, y1));

    const RectangleView rectangle(*this, x0, y0, x1, y1);
    const bool empty = x1 <= x0 || y1 <= y0;
    glBindFramebuffer(GL_FRAMEBUFFER, idFramebuffer);
    glViewport(0, 0, windowWidth, windowHeight);
    if (!rectangle.everything) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0));
    }
    const GLint noObject[4] = {0, 0, 0, 0};
    const GLfloat farDepth = 1.0f;
    if (!empty) {
        glClearBufferiv(GL_COLOR, 0, noObject);
        glClearBufferfv(GL_DEPTH, 0, &farDepth);
    }
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

    // Every object is tested and counted as the whole pass would; only those that can reach the rectangle
    // are drawn.
    const auto draw = [&](const SceneObject& object, const Settlement* s, const Model& model, const char* mode,
                          bool onlySelected, int selectedMesh) {
        if (empty || !rectangle.reaches(object.position, std::max(reachOf(object), modelReach(object, model)))) return;
        setObjectUniforms(object, s, model);
        drawMeshes(model, mode, onlySelected, selectedMesh);
    };

    glBindVertexArray(grenadeModel->vao);
    for (Settlement* s : settlements) {
        SceneObject& grenade = *s->grenade;
        if (grenade.state == GrenadeGone || !isVisible(grenade)) continue;
        // As in the colour pass, the model carries the mode on to the next indicators.
        grenadeModel->useTexture = grenadeTextureMode(grenade.state);
        draw(grenade, s, *grenadeModel, "normal", false, -1);
    }

    glBindVertexArray(treeModel->vao);
    for (Settlement* s : settlements) {
        if (!treePresent(*s)) continue;
        if (isVisible(*s->tree)) draw(*s->tree, s, *treeModel, "special", true, 15);
        if (isVisible(*s->tree)) draw(*s->tree, s, *treeModel, "special", false, 15);
    }

    for (int good = 1; good >= 0; --good) {
        const Model& model = good ? *goodPersonModel : *badPersonModel;
        glBindVertexArray(model.vao);
        for (Settlement* s : settlements) {
            for (SceneObject* person : good ? s->goodPeople : s->badPeople)
                if (person && person->state != Gone && isVisible(*person)) draw(*person, s, model, "normal", false, -1);
            if (s->monument && s->status == (good ? SettlementWon : SettlementLost))
                draw(*s->monument, s, model, "normal", false, -1);
        }
    }

    glBindVertexArray(0);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void Game::render() {
    drawnCount = 0;
    culledCount = 0;
    adaptRenderScale();
    // The world goes into the scene target at the render scale, and onto the window at the end: the window
    // has no depth buffer of its own. A window larger than the driver's largest target gets a smaller one.
    if (largestSceneSide == 0) {
        GLint texture = 0, renderbuffer = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);
        glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
        largestSceneSide = std::min(texture, renderbuffer);
        if (largestSceneSide <= 0) largestSceneSide = std::numeric_limits<int>::max();  // not told: no limit
    }
    const SceneSize scene = sceneSizeFor(windowWidth, windowHeight, renderScale, largestSceneSide);
    const int sceneW = scene.width, sceneH = scene.height;
    const bool offScreen = worldReady(*this) && bindSceneTarget(sceneW, sceneH);
    if (offScreen) glViewport(0, 0, sceneW, sceneH);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!worldReady(*this)) return;

    // Rows of the clip transform: x + w >= 0, w - x >= 0, and so on for y and z.
    const glm::dmat4 clip = glm::transpose(glm::dmat4(projectionMatrix) * glm::dmat4(camera->viewMatrix));
    viewVolume = {clip[3] + clip[0], clip[3] - clip[0], clip[3] + clip[1], clip[3] - clip[1], clip[3] + clip[2],
                  clip[3] - clip[2]};
    for (glm::dvec4& plane : viewVolume) plane /= glm::length(glm::dvec3(plane));
    beginColourPass(*this);
    const glm::mat4 texMatrix = prepareLitTextures(*this);
    if (plainRendering) {
        drawSkyBox(*this);
        setBlending(transparency);
        useLitProgram(*this, *phongShader, texMatrix);
        drawGround(*this);
        const LitPrograms lit{phongShader, phongShader, phongShader, texMatrix};
        drawWorldProps(*this, lit);
        drawSettlements(*this, lit);
        drawStrike(*this);
    } else {
        // Only the bolt is drawn with alpha below one: everything else is opaque and drawn without
        // blending, the world first and then the sky box behind it, where the depth test lets it through;
        // the bolt last, blended over both.
        // From outside the sky box its near and far faces overlap: there it goes first, as it always did.
        const bool skyFirst = !cameraInsideSkyBox(*this);
        if (skyFirst) drawSkyBox(*this);
        // The ground's own programs leave out the highlight, which a material factor of 0 makes nothing.
        ShaderProgram* ground = strike->visible ? groundStrikeShader : groundShader;
        if (groundModel->materialFactor != 0.0f) ground = phongShader;
        useLitProgram(*this, *ground, texMatrix);
        drawGround(*this);
        // A software rasterizer shades nothing until it is flushed, and then shades on every core while
        // the program waits. Flushed here, it shades the ground, the most pixels of the frame, while the
        // many small draws of the settlements are being prepared.
        if (softwareRasterizer) glFlush();
        ShaderProgram* textured = strike->visible ? texturedStrikeShader : texturedShader;
        ShaderProgram* leaves = strike->visible ? leavesStrikeShader : leavesShader;
        const LitPrograms lit{phongShader, textured ? textured : phongShader, leaves ? leaves : phongShader, texMatrix};
        drawWorldProps(*this, lit);
        drawSettlements(*this, lit);
        if (!skyFirst && !groundCoversWindow(*this)) {
            // Where the sky and the world meet at the same depth the sky showed, drawn first: it still does.
            // From inside the box one face of it lies behind each pixel, so it never meets itself there.
            glDepthFunc(GL_LEQUAL);
            drawSkyBox(*this);
            glDepthFunc(GL_LESS);
        }
        if (strike->visible) {
            useLitProgram(*this, *phongShader, texMatrix);
            setBlending(transparency);
            drawStrike(*this);
            setBlending(false);
        }
    }
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    if (offScreen) presentScene(*this, sceneW, sceneH);

    useShader(idShader);
    // Without a usable id target picking is off: the window's frame is not touched by it.
    if (!idTargetComplete) return;
    if (plainRendering) {
        drawIdPass(0, 0, windowWidth, windowHeight);
    } else {
        // The pixel a click reads (the cursor's row, counted from the bottom either way round); a read
        // anywhere else draws its own pixel first (readObjectId).
        drawIdPass(mouse.x, windowHeight - 1 - mouse.y, mouse.x + 1, windowHeight - mouse.y + 1);
    }
}
