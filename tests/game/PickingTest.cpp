// PickingTest.cpp -- the click and hover table, ignored clicks, the ground point and the strike.
#include <cmath>

#include <gtest/gtest.h>

#include "support/GameBuilders.h"
#include "game/WorldConstants.h"
#include "math/Conventions.h"

using omxtest::code;
using omxtest::World;

namespace {

// A playing world with people placed by hand in settlement 0.
struct ClickWorld : World {
    Settlement* s = nullptr;

    ClickWorld() {
        startPlaying();
        s = game->settlements[0];
        sound.clear();
    }

    SceneObject& person(ObjectType type, PersonState state) {
        return omxtest::addPerson(*game, *s, type, state, s->position + glm::vec3(-100.0f, 0.0f, 50.0f));
    }
};

}  // namespace

TEST(Click, EachButtonActsByTheKindAndStateOfWhatIsUnderItAndTheHoverLightsExactlyThat) {
    ClickWorld w;
    Game& g = *w.game;
    const auto highlighted = [] {
        std::vector<int> ids;
        for (const auto& entry : objectRegistry)
            if (entry.second->highlighted) ids.push_back(entry.first);
        return ids;
    };
    const auto hover = [&](const SceneObject& o, bool lights) {
        g.highlightHovered(o.id);
        EXPECT_EQ(highlighted(), lights ? std::vector<int>{o.id} : std::vector<int>{}) << "object " << o.id;
    };
    enum Kind { Good, Bad, Grenade, Tree };
    const struct {
        int button;
        Kind kind;
        int state;
        bool lit;
        int after;
        bool turnsToGrenade, fliesThere;
        std::vector<int> sounds;
        int workers;  // of one counted before the click
    } cases[] = {
        {0, Good, code(PersonState::Working), true, code(PersonState::Struck), false, false, {SoundPeopleShot}, 0},
        {0, Good, code(PersonState::Wandering), true, code(PersonState::Struck), false, false, {SoundPeopleShot}, 1},
        {0, Bad, code(PersonState::Dragging), true, code(PersonState::Struck), false, false, {SoundPeopleShot}, 1},
        {0, Good, code(PersonState::Struck), false, code(PersonState::Struck), false, false, {}, 1},  // no second hit
        {0, Good, code(PersonState::Gone), false, code(PersonState::Gone), false, false, {}, 1},      // the dead are not struck again
        {0, Grenade, code(GrenadeState::Growing), false, code(GrenadeState::Growing), false, false, {}, 1},
        {0, Grenade, code(GrenadeState::Ready), true, code(GrenadeState::Rolling), false, false, {SoundHolyGrenadeRolling}, 1},
        {0, Tree, 0, true, 0, false, false, {}, 1},
        {1, Good, code(PersonState::Wandering), true, code(PersonState::Sent), true, false, {}, 1},
        {1, Bad, code(PersonState::Wandering), true, code(PersonState::Wandering), true, false, {}, 1},  // a bad person only turns
        {1, Good, code(PersonState::Working), true, code(PersonState::Working), false, false, {}, 1},
        {1, Good, code(PersonState::Dragged), true, code(PersonState::Dragged), false, false, {}, 1},
        {1, Good, code(PersonState::Struck), false, code(PersonState::Struck), false, false, {}, 1},
        {1, Tree, code(PersonState::Gone), false, code(PersonState::Gone), false, false, {}, 1},  // a destroyed tree is no goal
        {1, Tree, 0, true, 0, false, true, {}, 1},          // the click's own sound comes with the strike
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("button " + std::to_string(c.button) + ", kind " + std::to_string(c.kind) + ", state " +
                     std::to_string(c.state));
        SceneObject& o = c.kind == Grenade ? *w.s->grenade
                         : c.kind == Tree  ? *w.s->tree
                                           : w.person(c.kind == Good ? ObjectType::GoodPerson : ObjectType::BadPerson,
                                                      static_cast<PersonState>(c.state));
        omxtest::setStateCode(o, c.state);
        o.rotation.y = 33.0f;
        w.s->workerCount = 1;
        g.camera->target = nullptr;
        w.sound.clear();
        hover(o, c.lit);
        g.actOnClick(c.button, o.id);
        EXPECT_EQ(o.stateCode(), c.after);
        EXPECT_EQ(w.sound.played, c.sounds);
        EXPECT_EQ(w.s->workerCount, c.workers);
        EXPECT_EQ(g.camera->target, c.fliesThere ? &o : nullptr);
        if (c.turnsToGrenade) {
            EXPECT_GT(glm::dot(o.heading(), omxtest::groundDirection(o.position, w.s->grenade->position)), 0.9999f);
        } else {
            EXPECT_EQ(o.rotation.y, 33.0f);
        }
    }
    // Ground, walls, nothing and unknown numbers: nothing lights and nothing happens.
    w.sound.clear();
    g.camera->target = nullptr;
    hover(*g.groundTiles[5], false);
    hover(*w.s->wall, false);
    for (const int id : {g.groundTiles[5]->id, w.s->wall->id, 0, nextObjectId + 50})
        for (const int button : {0, 1}) g.actOnClick(button, id);
    EXPECT_TRUE(w.sound.played.empty());
    EXPECT_EQ(g.camera->target, nullptr);
    // Nothing under the cursor (and no id image without a window) clears every highlight.
    w.s->tree->highlighted = true;
    g.updateHover();
    EXPECT_TRUE(highlighted().empty());
}

TEST(Click, IgnoredDuringTheIntroInTheOverviewAndForOtherButtons) {
    World intro;
    Game& i = *intro.game;
    intro.sound.clear();
    i.onMouseButton(0);
    SceneObject& p = omxtest::addPerson(i, *i.settlements[0], ObjectType::GoodPerson, PersonState::Wandering, glm::vec3(0.0f));
    i.actOnClick(0, p.id);
    EXPECT_FALSE(i.strike->visible);
    EXPECT_TRUE(intro.sound.played.empty());
    EXPECT_EQ(p.personState, PersonState::Wandering);
    ClickWorld w;
    Game& g = *w.game;
    SceneObject& person = w.person(ObjectType::GoodPerson, PersonState::Wandering);
    const auto ignored = [&](int button) {
        g.onMouseButton(button);
        g.actOnClick(button, person.id);
        EXPECT_FALSE(g.strike->visible);
        EXPECT_EQ(person.personState, PersonState::Wandering);
        EXPECT_TRUE(w.sound.played.empty());
    };
    g.toggleOverview(nullptr);
    ignored(0);
    g.toggleOverview(nullptr);
    ignored(2);
    // Playing (and after the end): a click on empty ground only draws the strike with its sound.
    g.onMouseButton(0);
    EXPECT_TRUE(g.strike->visible);
    EXPECT_EQ(g.strikeKind, StrikeKind::Shoot);
    EXPECT_EQ(g.strikeTimer, 0.0f);
    g.state = GameState::Lost;
    g.onMouseButton(1);
    EXPECT_EQ(g.strikeKind, StrikeKind::Pick);
    EXPECT_EQ(w.sound.played, (std::vector<int>{SoundLightningShoot, SoundLightningPick}));
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
    EXPECT_LT(centre.x, 1.0f);
    EXPECT_GT(centre.z, 0.0f);
    EXPECT_LT(centre.z, 1.5f);
    EXPECT_EQ(centre.y, 0.0f);
    g.mouse = MousePosition{1199, 400};
    EXPECT_GT(g.pickGround().x, 100.0f);
    // Looking level: the upper half of the view never meets the ground.
    g.camera->direction = glm::vec3(0.0f, 0.0f, -1.0f);
    w.run(0.01f, 0.01f);
    const glm::vec3 last = g.lastGroundPoint;
    g.mouse = MousePosition{600, 100};
    EXPECT_EQ(g.pickGround(), last);
    g.mouse = MousePosition{600, 700};  // below the horizon: a far but real point ahead
    const glm::vec3 ahead = g.pickGround();
    EXPECT_EQ(ahead.y, 0.0f);
    EXPECT_LT(ahead.z, g.camera->position.z);
    EXPECT_TRUE(std::isfinite(ahead.z)) << ahead.z;
}

TEST(Strike, LastsHalfASecondRestartsOnEachClickAndEndsWhenTheOverviewOpens) {
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
    const float scroll = g.strikeScroll;
    g.updateStrike(1.0f);
    EXPECT_EQ(g.strikeScroll, scroll);  // an invisible strike stands still
    EXPECT_NEAR(scroll, -1.5f * 0.85f, 1e-5f);

    const auto endedBy = [&](const auto& open) {
        g.onMouseButton(1);
        ASSERT_TRUE(w.sound.playing[SoundLightningPick]);
        open();
        EXPECT_TRUE(g.overviewMode);
        EXPECT_FALSE(g.strike->visible);
        EXPECT_FALSE(w.sound.playing[SoundLightningPick]);
    };
    // By the player, and staying ended when it closes.
    endedBy([&] { g.toggleOverview(nullptr); });
    w.run(2.0f, 0.1f);
    g.toggleOverview(nullptr);
    EXPECT_FALSE(g.strike->visible);
    EXPECT_FALSE(w.sound.playing[SoundLightningPick]);
    // By itself after the end.
    g.state = GameState::Won;
    g.gameOverTimer = 5.95f;
    endedBy([&] { w.run(0.1f, 0.1f); });
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
