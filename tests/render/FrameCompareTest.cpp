// FrameCompareTest.cpp -- the quick frame against the plain one, pixel for pixel: the same picture in every
// kind of view, and every id read equal to what the whole id image holds, window edges included.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <epoxy/gl.h>

#include "RenderFixture.h"
#include "assets/Model.h"
#include "game/ClickTarget.h"
#include "game/WorldConstants.h"
#include "render/Renderer.h"
#include "support/GlContext.h"
#include "support/PlainFrame.h"

namespace {

constexpr int width = 1200;
constexpr int height = 800;

class FrameCompare : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rendertest::buildRealWorld(scene)) << "no world drawn: " << omxtest::glContextFailure();
        // A crowd in every settlement, good and bad, spread over its square.
        std::srand(5);
        for (Settlement* s : game().settlements) {
            for (int i = 0; i < 24; ++i) {
                const float dx = static_cast<float>(std::rand() % 600 - 300);
                const float dz = static_cast<float>(std::rand() % 600 - 300);
                omxtest::addPerson(game(), *s, i % 3 == 0 ? ObjectType::BadPerson : ObjectType::GoodPerson, PersonState::Wandering,
                                   s->position + glm::vec3(dx, 0.0f, dz), static_cast<float>(std::rand() % 360));
            }
        }
        game().light->position.y = static_cast<float>(introLightHeight);
        game().glowTime = 0.3f;  // the same pulse in both frames
    }
    Game& game() { return *scene.game; }
    Renderer& renderer() { return *scene.renderer; }
    RenderSettings& settings() { return scene.renderer->settings; }
    Settlement& home() { return *scene.game->settlements[0]; }

    // Pixels read back as picking reads them: a grid over the window and every edge walked.
    static std::vector<glm::ivec2> readPositions() {
        std::vector<glm::ivec2> at;
        for (int gy = 0; gy < 17; ++gy)
            for (int gx = 0; gx < 20; ++gx) at.emplace_back(30 + gx * 59, 20 + gy * 47);
        for (int i = 0; i < 50; ++i) {
            const int x = i * (width - 1) / 49, y = i * (height - 1) / 49;
            at.emplace_back(x, 0);
            at.emplace_back(x, height - 1);
            at.emplace_back(0, y);
            at.emplace_back(width - 1, y);
        }
        return at;
    }

    // Draws the view both ways and counts what differs; `name` names the view in failures and image files.
    void expectSameFrame(const std::string& name) {
        SCOPED_TRACE(name);
        omxtest::drawPlainFrame(renderer());
        const omxtest::Image plain = rendertest::windowImage(game());
        const std::vector<int> plainIds = rendertest::readIdImage(renderer());
        const FrameCounts plainCounts = renderer().counts();

        game().render();
        const omxtest::Image quick = rendertest::windowImage(game());
        EXPECT_EQ(renderer().counts().drawn, plainCounts.drawn);
        EXPECT_EQ(renderer().counts().culled, plainCounts.culled);

        int differing = 0;
        omxtest::Image marked = quick;
        for (std::size_t i = 0; i < plain.rgba.size(); i += 4) {
            const bool same = plain.rgba[i] == quick.rgba[i] && plain.rgba[i + 1] == quick.rgba[i + 1] &&
                              plain.rgba[i + 2] == quick.rgba[i + 2] && plain.rgba[i + 3] == quick.rgba[i + 3];
            if (same) continue;
            ++differing;
            marked.rgba[i] = 255, marked.rgba[i + 1] = 0, marked.rgba[i + 2] = 255;
        }
        EXPECT_EQ(differing, 0) << "pixels differ; marked in "
                                << rendertest::savePng(marked, "frame_compare_" + name + ".png");

        // Around every object that can be picked, too.
        std::vector<glm::ivec2> positions = readPositions();
        const std::size_t gridAndEdges = positions.size();
        for (const Settlement* s : game().settlements) {
            std::vector<const SceneObject*> objects = {s->tree, s->grenade};
            for (const auto* list : {&s->goodPeople, &s->badPeople}) objects.insert(objects.end(), list->begin(), list->end());
            for (const SceneObject* o : objects) {
                const glm::ivec2 c = rendertest::screenPoint(game(), o->position + glm::vec3(0.0f, 8.0f, 0.0f));
                for (int d = -4; d <= 4; d += 4)
                    if (c.x + d >= 0 && c.x + d < width && c.y >= 0 && c.y < height) positions.emplace_back(c.x + d, c.y);
            }
        }
        int wrongIds = 0, objectsFound = 0;
        for (const glm::ivec2& p : positions) {
            const int expected = plainIds[static_cast<std::size_t>(p.y * width + p.x)];
            const int read = game().readObjectId(p.x, p.y);
            objectsFound += expected != 0 ? 1 : 0;
            if (read != expected && ++wrongIds <= 5)
                ADD_FAILURE() << "id at (" << p.x << ", " << p.y << "): " << read << ", whole image " << expected;
        }
        EXPECT_EQ(wrongIds, 0);
        objectReads += objectsFound;

        // The squares a click reads around the cursor, around every object and in the window's corners.
        std::vector<glm::ivec2> centres(positions.begin() + static_cast<std::ptrdiff_t>(gridAndEdges), positions.end());
        centres.insert(centres.end(), {{0, 0}, {width - 1, 0}, {0, height - 1}, {width - 1, height - 1}});
        const int radius = nearbyPersonRadius(height);
        int wrongSquares = 0;
        for (const glm::ivec2& c : centres) {
            const IdSquare square = renderer().objectIdsAround(c.x, c.y, radius);
            int wrong = 0;
            for (int dy = -radius; dy <= radius; ++dy)
                for (int dx = -radius; dx <= radius; ++dx) {
                    const int x = c.x + dx, y = c.y + dy;
                    const bool inside = x >= 0 && y >= 0 && x < width && y < height;
                    const int expected = inside ? plainIds[static_cast<std::size_t>(y * width + x)] : 0;
                    wrong += square.at(dx, dy) != expected ? 1 : 0;
                }
            if (wrong > 0 && ++wrongSquares <= 5)
                ADD_FAILURE() << wrong << " ids of the square around (" << c.x << ", " << c.y << ") differ";
        }
        EXPECT_EQ(wrongSquares, 0);
    }

    void aim(const glm::vec3& position, const glm::vec3& direction) {
        rendertest::placeCamera(game(), position, direction);
    }
    void playView() { aim(glm::vec3(0.0f, 576.0f, 576.0f), glm::vec3(0.0f, -1.0f, -1.0f)); }
    // A right click on the ground in front of the camera, the bolt well into its half second.
    void strikeGround() {
        game().mouse = MousePosition{width / 2 + 80, height / 2 + 60};
        game().onMouseButton(1);
        game().updateStrike(0.3f);
        ASSERT_TRUE(game().strike->visible);
        // People close around where it lands and the home tree beside it, so that its projected picture
        // falls on them too.
        const glm::vec3 landing(game().strike->position.x, 0.0f, game().strike->position.z);
        const glm::vec3 down = game().strike->direction;
        const glm::vec3 alongBolt = landing - down * (80.0f / -down.y);  // the bolt 80 units up
        home().tree->position = glm::vec3(alongBolt.x, 0.0f, alongBolt.z);
        // The picture is thrown from a point that slides up the bolt: late in the strike it is high
        // enough to reach the crown.
        game().strikeTimer = 0.49f;
        for (int k = 0; k < 8; ++k) {
            const float angle = static_cast<float>(k) * 0.785f;
            omxtest::addPerson(game(), home(), k % 2 ? ObjectType::BadPerson : ObjectType::GoodPerson, PersonState::Wandering,
                               landing + 25.0f * glm::vec3(std::cos(angle), 0.0f, std::sin(angle)), 45.0f * k);
        }
    }

    rendertest::Scene scene;
    int objectReads = 0;
};

TEST_F(FrameCompare, PlayIntroAndOverheadViewsAreTheSame) {
    playView();
    EXPECT_TRUE(groundCoversWindow(renderer())) << "the sky box is left out";
    expectSameFrame("play");
    settings().frustumCulling = true;
    expectSameFrame("play_culling");
    settings().frustumCulling = false;

    game().state = GameState::Intro;
    game().light->position.y = 20.0f;
    aim(glm::vec3(-1344.5f, 1809.2f, -1210.6f), glm::vec3(0.525f, -0.707f, 0.473f));
    expectSameFrame("intro");
    game().state = GameState::Playing;
    game().light->position.y = static_cast<float>(introLightHeight);

    // Inside the sky box, high over the middle of the world; then outside it, where its top hides all.
    aim(glm::vec3(0.0f, 4000.0f, 2600.0f), glm::vec3(0.0f, -1.0f, -0.55f));
    expectSameFrame("high");
    aim(glm::vec3(0.0f, 10000.0f, 0.0f), glm::vec3(0.0f, -1.0f, -0.01f));
    expectSameFrame("outside_sky");
    // The horizon, and the sky alone.
    aim(glm::vec3(0.0f, 300.0f, 2500.0f), glm::vec3(0.0f, -0.15f, -1.0f));
    EXPECT_FALSE(groundCoversWindow(renderer()));
    expectSameFrame("horizon");
    aim(glm::vec3(0.0f, 300.0f, 0.0f), glm::vec3(0.3f, 1.0f, -0.2f));
    expectSameFrame("sky");
    // Standing on the ground at the world's edge, looking out over the border.
    aim(glm::vec3(4300.0f, 40.0f, 100.0f), glm::vec3(1.0f, -0.05f, 0.2f));
    expectSameFrame("edge");
    EXPECT_GT(objectReads, 200) << "the reads found objects, not only empty ground";
}

TEST_F(FrameCompare, StrikeNightWireframeOverviewAndOpaqueViewsAreTheSame) {
    playView();
    strikeGround();
    expectSameFrame("strike");
    game().strikeKind = StrikeKind::Shoot;
    expectSameFrame("strike_left");

    settings().transparency = false;
    expectSameFrame("opaque_strike");
    game().strike->visible = false;
    expectSameFrame("opaque");
    settings().transparency = true;

    game().nightMode = true;
    game().light->position = glm::vec3(0.0f, 5.0f, 0.0f);
    expectSameFrame("night");
    game().nightMode = false;
    game().light->position.y = static_cast<float>(introLightHeight);

    game().badFactor = 0.8f;
    home().grenade->grenadeState = GrenadeState::Ready;
    game().settlements[1]->status = SettlementStatus::Won;
    game().settlements[2]->status = SettlementStatus::Lost;
    expectSameFrame("bad_mood_ready_decided");
    game().badFactor = 0.0f;

    settings().wireframe = true;
    expectSameFrame("wireframe");
    settings().wireframe = false;

    game().toggleOverview(nullptr);
    aim(game().camera->position, game().camera->direction);
    expectSameFrame("overview");
}

// The status display goes on the window after the world in both frames, and leaves the ids alone.
TEST_F(FrameCompare, WithTheStatusDisplayTheFramesAreTheSame) {
    ASSERT_TRUE(renderer().overlayReady());
    settings().statusDisplay = true;
    playView();
    game().updateStatus(0.0f);
    expectSameFrame("status");
    game().settlements[1]->status = SettlementStatus::Warning;
    game().settlements[1]->wall->blinkPhase = true;
    game().timeScale = 3.0f;
    game().setPaused(true);
    game().updateStatus(0.1f);
    ASSERT_FALSE(game().messageLog.messages().empty());
    expectSameFrame("status_paused_warning");
    game().state = GameState::Intro;
    game().updateStatus(0.1f);
    expectSameFrame("status_intro");
}

}  // namespace
