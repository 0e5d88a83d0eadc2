// PickingTest.cpp -- the click table, ignored clicks, the hover highlight, the ground point and the strike.
#include <cmath>

#include <gtest/gtest.h>

#include "support/GameBuilders.h"
#include "game/WorldConstants.h"
#include "math/Conventions.h"

using omxtest::World;

namespace {

// A playing world with one person of each kind placed in settlement 0.
struct ClickWorld : World {
    Settlement* s = nullptr;

    ClickWorld() {
        startPlaying();
        s = game->settlements[0];
        sound.clear();
    }

    SceneObject& person(int type, int state) {
        return omxtest::addPerson(*game, *s, type, state, s->position + glm::vec3(-100.0f, 0.0f, 50.0f));
    }
};

}  // namespace

TEST(Click, LeftStrikesPeopleOnceAndThrowsOnlyAReadyGrenade) {
    ClickWorld w;
    Game& g = *w.game;
    SceneObject& worker = w.person(GoodPerson, Working);
    SceneObject& bad = w.person(BadPerson, Dragging);
    w.s->workerCount = 1;

    g.actOnClick(0, worker.id);
    EXPECT_EQ(worker.state, Struck);
    EXPECT_EQ(w.s->workerCount, 0);
    EXPECT_EQ(w.sound.playCount(SoundPeopleShot), 1);

    // Already struck: no second hit, the count stays.
    g.actOnClick(0, worker.id);
    EXPECT_EQ(w.s->workerCount, 0);
    EXPECT_EQ(w.sound.playCount(SoundPeopleShot), 1);

    g.actOnClick(0, bad.id);
    EXPECT_EQ(bad.state, Struck);
    EXPECT_EQ(w.sound.playCount(SoundPeopleShot), 2);

    // A person that has died stays dead: it is not struck (and does not die) a second time.
    SceneObject& dead = w.person(GoodPerson, Gone);
    g.actOnClick(0, dead.id);
    EXPECT_EQ(dead.state, Gone);
    EXPECT_EQ(w.sound.playCount(SoundPeopleShot), 2);

    // A growing grenade does nothing; a ready one rolls with its sound.
    SceneObject& grenade = *w.s->grenade;
    g.actOnClick(0, grenade.id);
    EXPECT_EQ(grenade.state, Growing);
    grenade.state = Ready;
    g.actOnClick(0, grenade.id);
    EXPECT_EQ(grenade.state, Rolling);
    EXPECT_EQ(w.sound.playCount(SoundHolyGrenadeRolling), 1);

    // Trees, ground, nothing and unknown numbers: nothing.
    const size_t plays = w.sound.played.size();
    g.actOnClick(0, w.s->tree->id);
    g.actOnClick(0, g.groundTiles[5]->id);
    g.actOnClick(0, 0);
    g.actOnClick(0, nextObjectId + 50);
    EXPECT_EQ(w.sound.played.size(), plays);
    EXPECT_EQ(g.camera->target, nullptr);
    EXPECT_EQ(w.s->tree->state, 0);
}

TEST(Click, RightSendsWanderersToTheGrenadeOrFliesToATree) {
    ClickWorld w;
    Game& g = *w.game;
    SceneObject& good = w.person(GoodPerson, Wandering);
    SceneObject& bad = w.person(BadPerson, Wandering);
    const glm::vec3 towardsGrenade = glm::normalize(glm::vec3(w.s->grenade->position.x - good.position.x, 0.0f,
                                                              w.s->grenade->position.z - good.position.z));

    g.actOnClick(1, good.id);
    EXPECT_EQ(good.state, Sent);
    EXPECT_GT(glm::dot(good.heading(), towardsGrenade), 0.9999f);

    g.actOnClick(1, bad.id);
    EXPECT_EQ(bad.state, Wandering);  // a bad person only turns
    EXPECT_GT(glm::dot(bad.heading(), towardsGrenade), 0.9999f);

    // Working, dragged and struck people are left as they are.
    for (int state : {Working, Dragged, Struck}) {
        SceneObject& p = w.person(GoodPerson, state);
        p.rotation.y = 33.0f;
        g.actOnClick(1, p.id);
        EXPECT_EQ(p.state, state);
        EXPECT_EQ(p.rotation.y, 33.0f);
    }

    // A destroyed tree is no goal; a standing one is.
    SceneObject& goneTree = *g.settlements[1]->tree;
    goneTree.state = Gone;
    g.actOnClick(1, goneTree.id);
    EXPECT_EQ(g.camera->target, nullptr);
    g.actOnClick(1, w.s->tree->id);
    EXPECT_EQ(g.camera->target, w.s->tree);
    EXPECT_TRUE(w.sound.played.empty());  // the click's own sound comes with the strike, not from here
}

TEST(Click, IgnoredDuringTheIntroInTheOverviewAndForOtherButtons) {
    World intro;
    Game& i = *intro.game;
    intro.sound.clear();
    i.onMouseButton(0);
    EXPECT_FALSE(i.strike->visible);
    EXPECT_TRUE(intro.sound.played.empty());
    SceneObject* p = i.newObject(GoodPerson);
    p->owner = i.settlements[0];
    i.actOnClick(0, p->id);
    EXPECT_EQ(p->state, Wandering);

    ClickWorld w;
    Game& g = *w.game;
    SceneObject& person = w.person(GoodPerson, Wandering);
    g.toggleOverview(nullptr);
    g.onMouseButton(0);
    g.actOnClick(0, person.id);
    EXPECT_FALSE(g.strike->visible);
    EXPECT_EQ(person.state, Wandering);
    g.toggleOverview(nullptr);

    g.onMouseButton(2);
    g.actOnClick(2, person.id);
    EXPECT_FALSE(g.strike->visible);
    EXPECT_EQ(person.state, Wandering);
    EXPECT_TRUE(w.sound.played.empty());

    // Playing (and after the end): a click on empty ground only draws the strike with its sound.
    g.onMouseButton(0);
    EXPECT_TRUE(g.strike->visible);
    EXPECT_EQ(g.strike->type, 1);
    EXPECT_EQ(g.strikeTimer, 0.0f);
    EXPECT_EQ(w.sound.played, std::vector<int>{SoundLightningShoot});
    g.state = Lost;
    g.onMouseButton(1);
    EXPECT_EQ(g.strike->type, 0);
    EXPECT_EQ(w.sound.played.back(), SoundLightningPick);
}

TEST(Hover, HighlightsExactlyWhatAClickWouldActOn) {
    ClickWorld w;
    Game& g = *w.game;
    SceneObject& wanderer = w.person(BadPerson, Wandering);
    SceneObject& struck = w.person(GoodPerson, Struck);
    SceneObject& grenade = *w.s->grenade;
    SceneObject& tree = *w.s->tree;
    const auto highlighted = [] {
        std::vector<int> ids;
        for (const auto& entry : objectRegistry)
            if (entry.second->highlighted) ids.push_back(entry.first);
        return ids;
    };
    const auto hover = [&](SceneObject& object, bool lights) {
        g.highlightHovered(object.id);
        EXPECT_EQ(highlighted(), lights ? std::vector<int>{object.id} : std::vector<int>{}) << "object " << object.id;
    };
    hover(wanderer, true);
    hover(tree, true);
    for (SceneObject* nothing : {&struck, &grenade, g.groundTiles[0], w.s->wall}) hover(*nothing, false);
    grenade.state = Ready;
    hover(grenade, true);
    tree.state = Gone;
    hover(tree, false);
    // Nothing under the cursor (and no id image without a window) clears every highlight.
    wanderer.highlighted = true;
    g.updateHover();
    EXPECT_TRUE(highlighted().empty());
}

TEST(GroundPoint, UnderTheCursorOrTheLastGoodOne) {
    ClickWorld w;
    Game& g = *w.game;
    g.projectionMatrix = omx::perspectiveDegrees(60.0f, 1200.0f / 800.0f, 1.0f, farDistance);
    // Before any good pick: the point straight below where the camera started.
    EXPECT_EQ(g.lastGroundPoint, glm::vec3(0.0f, 0.0f, cameraStartDistance));

    w.run(0.01f, 0.01f);  // (0, 576, 576) looking at the centre
    g.mouse = MousePosition{600, 400};  // the pixel just right of and below the middle of the window
    const glm::vec3 centre = g.pickGround();
    EXPECT_GT(centre.x, 0.0f);
    EXPECT_GT(centre.z, 0.0f);
    EXPECT_NEAR(centre.x, 0.0f, 1.0f);
    EXPECT_EQ(centre.y, 0.0f);
    EXPECT_NEAR(centre.z, 0.0f, 1.5f);
    g.mouse = MousePosition{1199, 400};
    EXPECT_GT(g.pickGround().x, 100.0f);

    // Looking level: the upper half of the view never meets the ground.
    g.camera->direction = glm::vec3(0.0f, 0.0f, -1.0f);
    w.run(0.01f, 0.01f);
    const glm::vec3 last = g.lastGroundPoint;
    g.mouse = MousePosition{600, 100};
    const glm::vec3 kept = g.pickGround();
    EXPECT_EQ(kept, last);
    g.mouse = MousePosition{600, 700};  // below the horizon: a far but real point ahead
    const glm::vec3 ahead = g.pickGround();
    EXPECT_EQ(ahead.y, 0.0f);
    EXPECT_LT(ahead.z, g.camera->position.z);
    EXPECT_TRUE(std::isfinite(ahead.z));
}

TEST(Strike, LastsHalfASecondAndRestartsOnEachClick) {
    ClickWorld w;
    Game& g = *w.game;
    g.onMouseButton(1);
    g.updateStrike(0.3f);
    EXPECT_TRUE(g.strike->visible);
    g.onMouseButton(0);  // restarts
    g.updateStrike(0.3f);
    EXPECT_TRUE(g.strike->visible);
    EXPECT_FLOAT_EQ(g.strikeTimer, 0.3f);
    EXPECT_TRUE(w.sound.playing[SoundLightningPick]);
    g.updateStrike(0.25f);
    EXPECT_FALSE(g.strike->visible);
    EXPECT_EQ(g.strikeTimer, 0.0f);
    EXPECT_FALSE(w.sound.playing[SoundLightningPick]);  // its channel is paused at the end
    EXPECT_FALSE(g.lightningBufferCreated);             // nothing is uploaded without graphics
    const float scroll = g.strikeScroll;
    g.updateStrike(1.0f);
    EXPECT_EQ(g.strikeScroll, scroll);  // an invisible strike stands still
    EXPECT_NEAR(scroll, -1.5f * 0.85f, 1e-5f);
}

TEST(Strike, OpeningTheOverviewEndsItsSoundAndHidesTheBolt) {
    ClickWorld w;
    Game& g = *w.game;
    // The player opens the overview while the strike shows.
    g.onMouseButton(1);
    g.updateStrike(0.1f);
    ASSERT_TRUE(w.sound.playing[SoundLightningPick]);
    g.toggleOverview(nullptr);
    EXPECT_FALSE(g.strike->visible);
    EXPECT_FALSE(w.sound.playing[SoundLightningPick]);
    w.run(2.0f, 0.1f);
    g.toggleOverview(nullptr);
    EXPECT_FALSE(g.strike->visible);
    EXPECT_FALSE(w.sound.playing[SoundLightningPick]);

    // The overview that comes up by itself after the end does the same.
    g.state = Won;
    g.gameOverTimer = 5.95f;
    g.onMouseButton(1);
    ASSERT_TRUE(w.sound.playing[SoundLightningPick]);
    w.run(0.1f, 0.1f);
    ASSERT_TRUE(g.overviewMode);
    EXPECT_FALSE(g.strike->visible);
    EXPECT_FALSE(w.sound.playing[SoundLightningPick]);
}

TEST(Strike, BoltRunsFromAboveTheViewToTheGroundPoint) {
    ClickWorld w;
    Game& g = *w.game;
    w.run(0.01f, 0.01f);
    g.strike->position = glm::vec3(100.0f, 0.0f, -50.0f);
    g.strike->visible = true;
    g.strikeTimer = 0.0f;
    g.strikeScroll = -0.25f;
    g.updateStrike(0.1f);
    std::array<float, 24> p{};
    std::array<float, 12> t{};
    g.buildStrikeGeometry(p, t);
    auto vertex = [&](int i) { return glm::vec3(p[4 * i], p[4 * i + 1], p[4 * i + 2]); };
    // Two triangles from a short segment up and right, two units in front of the eye, down to the struck point.
    EXPECT_NEAR(glm::length((vertex(2) + vertex(4)) * 0.5f - g.strike->position), 0.0f, 1e-3f);
    const glm::vec3 top = glm::vec3(g.camera->viewMatrix * glm::vec4(vertex(0), 1.0f));
    EXPECT_NEAR(glm::length(top - glm::vec3(1.0f, 2.0f, -2.0f)), 0.0f, 1e-3f);
    EXPECT_NEAR(glm::dot(g.strike->direction, glm::normalize(g.strike->position - vertex(1))), 1.0f, 1e-5f);
    // The picture repeats every 20 units down the bolt and has scrolled by 1.5 per second.
    EXPECT_NEAR(t[1], -0.25f - 0.15f, 1e-4f);
    EXPECT_NEAR(t[5] - t[1], glm::length(g.strike->position - g.camera->position) / 20.0f, 1e-3f);
}
