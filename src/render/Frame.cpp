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

void Game::render() {
    drawnCount = 0;
    culledCount = 0;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!worldReady(*this)) return;
    glEnable(GL_DEPTH_TEST);
    glPolygonMode(GL_FRONT_AND_BACK, wireframe ? GL_LINE : GL_FILL);
    glDisable(GL_BLEND);

    // Sky box first, opaque; everything else is drawn in front of it.
    useShader(skyboxShader);
    glBindVertexArray(skyboxModel->vao);
    setObjectUniforms(*skybox, nullptr, *skyboxModel);
    glDrawArrays(GL_TRIANGLES, 0, 36);

    if (transparency) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glDisable(GL_BLEND);
    }

    useShader(phongShader);
    setInt(*phongShader, Uniform::ColorTexture, colorUnit);
    setInt(*phongShader, Uniform::AlphaTexture, alphaUnit);
    glUniform1f(uniformLocation(phongShader->program, Uniform::GlowTime), glowSeconds());

    // The strike's picture is projected from a point that slides back along the bolt.
    glm::mat4 texMatrix(1.0f);
    if (strike->visible) {
        setInt(*phongShader, Uniform::ProjTexture, projectionUnit);
        bindTexture(projectionUnit, modelTexture(*lightningModel, strike->type == 0 ? 4 : 5));
        glBindSampler(projectionUnit, projectionSampler());
        const int k = static_cast<int>(strikeTimer * 400.0f + 10.0f) % 210;
        const glm::vec3 eye = strike->position - static_cast<float>(k) * strike->direction;
        const glm::mat4 projectorView = glm::lookAt(eye, eye + strike->direction, glm::vec3(0.0f, 1.0f, 0.0f));
        texMatrix = projectorMatrix * projectorView;
    }
    glUniformMatrix4fv(uniformLocation(phongShader->program, Uniform::TexMatrix), 1, GL_FALSE,
                       glm::value_ptr(texMatrix));

    glBindVertexArray(groundModel->vao);
    bindTexture(colorUnit, modelTexture(*groundModel, 0));
    for (SceneObject* tile : groundTiles) {
        if (!isVisible(*tile)) continue;
        setObjectUniforms(*tile, nullptr, *groundModel);
        glDrawArrays(GL_TRIANGLES, 0, 6);
    }

    glBindVertexArray(groundBorderModel->vao);
    bindTexture(colorUnit, modelTexture(*groundBorderModel, 0));
    for (SceneObject* border : borders) {
        setObjectUniforms(*border, nullptr, *groundBorderModel);
        drawMeshes(*groundBorderModel, "normal", false, -1);
    }

    if (infoPanel->visible) {
        glBindVertexArray(infoPanelModel->vao);
        bindTexture(colorUnit, modelTexture(*infoPanelModel, static_cast<std::size_t>(state)));
        setObjectUniforms(*infoPanel, nullptr, *infoPanelModel);
        glDrawArrays(GL_TRIANGLES, 0, 6);
    }

    if (!nightMode) {
        glBindVertexArray(lightMarkerModel->vao);
        setObjectUniforms(*light, nullptr, *lightMarkerModel);
        glDrawArrays(GL_TRIANGLES, 0, 12);
    }

    glBindVertexArray(wallModel->vao);
    for (Settlement* s : settlements) {
        bindTexture(colorUnit, modelTexture(*wallModel, s->mood == -1 ? 0 : 1));
        setObjectUniforms(*s->wall, s, *wallModel);
        drawMeshes(*wallModel, "normal", false, -1);
    }

    glBindVertexArray(moaiModel->vao);
    bindTexture(colorUnit, modelTexture(*moaiModel, 0));
    for (Settlement* s : settlements) {
        if (!standing(*s) || !isVisible(*s->moai)) continue;
        setObjectUniforms(*s->moai, s, *moaiModel);
        drawMeshes(*moaiModel, "normal", false, -1);
    }

    // Mesh 15 of the tree is the trunk: leaves first (cut out), then the trunk in plain texture mode.
    glBindVertexArray(treeModel->vao);
    bindTexture(colorUnit, modelTexture(*treeModel, 0));
    bindTexture(alphaUnit, modelTexture(*treeModel, 1));
    for (Settlement* s : settlements) {
        if (!treePresent(*s) || !isVisible(*s->tree)) continue;
        setObjectUniforms(*s->tree, s, *treeModel);
        drawMeshes(*treeModel, "special", false, 15);
    }
    bindTexture(colorUnit, modelTexture(*treeModel, 2));
    for (Settlement* s : settlements) {
        if (!treePresent(*s) || !isVisible(*s->tree)) continue;
        setObjectUniforms(*s->tree, s, *treeModel);
        setInt(*phongShader, Uniform::UseTexture, 1);
        drawMeshes(*treeModel, "special", true, 15);
    }

    glBindVertexArray(grenadeModel->vao);
    bindTexture(colorUnit, modelTexture(*grenadeModel, 0));
    for (Settlement* s : settlements) s->drawGrenade();

    bindTexture(colorUnit, modelTexture(*grenadeModel, 1));
    for (Settlement* s : settlements) {
        if (s->grenade->state != Ready && s->grenade->state != Rolling) continue;
        setObjectUniforms(*s->grenadeIndicator, s, *grenadeModel);
        drawMeshes(*grenadeModel, "normal", false, -1);
    }

    glBindVertexArray(grenadeBorderModel->vao);
    for (Settlement* s : settlements) {
        if (s->grenadeBorder->state == Gone || !standing(*s)) continue;
        setObjectUniforms(*s->grenadeBorder, s, *grenadeBorderModel);
        drawMeshes(*grenadeBorderModel, "normal", false, -1);
    }

    glBindVertexArray(goodPersonModel->vao);
    bindTexture(colorUnit, modelTexture(*goodPersonModel, 0));
    for (Settlement* s : settlements) s->drawGoodPeople();

    glBindVertexArray(badPersonModel->vao);
    bindTexture(colorUnit, modelTexture(*badPersonModel, 0));
    for (Settlement* s : settlements) s->drawBadPeople();

    // The bolt exists once its geometry has been built by the strike update.
    if (strike->visible && lightningModel->vao != 0) {
        const std::size_t j = strike->type == 0 ? 2 : 0;
        glBindVertexArray(lightningModel->vao);
        setObjectUniforms(*strike, nullptr, *lightningModel);
        bindTexture(colorUnit, modelTexture(*lightningModel, j));
        bindTexture(alphaUnit, modelTexture(*lightningModel, j + 1));
        glDrawArrays(GL_TRIANGLES, 0, 6);
    }

    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    // Object-id pass: only what a click can act on, each pixel holding the nearest object's number.
    useShader(idShader);
    if (!idTargetComplete) return;
    glBindFramebuffer(GL_FRAMEBUFFER, idFramebuffer);
    glViewport(0, 0, windowWidth, windowHeight);
    const GLint noObject[4] = {0, 0, 0, 0};
    const GLfloat farDepth = 1.0f;
    glClearBufferiv(GL_COLOR, 0, noObject);
    glClearBufferfv(GL_DEPTH, 0, &farDepth);
    glDisable(GL_BLEND);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

    glBindVertexArray(grenadeModel->vao);
    for (Settlement* s : settlements) s->drawGrenade();

    glBindVertexArray(treeModel->vao);
    for (Settlement* s : settlements) {
        if (!treePresent(*s)) continue;
        if (isVisible(*s->tree)) {
            setObjectUniforms(*s->tree, s, *treeModel);
            drawMeshes(*treeModel, "special", true, 15);
        }
        if (isVisible(*s->tree)) {
            setObjectUniforms(*s->tree, s, *treeModel);
            drawMeshes(*treeModel, "special", false, 15);
        }
    }

    glBindVertexArray(goodPersonModel->vao);
    for (Settlement* s : settlements) s->drawGoodPeople();
    glBindVertexArray(badPersonModel->vao);
    for (Settlement* s : settlements) s->drawBadPeople();

    glBindVertexArray(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
