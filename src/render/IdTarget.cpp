// IdTarget.cpp -- the off-screen integer object-id target, the id pass over part of the window, and reading one
// object id back.
#include <algorithm>
#include <iostream>
#include <vector>

#include <epoxy/gl.h>

#include "game/Game.h"
#include "game/Settlement.h"
#include "render/Renderer.h"

IdTarget createIdTarget(int width, int height) {
    IdTarget target;
    glGenFramebuffers(1, &target.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);

    glGenRenderbuffers(1, &target.depthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, target.depthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, target.depthBuffer);

    glGenTextures(1, &target.texture);
    glBindTexture(GL_TEXTURE_2D, target.texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R32I, width, height, 0, GL_RED_INTEGER, GL_INT, nullptr);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target.texture, 0);

    target.complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (!target.complete) std::cout << "fbo init faiiiled!!! you are dooomed!!" << std::endl;
    // Never leave the id target bound: the next colour pass must reach the window.
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return target;
}

void deleteIdTarget(const IdTarget& target) {
    if (target.framebuffer != 0) glDeleteFramebuffers(1, &target.framebuffer);
    if (target.texture != 0) glDeleteTextures(1, &target.texture);
    if (target.depthBuffer != 0) glDeleteRenderbuffers(1, &target.depthBuffer);
}

void Renderer::drawIdPass(int x0, int y0, int x1, int y1) {
    const Game& g = *game;
    x0 = std::max(x0, 0), y0 = std::max(y0, 0);
    x1 = std::min(x1, g.windowWidth), y1 = std::min(y1, g.windowHeight);
    idPass.drawn = true;
    idPass.view = view;
    idPass.covered = glm::ivec4(x0, y0, std::max(x0, x1), std::max(y0, y1));

    const ViewVolume rectangle = view.through(x0, y0, x1, y1, g.windowWidth, g.windowHeight);
    const bool empty = x1 <= x0 || y1 <= y0;
    glBindFramebuffer(GL_FRAMEBUFFER, id.framebuffer);
    glViewport(0, 0, g.windowWidth, g.windowHeight);
    if (!rectangle.wholeWindow) {
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
    glDisable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

    // Every object is tested and counted as the whole pass would; only those that can reach the rectangle are
    // drawn.
    const auto draw = [&](const SceneObject& object, const Settlement* s, const Model& model, MeshSelection meshes,
                          int mesh) {
        const float reach = std::max(reachOf(object), model.extent * std::max({std::abs(object.scale.x),
                                                                              std::abs(object.scale.y),
                                                                              std::abs(object.scale.z)}));
        if (empty || !rectangle.reaches(object.position, reach)) return;
        setObjectUniforms(object, s, model);
        drawMeshes(model, meshes, mesh);
    };

    const WorldModels& m = worldModels;
    glBindVertexArray(m.grenade.vao);
    for (const Settlement* s : g.settlements) {
        const SceneObject& grenade = *s->grenade;
        if (grenade.grenadeState == GrenadeState::Gone || culled(grenade)) continue;
        draw(grenade, s, m.grenade, MeshSelection::All, -1);
    }

    glBindVertexArray(m.tree.vao);
    for (const Settlement* s : g.settlements) {
        if (!s->tree || s->tree->gone || !s->standing() || culled(*s->tree)) continue;
        draw(*s->tree, s, m.tree, MeshSelection::Only, treeTrunkMesh);
        draw(*s->tree, s, m.tree, MeshSelection::AllBut, treeTrunkMesh);
    }

    for (int good = 1; good >= 0; --good) {
        const Model& model = good ? m.goodPerson : m.badPerson;
        glBindVertexArray(model.vao);
        for (const Settlement* s : g.settlements) {
            for (const SceneObject* person : good ? s->goodPeople : s->badPeople)
                if (person && person->personState != PersonState::Gone && !culled(*person)) draw(*person, s, model, MeshSelection::All, -1);
            if (s->monument && s->status == (good ? SettlementStatus::Won : SettlementStatus::Lost))
                draw(*s->monument, s, model, MeshSelection::All, -1);
        }
    }

    glBindVertexArray(0);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void Renderer::coverIdRectangle(int x0, int y0, int x1, int y1) {
    const glm::ivec4& covered = idPass.covered;
    if (x0 >= covered.x && y0 >= covered.y && x1 <= covered.z && y1 <= covered.w) return;
    // The last frame's view and culling, so that the pixels hold what that frame's whole id image would hold;
    // the objects themselves have not moved since (the world moves after the hover read). The frame's view
    // and its culling counts stay as they were.
    const ViewVolume frame = view;
    const FrameCounts counted = frameCounts;
    view = idPass.view;
    useProgram(worldPrograms.id);
    drawIdPass(x0, y0, x1, y1);
    view = frame;
    frameCounts = counted;
}

int Renderer::objectIdAt(int x, int y) {
    if (!game || !id.complete || id.framebuffer == 0) return 0;
    if (x < 0 || y < 0 || x >= game->windowWidth || y >= game->windowHeight) return 0;
    if (!idPass.drawn) return 0;
    coverIdRectangle(x, y, x + 1, y + 1);
    GLint value = 0;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, id.framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glReadPixels(x, y, 1, 1, GL_RED_INTEGER, GL_INT, &value);
    glReadBuffer(GL_NONE);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    return value;
}

IdSquare Renderer::objectIdsAround(int x, int y, int radius) {
    IdSquare square;
    square.radius = std::max(radius, 0);
    const int side = 2 * square.radius + 1;
    square.ids.assign(static_cast<std::size_t>(side) * static_cast<std::size_t>(side), 0);
    if (!game || !id.complete || id.framebuffer == 0 || !idPass.drawn) return square;
    // The part of the square inside the window; the rest stays 0.
    const int x0 = std::max(x - square.radius, 0), y0 = std::max(y - square.radius, 0);
    const int x1 = std::min(x + square.radius + 1, game->windowWidth);
    const int y1 = std::min(y + square.radius + 1, game->windowHeight);
    if (x1 <= x0 || y1 <= y0) return square;
    coverIdRectangle(x0, y0, x1, y1);
    std::vector<GLint> read(static_cast<std::size_t>(x1 - x0) * static_cast<std::size_t>(y1 - y0), 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, id.framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(x0, y0, x1 - x0, y1 - y0, GL_RED_INTEGER, GL_INT, read.data());
    glReadBuffer(GL_NONE);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    for (int row = y0; row < y1; ++row)
        for (int column = x0; column < x1; ++column)
            square.ids[static_cast<std::size_t>((row - y + square.radius) * side + (column - x + square.radius))] =
                read[static_cast<std::size_t>((row - y0) * (x1 - x0) + (column - x0))];
    return square;
}
