// PickingGlTest.cpp -- clicking and hovering on what a real frame drew: the id image decides what is hit.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include "support/GameBuilders.h"
#include "support/GlContext.h"

namespace {

struct DrawnWorld {
    omxtest::RecordingSound sound;
    omxtest::ScriptedInput input;
    std::unique_ptr<Game> game;

    bool build() {
        if (!omxtest::ensureGlContext()) return false;
        GameOptions options = omxtest::windowlessOptions(&sound, 9, &input);
        options.graphics = true;
        omxtest::capturedStderr([&] {
            omxtest::capturedStdout([&] {
                game = std::make_unique<Game>(options);
                game->resize(1200, 800);
            });
        });
        game->state = Playing;
        return game->worldComplete;
    }

    // Looks at `target` from `offset` away, puts the cursor on it and draws one frame.
    void aimAndDraw(const glm::vec3& target, const glm::vec3& offset) {
        Game& g = *game;
        g.camera->position = target + offset;
        g.camera->direction = glm::normalize(-offset);
        g.updateCamera(0.0f);
        const glm::vec3 window = glm::project(target, g.camera->viewMatrix, g.projectionMatrix,
                                              glm::vec4(0.0f, 0.0f, 1200.0f, 800.0f));
        input.cursorAt = MousePosition{static_cast<int>(window.x), 799 - static_cast<int>(window.y)};
        g.update(0.001f);  // copies the cursor
        g.render();
    }
};

}  // namespace

TEST(PickingGl, ClickOnTheDrawnGrenadeThrowsItAndOnThePersonStrikesIt) {
    DrawnWorld w;
    ASSERT_TRUE(w.build()) << "no world drawn: " << omxtest::glContextFailure();
    Game& g = *w.game;
    Settlement& s = *g.settlements[0];
    s.grenade->state = Ready;
    s.grenade->position.y = 0.92f * s.grenade->scale.y;
    const glm::vec3 centre = s.grenade->position;

    w.aimAndDraw(centre, glm::vec3(0.0f, 120.0f, 160.0f));
    EXPECT_EQ(g.readObjectId(g.mouse.x, g.cursorRow()), s.grenade->id);
    g.updateHover();
    EXPECT_TRUE(s.grenade->highlighted);
    g.onMouseButton(0);
    EXPECT_EQ(s.grenade->state, Rolling);
    EXPECT_EQ(w.sound.playCount(SoundHolyGrenadeRolling), 1);
    EXPECT_TRUE(g.strike->visible);
    EXPECT_NEAR(g.strike->position.x, centre.x, 60.0f);  // the ground below the cursor
    EXPECT_NEAR(g.strike->position.z, centre.z, 60.0f);

    // Nothing is under a cursor left of or above the window.
    EXPECT_EQ(g.readObjectId(-5, 10), 0);
    EXPECT_EQ(g.readObjectId(10, 5000), 0);

    // A person standing in the open.
    // outside the wall, nothing in front
    SceneObject* p = &omxtest::addPerson(g, s, GoodPerson, Wandering, s.position + glm::vec3(0.0f, 0.0f, 700.0f));
    w.aimAndDraw(p->position + glm::vec3(0.0f, 5.0f, 0.0f), glm::vec3(0.0f, 40.0f, 60.0f));
    ASSERT_EQ(g.readObjectId(g.mouse.x, g.cursorRow()), p->id);
    g.onMouseButton(0);
    EXPECT_EQ(p->state, Struck);
    EXPECT_EQ(w.sound.playCount(SoundPeopleShot), 1);
}
