// Renderer.cpp -- the renderer's life: building its programs and models, a new window size, the render scale,
// and the culling and view tests every draw goes through.
#include "render/Renderer.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <algorithm>
#include <chrono>
#include <cmath>
#include <iostream>
#include <string>
#include <vector>

#include <epoxy/gl.h>

#include "assets/Texture.h"
#include "game/Game.h"
#include "game/WorldConstants.h"
#include "render/RenderScale.h"
#include "render/StatusOverlay.h"

namespace {

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

Renderer::Renderer() {
    programsBuilt = buildWorldPrograms(worldPrograms);
    if (!programsBuilt) return;
    const GLubyte* name = glGetString(GL_RENDERER);
    software = name && isSoftwareRasterizer(reinterpret_cast<const char*>(name));
    // Without its programs the overlay draws nothing: the game plays without the status display.
    if (!overlay.init(shaderPath))
        std::cerr << "The status display is off: " << shaderPath << "overlayshader could not be built." << std::endl;
}

void Renderer::loadWorld(const Game& world) {
    game = &world;
    if (!programsBuilt) return;
    loadWorldModels(worldModels, worldPrograms);
#if defined(__GLIBC__)
    // Loading frees far more than it keeps (model import, image decoding); hand the freed heap back.
    malloc_trim(0);
#endif
}

Renderer::~Renderer() { overlay.destroy(); }

void Renderer::resizeView(int width, int height) {
    glViewport(0, 0, width, height);
    // The new target is made before the old one is freed, so its names differ from the old ones.
    const IdTarget old = id;
    id = createIdTarget(width, height);
    idPass.drawn = false;  // nothing has been drawn into the new target yet
    deleteIdTarget(old);
}

void Renderer::setRenderScale(bool automatic, float fixed) {
    lastFrameStart = -1.0;
    if (automatic) {
        scaleControl = std::make_unique<RenderScaleController>(1.0f);
        scale = scaleControl->scale();
    } else {
        scaleControl.reset();
        scale = std::isfinite(fixed) ? std::clamp(fixed, 0.5f, 1.0f) : 1.0f;
    }
}

void Renderer::adaptRenderScale() {
    if (!scaleControl) return;
    const double now = steadySeconds();
    const double frame = lastFrameStart < 0.0 ? 0.0 : now - lastFrameStart;
    lastFrameStart = now;
    if (!scaleControl->addFrame(frame)) return;
    scale = scaleControl->scale();
    std::cout << renderScaleLine(scale) << std::endl;
}

void Renderer::useProgram(ShaderProgram* program) {
    if (active) glUseProgram(0);
    active = program;
    glUseProgram(program ? program->program : 0);
}

float Renderer::reachOf(const SceneObject& object) const {
    const Model* model = nullptr;
    switch (object.type) {
    case ObjectType::GoodPerson: model = &worldModels.goodPerson; break;
    case ObjectType::BadPerson: model = &worldModels.badPerson; break;
    case ObjectType::SettlementTree: model = &worldModels.tree; break;
    case ObjectType::MoaiStatue: model = &worldModels.moai; break;
    case ObjectType::HolyGrenade: model = &worldModels.grenade; break;
    default: break;
    }
    const float radius = static_cast<float>(object.boundingRadius);
    if (!model || model->extent <= 0.0f) return radius;
    const glm::vec3 s = glm::abs(object.scale);
    return std::max(radius, model->extent * std::max(s.x, std::max(s.y, s.z)));
}

bool Renderer::culled(const SceneObject& object) {
    if (!settings.frustumCulling) return false;
    if (view.reaches(object.position, reachOf(object))) {
        frameCounts.drawn += 1;
        return false;
    }
    frameCounts.culled += 1;
    return true;
}

bool Renderer::leftOut(const SceneObject& object) {
    if (!settings.frustumCulling && !skipOutsideView) return false;
    const bool inView = view.reaches(object.position, reachOf(object));
    if (settings.frustumCulling) (inView ? frameCounts.drawn : frameCounts.culled) += 1;
    return !inView;
}

void Renderer::drawOverlay() {
    if (!settings.statusDisplay || !overlay.ready() || !game) return;
    const StatusLayout layout = statusLayout(game->windowWidth, game->windowHeight);
    overlay.begin(layout.windowWidth, layout.windowHeight);
    // The overview's panel covers the middle of the window down to the messages' place, and its pictures say
    // how the game ended: the messages wait under it (they age on).
    static const std::vector<StatusMessage> none;
    drawStatusDisplay(overlay, layout, statusView(game->statusNow),
                      game->overviewMode ? none : game->messageLog.messages());
    overlay.end();
}
