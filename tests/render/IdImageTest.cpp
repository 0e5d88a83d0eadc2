// IdImageTest.cpp -- the object-id image of a rendered frame: what a click finds where, and what the window shows.
#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include "RenderFixture.h"
#include "game/Settlement.h"

using rendertest::Scene;

namespace {

class IdImage : public ::testing::Test {
protected:
    void SetUp() override {
        if (!rendertest::buildScene(scene)) GTEST_SKIP() << "no GL context (run under xvfb-run)";
    }
    Game& game() { return *scene.game; }
    Settlement& home() { return *scene.game->settlements[0]; }
    int idAt(const glm::vec3& world) {
        const glm::ivec2 p = rendertest::screenPoint(game(), world);
        return game().readObjectId(p.x, p.y);
    }
    Scene scene;
};

TEST_F(IdImage, HoldsEachPickableObjectsNumberAndZeroElsewhere) {
    game().render();
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const glm::vec3 c = scene.centre;
    EXPECT_EQ(idAt(home().tree->position + glm::vec3(0, 10, 0)), home().tree->id);
    EXPECT_EQ(idAt(home().grenade->position), home().grenade->id);
    EXPECT_EQ(idAt(home().goodPeople[0]->position), home().goodPeople[0]->id);
    EXPECT_EQ(idAt(home().badPeople[0]->position), home().badPeople[0]->id);
    // Bare ground, the wall and the statue are not in the id image.
    EXPECT_EQ(idAt(c + glm::vec3(60, 0, 60)), 0);
    EXPECT_EQ(idAt(home().wall->position + glm::vec3(0, 30, 0)), 0);
    EXPECT_EQ(idAt(home().moai->position + glm::vec3(0, 20, 0)), 0);
    rendertest::savePng(rendertest::readColor(0, 1200, 800), "render_scene.png");
}

}  // namespace
