// Frame.cpp -- one frame: the colour pass into the window, then the object-id pass into the id target.
#include <chrono>
#include <cmath>

#include <epoxy/gl.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "assets/Model.h"
#include "assets/ShaderProgram.h"
#include "game/Game.h"
#include "game/Settlement.h"
#include "render/Render.h"
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

// Sky box first, opaque, then the lit program with its per-frame samplers and the strike's projector.
void beginColourPass(Game& g) {
    glEnable(GL_DEPTH_TEST);
    glPolygonMode(GL_FRONT_AND_BACK, g.wireframe ? GL_LINE : GL_FILL);
    glDisable(GL_BLEND);

    g.useShader(g.skyboxShader);
    glBindVertexArray(g.skyboxModel->vao);
    g.setObjectUniforms(*g.skybox, nullptr, *g.skyboxModel);
    glDrawArrays(GL_TRIANGLES, 0, 36);

    if (g.transparency) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glDisable(GL_BLEND);
    }

    g.useShader(g.phongShader);
    setInt(*g.phongShader, Uniform::ColorTexture, colorUnit);
    setInt(*g.phongShader, Uniform::AlphaTexture, alphaUnit);
    glUniform1f(uniformLocation(g.phongShader->program, Uniform::GlowTime), glowSeconds());

    // The lit program reads its alpha and projection units for every pixel whatever the texture mode (the
    // software rasterizer runs every side of a branch), and reading nothing is much cheaper than reading a
    // texture: the units hold a texture only while a draw needs it. The leaves and the bolt bind their own.
    bindTexture(alphaUnit, 0);
    bindTexture(projectionUnit, 0);

    // The strike's picture is projected from a point that slides back along the bolt.
    glm::mat4 texMatrix(1.0f);
    const SceneObject& strike = *g.strike;
    if (strike.visible) {
        setInt(*g.phongShader, Uniform::ProjTexture, projectionUnit);
        bindTexture(projectionUnit, modelTexture(*g.lightningModel, strike.type == 0 ? 4 : 5));
        glBindSampler(projectionUnit, projectionSampler());
        const int k = static_cast<int>(g.strikeTimer * 400.0f + 10.0f) % 210;
        const glm::vec3 eye = strike.position - static_cast<float>(k) * strike.direction;
        const glm::mat4 projectorView = glm::lookAt(eye, eye + strike.direction, glm::vec3(0.0f, 1.0f, 0.0f));
        texMatrix = g.projectorMatrix * projectorView;
    }
    glUniformMatrix4fv(uniformLocation(g.phongShader->program, Uniform::TexMatrix), 1, GL_FALSE,
                       glm::value_ptr(texMatrix));
}

// Ground tiles, border pieces, the info panel and the light marker.
void drawWorldProps(Game& g) {
    glBindVertexArray(g.groundModel->vao);
    bindTexture(colorUnit, modelTexture(*g.groundModel, 0));
    for (SceneObject* tile : g.groundTiles) {
        if (!g.isVisible(*tile)) continue;
        g.setObjectUniforms(*tile, nullptr, *g.groundModel);
        glDrawArrays(GL_TRIANGLES, 0, 6);
    }

    glBindVertexArray(g.groundBorderModel->vao);
    bindTexture(colorUnit, modelTexture(*g.groundBorderModel, 0));
    for (SceneObject* border : g.borders) {
        g.setObjectUniforms(*border, nullptr, *g.groundBorderModel);
        drawMeshes(*g.groundBorderModel, "normal", false, -1);
    }

    if (g.infoPanel->visible) {
        glBindVertexArray(g.infoPanelModel->vao);
        bindTexture(colorUnit, modelTexture(*g.infoPanelModel, static_cast<std::size_t>(g.state)));
        g.setObjectUniforms(*g.infoPanel, nullptr, *g.infoPanelModel);
        glDrawArrays(GL_TRIANGLES, 0, 6);
    }

    if (!g.nightMode) {
        glBindVertexArray(g.lightMarkerModel->vao);
        g.setObjectUniforms(*g.light, nullptr, *g.lightMarkerModel);
        glDrawArrays(GL_TRIANGLES, 0, 12);
    }
}

// Walls, statues, trees, grenades with their indicators and borders, then the people, group by group.
void drawSettlements(Game& g) {
    glBindVertexArray(g.wallModel->vao);
    for (Settlement* s : g.settlements) {
        bindTexture(colorUnit, modelTexture(*g.wallModel, s->mood == -1 ? 0 : 1));
        g.setObjectUniforms(*s->wall, s, *g.wallModel);
        drawMeshes(*g.wallModel, "normal", false, -1);
    }

    glBindVertexArray(g.moaiModel->vao);
    bindTexture(colorUnit, modelTexture(*g.moaiModel, 0));
    for (Settlement* s : g.settlements) {
        if (!standing(*s) || !g.isVisible(*s->moai)) continue;
        g.setObjectUniforms(*s->moai, s, *g.moaiModel);
        drawMeshes(*g.moaiModel, "normal", false, -1);
    }

    // Mesh 15 of the tree is the trunk: leaves first (cut out), then the trunk in plain texture mode.
    glBindVertexArray(g.treeModel->vao);
    bindTexture(colorUnit, modelTexture(*g.treeModel, 0));
    bindTexture(alphaUnit, modelTexture(*g.treeModel, 1));
    for (Settlement* s : g.settlements) {
        if (!treePresent(*s) || !g.isVisible(*s->tree)) continue;
        g.setObjectUniforms(*s->tree, s, *g.treeModel);
        drawMeshes(*g.treeModel, "special", false, 15);
    }
    bindTexture(colorUnit, modelTexture(*g.treeModel, 2));
    bindTexture(alphaUnit, 0);  // nothing before the bolt reads it (see beginColourPass)
    for (Settlement* s : g.settlements) {
        if (!treePresent(*s) || !g.isVisible(*s->tree)) continue;
        g.setObjectUniforms(*s->tree, s, *g.treeModel);
        setInt(*g.phongShader, Uniform::UseTexture, 1);
        drawMeshes(*g.treeModel, "special", true, 15);
    }

    glBindVertexArray(g.grenadeModel->vao);
    bindTexture(colorUnit, modelTexture(*g.grenadeModel, 0));
    for (Settlement* s : g.settlements) s->drawGrenade();

    bindTexture(colorUnit, modelTexture(*g.grenadeModel, 1));
    for (Settlement* s : g.settlements) {
        if (s->grenade->state != Ready && s->grenade->state != Rolling) continue;
        g.setObjectUniforms(*s->grenadeIndicator, s, *g.grenadeModel);
        drawMeshes(*g.grenadeModel, "normal", false, -1);
    }

    glBindVertexArray(g.grenadeBorderModel->vao);
    for (Settlement* s : g.settlements) {
        if (s->grenadeBorder->state == Gone || !standing(*s)) continue;
        g.setObjectUniforms(*s->grenadeBorder, s, *g.grenadeBorderModel);
        drawMeshes(*g.grenadeBorderModel, "normal", false, -1);
    }

    glBindVertexArray(g.goodPersonModel->vao);
    bindTexture(colorUnit, modelTexture(*g.goodPersonModel, 0));
    for (Settlement* s : g.settlements) s->drawGoodPeople();

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

// Only what a click can act on, each pixel holding the nearest such object's number (0: none).
void drawIdPass(Game& g) {
    glBindFramebuffer(GL_FRAMEBUFFER, g.idFramebuffer);
    glViewport(0, 0, g.windowWidth, g.windowHeight);
    const GLint noObject[4] = {0, 0, 0, 0};
    const GLfloat farDepth = 1.0f;
    glClearBufferiv(GL_COLOR, 0, noObject);
    glClearBufferfv(GL_DEPTH, 0, &farDepth);
    glDisable(GL_BLEND);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

    glBindVertexArray(g.grenadeModel->vao);
    for (Settlement* s : g.settlements) s->drawGrenade();

    glBindVertexArray(g.treeModel->vao);
    for (Settlement* s : g.settlements) {
        if (!treePresent(*s)) continue;
        if (g.isVisible(*s->tree)) {
            g.setObjectUniforms(*s->tree, s, *g.treeModel);
            drawMeshes(*g.treeModel, "special", true, 15);
        }
        if (g.isVisible(*s->tree)) {
            g.setObjectUniforms(*s->tree, s, *g.treeModel);
            drawMeshes(*g.treeModel, "special", false, 15);
        }
    }

    glBindVertexArray(g.goodPersonModel->vao);
    for (Settlement* s : g.settlements) s->drawGoodPeople();
    glBindVertexArray(g.badPersonModel->vao);
    for (Settlement* s : g.settlements) s->drawBadPeople();

    glBindVertexArray(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

}  // namespace

void Game::render() {
    drawnCount = 0;
    culledCount = 0;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!worldReady(*this)) return;

    beginColourPass(*this);
    drawWorldProps(*this);
    drawSettlements(*this);
    drawStrike(*this);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    useShader(idShader);
    // Without a usable id target picking is off: the window's frame is not touched by it.
    if (idTargetComplete) drawIdPass(*this);
}
