// CameraTest.cpp -- the intro fly-in and its ends, flying by keys, the wheel pitch, the follow flight, the view.
#include <cmath>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/GameBuilders.h"
#include "game/WorldConstants.h"

using omxtest::code;
using omxtest::World;
using ::testing::AllOf;
using ::testing::Ge;
using ::testing::Gt;
using ::testing::Lt;
using ::testing::StartsWith;

namespace {

using omxtest::finite;

bool finite(const glm::mat4& m) {
    for (int c = 0; c < 4; ++c)
        if (!finite(glm::vec3(m[c])) || !std::isfinite(m[c][3])) return false;
    return true;
}

float distance(const glm::vec3& a, const glm::vec3& b) { return glm::length(a - b); }

// Degrees between two directions.
float angleBetween(const glm::vec3& a, const glm::vec3& b) {
    return std::acos(std::fmin(1.0f, glm::dot(glm::normalize(a), glm::normalize(b)))) * 57.29578f;
}

constexpr float frame = 1.0f / 60.0f;

void expectLanded(const Game& g) {
    EXPECT_EQ(g.state, GameState::Playing);
    // The controls picture comes up at the landing point.
    EXPECT_TRUE(g.overviewMode);
    EXPECT_TRUE(g.infoPanel->visible);
    EXPECT_EQ(g.camera->position, glm::vec3(0.0f, 576.0f, 576.0f));
    EXPECT_EQ(g.savedCameraPosition, glm::vec3(0.0f, 576.0f, 576.0f));
    EXPECT_EQ(g.camera->direction, glm::normalize(glm::vec3(0.0f, -1.0f, -1.0f)));
    EXPECT_EQ(g.light->position.y, 1733.0f);
}

// The three numbers of a printed line; not numbers when there are not three.
glm::vec3 vectorOf(const std::string& line) {
    const std::vector<float> v = omxtest::numbersOf(line);
    return v.size() == 3 ? glm::vec3(v[0], v[1], v[2]) : glm::vec3(NAN);
}

// The intro's three lines: the time it ended, the camera's position and its direction.
struct IntroEnd {
    float time = -1.0f;
    glm::vec3 position{NAN}, direction{NAN};
};
IntroEnd introEnd(const std::string& out) {
    const std::vector<std::string> lines = omxtest::linesOf(out);
    if (lines.size() == 3) return {std::stof(lines[0]), vectorOf(lines[1]), vectorOf(lines[2])};
    ADD_FAILURE() << "the intro printed:\n" << out;
    return {};
}

}  // namespace

TEST(Intro, EndsOnF1WithItsLines) {
    World key;
    key.run(1.0f, 0.5f);  // the tiny first step, then half a second
    key.input.held = {Key::F1};
    const std::string out = key.run(0.1f, 0.1f);
    EXPECT_EQ(omxtest::linesOf(out)[0], "0.5001");
    EXPECT_EQ(omxtest::linesOf(out)[1], "0 3466.67 3466.67 ");
    EXPECT_NEAR(distance(introEnd(out).direction, glm::vec3(0.0f, -0.707107f, -0.707107f)), 0.0f, 1e-6f);
    expectLanded(*key.game);
}

TEST(Intro, StandsStillThenCirclesInAndEndsOnArrival) {
    // Three seconds standing still while the light rises above the centre.
    World w;
    Game& g = *w.game;
    const glm::vec3 start = g.camera->position;
    w.run(2.9f, 0.1f);
    EXPECT_EQ(g.camera->position, start);
    EXPECT_NEAR(distance(g.light->position, glm::vec3(0.0f, 25.0f * 2.8001f, 0.0f)), 0.0f, 1e-2f);
    w.run(1.0f, 0.1f);
    // Circling the centre: always facing it, closer each step.
    EXPECT_LT(glm::length(g.camera->position), glm::length(start));
    EXPECT_LT(angleBetween(g.camera->direction, -g.camera->position), 0.01f);
    const IntroEnd arrived = introEnd(w.run(36.1f, frame));
    EXPECT_LT(arrived.time, 39.0f);  // well before the timer
    EXPECT_LT(glm::length(arrived.position), 1000.0f);
    EXPECT_LT(std::fabs(arrived.direction.x), 0.01f);  // looking along -z
    EXPECT_LE(arrived.direction.z, -0.5f);
    expectLanded(*w.game);
}

TEST(Intro, EndsAfterFortySeconds) {
    World far;
    far.game->camera->position *= 300.0f;  // too far to come within 1000 of the centre in time
    const IntroEnd timedOut = introEnd(far.run(45.0f, 0.25f));
    EXPECT_THAT(timedOut.time, AllOf(Ge(40.0f), Lt(40.3f)));
    EXPECT_GT(glm::length(timedOut.position), 1000.0f);
    EXPECT_EQ(far.game->state, GameState::Playing);
    EXPECT_EQ(far.game->savedCameraPosition, glm::vec3(0.0f, 576.0f, 576.0f));
}

TEST(Flight, FPrintsTheView) {
    World w;
    w.startPlaying();
    Camera& cam = *w.game->camera;
    w.input.held = {Key::F};
    const std::vector<std::string> lines = omxtest::linesOf(w.run(0.01f, 0.01f));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_THAT(lines[0], StartsWith("dir: "));
    EXPECT_THAT(lines[1], StartsWith("up:  "));
    EXPECT_NEAR(distance(vectorOf(lines[0].substr(5)), glm::vec3(0.0f, -0.707107f, -0.707107f)), 0.0f, 1e-5f);
    // Up is the view direction turned 90 degrees upwards about the side axis.
    EXPECT_NEAR(distance(vectorOf(lines[1].substr(5)), glm::vec3(0.0f, 0.707107f, -0.707107f)), 0.0f, 1e-5f);
    // The view matrix takes the eye to the origin and the direction onto -z.
    EXPECT_NEAR(glm::length(glm::vec3(cam.viewMatrix * glm::vec4(cam.position, 1.0f))), 0.0f, 1e-3f);
    EXPECT_NEAR((cam.viewMatrix * glm::vec4(cam.direction, 0.0f)).z, -1.0f, 1e-5f);
}

TEST(Flight, KeysMoveAndTurnAtTheirSpeedsAboveTheGround) {
    World w;
    w.startPlaying();
    Camera& cam = *w.game->camera;
    // Forward moves parallel to the ground at 250 per second (printing nothing without F); opposite keys cancel.
    const glm::vec3 start = cam.position;
    w.input.held = {Key::W};
    EXPECT_EQ(w.run(1.0f, 0.1f), "");
    EXPECT_NEAR(distance(cam.position, start + glm::vec3(0.0f, 0.0f, -250.0f)), 0.0f, 1e-2f);
    const glm::vec3 here = cam.position;
    w.input.held = {Key::W, Key::S, Key::Space, Key::C};
    w.run(1.0f, 0.1f);
    EXPECT_NEAR(distance(cam.position, here), 0.0f, 1e-3f);
    // Turning left by 180 degrees per second, about the vertical.
    const glm::vec3 before = cam.direction;
    w.input.held = {Key::A};
    w.run(0.5f, 0.1f);
    EXPECT_NEAR(angleBetween(glm::vec3(before.x, 0, before.z), glm::vec3(cam.direction.x, 0, cam.direction.z)),
                90.0f, 0.05f);
    EXPECT_NEAR(cam.direction.y, before.y, 1e-5f);
    EXPECT_NEAR(cam.rotation.y, 90.0f, 1e-3f);
    EXPECT_LT(cam.direction.x, -0.5f);  // left of looking along -z is -x
    // Down (left Ctrl) for a long time: never below height 10.
    w.input.held = {Key::LeftControl};
    w.run(5.0f, 0.1f);
    EXPECT_EQ(cam.position.y, 10.0f);
}

TEST(Flight, WheelNotchesQueueFifteenDegreesEachComeToRestAndStopShortOfStraightUpOrDown) {
    World w;
    Game& g = *w.game;
    w.startPlaying();
    Camera& cam = *g.camera;
    const glm::vec3 start = cam.direction;  // 45 degrees down
    w.input.wheel = 2;                      // two notches up at once
    w.run(frame, frame);
    EXPECT_NEAR(g.pendingPitch, 0.25f - frame, 1e-5f);
    w.run(1.0f, frame);
    EXPECT_EQ(g.pendingPitch, 0.0f);
    EXPECT_NEAR(angleBetween(start, cam.direction), 30.0f, 0.01f);
    EXPECT_NEAR(cam.direction.y, -std::sin(15.0f / 57.29578f), 1e-4f);
    EXPECT_EQ(g.lastWheelPosition, 2);
    const glm::vec3 resting = cam.direction;
    w.run(0.5f, frame);
    EXPECT_EQ(cam.direction, resting);
    // Scrolling down pitches down the same way.
    w.input.wheel = 1;
    w.run(0.5f, frame);
    EXPECT_NEAR(cam.direction.y, -std::sin(30.0f / 57.29578f), 1e-4f);

    w.input.wheel = -9;  // 150 degrees further down: far more than the limit allows
    w.run(1.0f, frame);
    EXPECT_LT(g.pendingPitch, 0.0f);  // the queue is not cleared by the limit
    EXPECT_THAT(cam.direction.y, AllOf(Gt(-0.96f), Lt(-0.90f)));
    EXPECT_TRUE(finite(cam.viewMatrix));
    g.pendingPitch = 0.0f;
    const glm::vec3 steep = glm::normalize(glm::vec3(0.0f, 0.96f, -0.28f));
    cam.direction = steep;
    w.run(0.1f, 0.1f);
    EXPECT_LT(cam.direction.y, steep.y);  // one pitch step (12 degrees) back down
    EXPECT_NEAR(angleBetween(cam.direction, steep), 12.0f, 0.01f);
}

TEST(Flight, FollowsATreeIgnoringKeysAndKeepsTheStrikeOnIt) {
    World w;
    Game& g = *w.game;
    w.startPlaying();
    SceneObject& tree = *g.settlements[4]->tree;
    g.onMouseButton(1);  // the strike appears (nothing under the cursor without an id image)
    g.actOnClick(1, tree.id);
    ASSERT_EQ(g.camera->target, &tree);
    w.input.held = {Key::Space, Key::A};
    float flown = 0.0f;
    for (; g.camera->target && flown < 60.0f; flown += frame) {
        w.run(frame, frame);
        // The strike is kept until the camera arrives.
        if (g.camera->target) {
            EXPECT_TRUE(g.strike->visible) << "after " << flown << " s";
            EXPECT_EQ(g.strike->position, tree.position) << "after " << flown << " s";
        }
    }
    EXPECT_EQ(g.camera->target, nullptr) << "no arrival after " << flown << " s";
    EXPECT_LT(distance(tree.position + glm::vec3(0.0f, 80.0f, 0.0f), g.camera->position), 250.0f);
    EXPECT_EQ(g.camera->rotation.y, 0.0f);  // the turn key was ignored throughout
    w.run(frame, frame);
    EXPECT_FALSE(g.strike->visible);
}

TEST(Flight, StaysFiniteLookingStraightDown) {
    World w;
    Game& g = *w.game;
    w.startPlaying();
    // Straight down: forward still means the last horizontal direction (+x), and nothing becomes NaN.
    const auto expectFinite = [&] {
        EXPECT_TRUE(finite(g.camera->position));
        EXPECT_TRUE(finite(g.camera->direction));
        EXPECT_TRUE(finite(g.light->position));
        EXPECT_TRUE(finite(g.camera->viewMatrix));
    };
    g.camera->direction = glm::normalize(glm::vec3(1.0f, -1.0f, 0.0f));
    w.run(0.1f, 0.1f);
    g.camera->direction = glm::vec3(0.0f, -1.0f, 0.0f);
    const float x = g.camera->position.x;
    w.input.held = {Key::W};
    w.run(0.2f, 0.1f);
    expectFinite();
    EXPECT_GT(g.camera->position.x - x, 40.0f);
    // Following a tree straight below.
    w.input.held.clear();
    SceneObject& below = *g.settlements[0]->tree;
    g.camera->position = below.position + glm::vec3(0.0f, 3000.0f, 0.0f);
    g.camera->direction = glm::vec3(0.0f, -1.0f, 0.0f);
    g.camera->target = &below;
    w.run(5.0f, frame);
    EXPECT_EQ(g.camera->target, nullptr);
    expectFinite();
}

TEST(Flight, FollowFlightFromLowDownNeverGoesBelowTheFloor) {
    // Low starts that look down at a far tree: the steering dives before it levels out.
    for (const float height : {10.0f, 35.0f, 60.0f})
        for (const float pitch : {10.0f, 20.0f, 30.0f})
            for (const float away : {300.0f, 1200.0f, 3000.0f}) {
                SCOPED_TRACE("from " + std::to_string(height) + " up, " + std::to_string(pitch) + " degrees down, " +
                             std::to_string(away) + " away");
                World w;
                Game& g = *w.game;
                w.startPlaying();
                SceneObject& tree = *g.settlements[0]->tree;
                const float down = pitch / 57.29578f;
                g.camera->position = tree.position + glm::vec3(0.0f, height, away);
                g.camera->direction = glm::vec3(0.0f, -std::sin(down), -std::cos(down));
                g.camera->target = &tree;
                float lowest = g.camera->position.y;
                for (int f = 0; f < 60 * 30 && g.camera->target; ++f) {
                    w.run(frame, frame);
                    lowest = std::fmin(lowest, g.camera->position.y);
                }
                EXPECT_GE(lowest, 10.0f);
                EXPECT_EQ(g.camera->target, nullptr);  // and it still arrives
            }
}
