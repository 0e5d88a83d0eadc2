// PlainFrame.cpp -- the reference frame, put together from the renderer's own passes.
#include "support/PlainFrame.h"

#include <epoxy/gl.h>

#include "game/Game.h"
#include "render/FramePasses.h"
#include "render/Renderer.h"

namespace omxtest {

void drawPlainFrame(Renderer& r) {
    r.skipOutsideView = false;
    if (r.beginFrame()) {
        const WorldPrograms& p = r.programs();
        r.uploadStrike();
        beginColourPass(r);
        const glm::mat4 texMatrix = prepareLitTextures(r);
        drawSkyBox(r);
        setBlending(r.settings.transparency);
        useLitProgram(r, *p.phong, texMatrix);
        drawGround(r);
        const LitPrograms lit{p.phong, p.phong, p.phong, texMatrix};
        drawWorldProps(r, lit);
        drawSettlements(r, lit);
        drawStrike(r);
        setBlending(false);
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        r.presentScene();
        r.drawOverlay();
        r.useProgram(p.id);
        if (r.idTarget().complete) r.drawIdPass(0, 0, r.world().windowWidth, r.world().windowHeight);
    }
    r.skipOutsideView = true;
}

}  // namespace omxtest
