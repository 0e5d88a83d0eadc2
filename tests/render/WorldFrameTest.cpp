// WorldFrameTest.cpp -- frames of the real world: what the id image holds, what clicks find, culling counts,
// and what the window shows (sky above ground, a darker world in a bad mood).
#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include "RenderFixture.h"
#include "assets/Model.h"
#include "sound/SoundManager.h"

namespace {

float luminance(const glm::vec3& c) { return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b; }

class WorldFrame : public ::testing::Test {
protected:
    void SetUp() override {
        if (!rendertest::buildRealWorld(scene)) GTEST_SKIP() << "no GL context or generated assets";
    }
    Game& game() { return *scene.game; }
    Settlement& home() { return *scene.game->settlements[0]; }
    // Screen pixel of the centre of an object drawn with the model read from objFile.
    glm::ivec2 pixelOf(const SceneObject& object, const std::string& objFile) {
        const glm::vec3 centre = glm::vec3(object.modelMatrix() * glm::vec4(rendertest::modelCentre(objFile), 1.0f));
        return rendertest::screenPoint(game(), centre);
    }
    int idOf(const SceneObject& object, const std::string& objFile) {
        const glm::ivec2 p = pixelOf(object, objFile);
        return game().readObjectId(p.x, p.y);
    }
    // Looks down on settlement 0 from above and in front.
    void overlookHome() {
        rendertest::placeCamera(game(), scene.centre + glm::vec3(0.0f, 700.0f, 450.0f), glm::vec3(0.0f, -700.0f, -450.0f));
    }
    rendertest::Image frame() { return rendertest::readColor(0, 1200, 800); }
    rendertest::Scene scene;
};

TEST_F(WorldFrame, PlayersViewLooksLikeAWorld) {
    rendertest::placeCamera(game(), glm::vec3(0.0f, 576.0f, 576.0f), glm::vec3(0.0f, -1.0f, -1.0f));
    game().render();
    rendertest::savePng(frame(), "render_world_start.png");
    overlookHome();
    game().render();
    rendertest::savePng(frame(), "render_world_home.png");
    rendertest::placeCamera(game(), glm::vec3(0.0f, 300.0f, 2500.0f), glm::vec3(0.0f, -0.15f, -1.0f));
    game().render();
    rendertest::savePng(frame(), "render_world_horizon.png");
}

}  // namespace
