// ClickAimTest.cpp -- on real frames, a click a few pixels beside a person acts on that person, a click on bare
// ground far from anyone strikes only the ground, and an object under the cursor wins over a person nearby.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>

#include "RenderFixture.h"
#include "game/ClickTarget.h"
#include "sound/SoundManager.h"
#include "support/GlContext.h"

namespace {

constexpr int width = 1200;
constexpr int height = 800;

class ClickAim : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rendertest::buildRealWorld(scene)) << "no world drawn: " << omxtest::glContextFailure();
        rendertest::overlookHome(scene);
    }
    Game& game() { return *scene.game; }
    Settlement& home() { return *scene.game->settlements[0]; }
    SceneObject& person(ObjectType type, const glm::vec3& offset) {
        return omxtest::addPerson(game(), home(), type, PersonState::Wandering, scene.centre + offset);
    }
    void pointMouseAt(const glm::ivec2& p) { game().mouse = MousePosition{p.x, height - 1 - p.y}; }
    // The frame's whole id image, rows from the bottom (drawn for the test; the game draws the cursor's part).
    std::vector<int> wholeIdImage() {
        game().render();
        scene.renderer->drawIdPass(0, 0, width, height);
        return rendertest::readIdImage(*scene.renderer);
    }
    static int idAt(const std::vector<int>& ids, int x, int y) {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0;
        return ids[static_cast<std::size_t>(y * width + x)];
    }
    // Distance in pixels from (x, y) to the nearest pixel that `wanted` accepts, looked for up to `limit` away
    // (a larger number when there is none).
    static float nearest(const std::vector<int>& ids, int x, int y, int limit, const std::function<bool(int)>& wanted) {
        float best = 1e9f;
        for (int dy = -limit; dy <= limit; ++dy)
            for (int dx = -limit; dx <= limit; ++dx)
                if (wanted(idAt(ids, x + dx, y + dy))) best = std::fmin(best, std::hypot(float(dx), float(dy)));
        return best;
    }
    // A pixel of bare ground whose nearest pixel of `target` lies between `low` and `high` pixels away and
    // which has no other object within `clear` pixels; (-1, -1) when the frame has none.
    glm::ivec2 groundBeside(const std::vector<int>& ids, int target, float low, float high, int clear) {
        glm::ivec2 first(width, height), last(-1);  // the target's pixels lie within these corners
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (idAt(ids, x, y) == target) first = glm::min(first, glm::ivec2(x, y)), last = glm::max(last, glm::ivec2(x, y));
        const int margin = static_cast<int>(high) + 1;
        for (int y = std::max(first.y - margin, 0); y <= std::min(last.y + margin, height - 1); ++y)
            for (int x = std::max(first.x - margin, 0); x <= std::min(last.x + margin, width - 1); ++x) {
                if (idAt(ids, x, y) != 0) continue;
                const float d = nearest(ids, x, y, static_cast<int>(high) + 1, [&](int id) { return id == target; });
                if (d < low || d > high) continue;
                if (nearest(ids, x, y, clear, [&](int id) { return id != 0 && id != target; }) <= clear) continue;
                return glm::ivec2(x, y);
            }
        return glm::ivec2(-1);
    }
    // The point of the ground plane seen at the centre of window pixel p.
    glm::vec3 groundAt(const glm::ivec2& p) {
        const glm::vec3 near = glm::unProject(glm::vec3(p.x + 0.5f, p.y + 0.5f, 0.0f), game().camera->viewMatrix,
                                              game().projectionMatrix, glm::vec4(0, 0, width, height));
        const glm::vec3 eye = game().camera->position;
        return eye + (near - eye) * (-eye.y / (near.y - eye.y));
    }
    int hovered() {
        for (const auto& entry : objectRegistry)
            if (entry.second->highlighted) return entry.first;
        return 0;
    }
    rendertest::Scene scene;
    const int radius = nearbyPersonRadius(height);
};

TEST_F(ClickAim, AClickAFewPixelsBesideAPersonActsOnThatPerson) {
    ASSERT_EQ(radius, 8);
    SceneObject& struck = person(ObjectType::GoodPerson, glm::vec3(-60, 0, 150));
    SceneObject& sent = person(ObjectType::GoodPerson, glm::vec3(60, 0, 150));
    const std::vector<int> ids = wholeIdImage();
    const glm::ivec2 besideStruck = groundBeside(ids, struck.id, 4.0f, 6.0f, radius + 1);
    const glm::ivec2 besideSent = groundBeside(ids, sent.id, 4.0f, 6.0f, radius + 1);
    ASSERT_GE(besideStruck.x, 0) << "no bare ground 4 to 6 pixels from the person";
    ASSERT_GE(besideSent.x, 0);

    // The frame drawn with the cursor there, as in play: the hover lights the person and the click strikes it.
    pointMouseAt(besideStruck);
    game().render();
    game().updateHover();
    EXPECT_EQ(hovered(), struck.id);
    game().onMouseButton(MouseButton::Left);
    EXPECT_EQ(struck.personState, PersonState::Struck);
    EXPECT_EQ(scene.sound.playCount(SoundPeopleShot), 1);
    // The bolt still lands on the ground under the cursor, beside the person.
    EXPECT_LT(glm::length(game().strike->position - groundAt(besideStruck)), 0.01f);

    // The cursor moved since the frame was drawn: the right button sends the other one to work.
    pointMouseAt(besideSent);
    game().updateHover();
    EXPECT_EQ(hovered(), sent.id);
    game().onMouseButton(MouseButton::Right);
    EXPECT_EQ(sent.personState, PersonState::Sent);
}

TEST_F(ClickAim, AClickOnGroundFarFromAnyoneOrJustBeyondTheReachStrikesOnlyTheGround) {
    SceneObject& someone = person(ObjectType::BadPerson, glm::vec3(-60, 0, 150));
    const std::vector<int> ids = wholeIdImage();
    const glm::ivec2 beyond = groundBeside(ids, someone.id, radius + 2.0f, radius + 5.0f, radius + 1);
    ASSERT_GE(beyond.x, 0);
    // Far: no object at all within 40 pixels.
    glm::ivec2 far(-1);
    for (int y = 100; y < height - 100 && far.x < 0; y += 25)
        for (int x = 100; x < width - 100 && far.x < 0; x += 25)
            if (nearest(ids, x, y, 40, [](int id) { return id != 0; }) > 40.0f) far = glm::ivec2(x, y);
    ASSERT_GE(far.x, 0) << "no bare ground in the view";

    for (const glm::ivec2& at : {far, beyond}) {
        SCOPED_TRACE(::testing::Message() << "pixel " << at.x << ", " << at.y);
        pointMouseAt(at);
        game().render();
        game().updateHover();
        EXPECT_EQ(hovered(), 0);
        game().onMouseButton(MouseButton::Left);
        EXPECT_TRUE(game().strike->visible);
        EXPECT_LT(glm::length(game().strike->position - groundAt(at)), 0.01f);
        game().onMouseButton(MouseButton::Right);
        EXPECT_EQ(someone.personState, PersonState::Wandering);
        EXPECT_EQ(scene.sound.playCount(SoundPeopleShot), 0);
        EXPECT_EQ(game().camera->target, nullptr);
    }
}

TEST_F(ClickAim, AnObjectUnderTheCursorWinsOverAPersonNearby) {
    Settlement& s = home();
    s.grenade->grenadeState = GrenadeState::Ready;
    // People standing against the grenade and the tree.
    SceneObject& byGrenade = omxtest::addPerson(game(), s, ObjectType::GoodPerson, PersonState::Wandering,
                                                s.grenade->position * glm::vec3(1, 0, 1) + glm::vec3(30, 0, 0));
    SceneObject& byTree = omxtest::addPerson(game(), s, ObjectType::GoodPerson, PersonState::Wandering,
                                             s.tree->position + glm::vec3(25, 0, 10));
    const std::vector<int> ids = wholeIdImage();
    // A pixel of the object with the person's nearest pixel at most half the reach away.
    const auto objectBesidePerson = [&](int object, int near) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (idAt(ids, x, y) == object &&
                    nearest(ids, x, y, radius / 2, [&](int id) { return id == near; }) <= radius / 2)
                    return glm::ivec2(x, y);
        return glm::ivec2(-1);
    };
    const glm::ivec2 onGrenade = objectBesidePerson(s.grenade->id, byGrenade.id);
    const glm::ivec2 onTree = objectBesidePerson(s.tree->id, byTree.id);
    ASSERT_GE(onGrenade.x, 0) << "the person does not stand beside the grenade in the picture";
    ASSERT_GE(onTree.x, 0) << "the person does not stand beside the tree in the picture";

    pointMouseAt(onGrenade);
    game().render();
    game().updateHover();
    EXPECT_EQ(hovered(), s.grenade->id);
    game().onMouseButton(MouseButton::Left);
    EXPECT_EQ(s.grenade->grenadeState, GrenadeState::Rolling);
    EXPECT_EQ(byGrenade.personState, PersonState::Wandering);

    pointMouseAt(onTree);
    game().updateHover();
    EXPECT_EQ(hovered(), s.tree->id);
    game().onMouseButton(MouseButton::Right);
    EXPECT_EQ(game().camera->target, s.tree);
    EXPECT_EQ(byTree.personState, PersonState::Wandering);
    EXPECT_EQ(scene.sound.playCount(SoundPeopleShot), 0);
}

}  // namespace
