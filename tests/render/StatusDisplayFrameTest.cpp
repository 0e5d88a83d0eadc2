// StatusDisplayFrameTest.cpp -- the status display on the real frame: drawn over the world on the window, never
// into the id image, so a click on its plates and lines still finds the object below; a ready grenade's mark shows
// gold and a won settlement's a green square, each with its message (their pictures are kept for the
// documentation); under the overview's panel the messages wait.
#include <gtest/gtest.h>

#include <cmath>

#include "RenderFixture.h"
#include "app/App.h"
#include "game/GameStatus.h"
#include "support/GlContext.h"

namespace {

class StatusDisplayFrame : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rendertest::buildRealWorld(scene)) << "no world drawn: " << omxtest::glContextFailure();
        ASSERT_TRUE(scene.renderer->overlayReady()) << "the overlay's programs did not build";
        scene.renderer->settings.statusDisplay = true;
        game().updateStatus(0.0f);
    }
    void TearDown() override {
        ::game = nullptr;
        playerSwitches = PlayerSwitches{};
    }
    Game& game() { return *scene.game; }
    Settlement& settlement(int i) { return *scene.game->settlements[static_cast<std::size_t>(i)]; }
    // The frame with the display switched as asked.
    omxtest::Image frame(bool display) {
        scene.renderer->settings.statusDisplay = display;
        game().render();
        return rendertest::windowImage(game());
    }
    // Colour (0..1) of the window pixel at (x, y) from the top-left corner.
    glm::vec3 colourAt(const omxtest::Image& image, int x, int y) {
        const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                               static_cast<std::size_t>(x)) * 4;
        return glm::vec3(image.rgba[i], image.rgba[i + 1], image.rgba[i + 2]) / 255.0f;
    }

    rendertest::Scene scene;
};

// A pixel of each kind of plate that is no mark: the counts under the map, "Paused", and a message.
TEST_F(StatusDisplayFrame, AClickOnThePlatesAndLinesStillHitsTheTreeBelowThem) {
    game().setPaused(true);
    settlement(2).status = SettlementStatus::Won;
    settlement(2).tree->gone = true;
    game().updateStatus(0.1f);
    ASSERT_EQ(game().messageLog.messages().size(), 1u);
    const StatusLayout layout = statusLayout(game().windowWidth, game().windowHeight);
    const struct {
        const char* part;
        glm::vec2 pixel;  // from the top-left corner
    } places[] = {
        {"the counts", layout.countsAnchor - glm::vec2(0.0f, 3.0f)},
        {"Paused", layout.pausedAnchor - glm::vec2(0.0f, 6.0f)},
        {"a message", layout.messageAnchor - glm::vec2(0.0f, 4.0f)},
    };
    ::game = &game();
    SceneObject& tree = *settlement(0).tree;
    for (const auto& place : places) {
        SCOPED_TRACE(place.part);
        rendertest::overlookHome(scene);
        const MousePosition cursor{static_cast<int>(place.pixel.x), static_cast<int>(place.pixel.y)};
        game().mouse = cursor;
        // The tree stands on the ground seen at that pixel.
        tree.position = game().pickGround();
        const int row = game().windowHeight - 1 - cursor.y;
        const omxtest::Image without = frame(false);
        ASSERT_EQ(game().readObjectId(cursor.x, row), tree.id) << "the tree is not under the pixel";
        const omxtest::Image with = frame(true);
        const glm::vec3 change = glm::abs(colourAt(with, cursor.x, cursor.y) - colourAt(without, cursor.x, cursor.y));
        EXPECT_GT(std::fmax(change.r, std::fmax(change.g, change.b)), 0.05f) << "the display is not drawn there";
        EXPECT_EQ(game().readObjectId(cursor.x, row), tree.id);
        EXPECT_EQ(settlementMarkAt(game(), cursor), -1);
        // A right click there is a right click on the tree: the camera flies to it.
        game().setPaused(false);
        game().camera->target = nullptr;
        clickAt(MouseButton::Right, cursor);
        EXPECT_EQ(game().camera->target, &tree);
        game().camera->target = nullptr;
        game().setPaused(true);
    }
}

TEST_F(StatusDisplayFrame, AReadyGrenadesMarkShowsGoldOverTheWorld) {
    Settlement& s = settlement(2);
    // Workers round the finished grenade, the camera above them.
    s.grenadeProgress = 4000.0f;
    s.grenade->grenadeState = GrenadeState::Ready;
    s.grenadeBorder->gone = true;
    for (int k = 0; k < 10; ++k) {
        const float angle = static_cast<float>(k) * 0.628f;
        omxtest::addPerson(game(), s, ObjectType::GoodPerson, PersonState::Working,
                           s.grenade->position + 70.0f * glm::vec3(std::cos(angle), 0.0f, std::sin(angle)), 36.0f * k);
    }
    rendertest::placeCamera(game(), s.grenade->position + glm::vec3(0.0f, 260.0f, 330.0f), glm::vec3(0.0f, -0.62f, -1.0f));
    game().glowTime = 0.4f;
    game().updateStatus(0.1f);
    ASSERT_EQ(game().messageLog.messages().size(), 1u);
    EXPECT_EQ(game().messageLog.messages()[0].text, "Settlement 3's grenade is ready: left-click it to throw it");

    const omxtest::Image shown = frame(true);
    rendertest::savePng(shown, "status-ready.png");
    const StatusLayout layout = statusLayout(game().windowWidth, game().windowHeight);
    const glm::vec2 centre = markCentre(layout, statusView(game().statusNow).marks[2]);
    // Inside the mark, beside its number.
    const glm::vec3 fill = colourAt(shown, static_cast<int>(centre.x - layout.markRadius * 0.6f), static_cast<int>(centre.y));
    EXPECT_GT(fill.r, 0.85f);
    EXPECT_GT(fill.g, 0.65f);
    EXPECT_LT(fill.b, 0.4f);
}

TEST_F(StatusDisplayFrame, AWonSettlementsMarkIsAGreenSquareWithItsMessage) {
    Settlement& s = settlement(2);
    s.status = SettlementStatus::Won;
    s.tree->gone = true;
    s.grenade->grenadeState = GrenadeState::Gone;
    // Its monument has risen and the settlement floats up.
    for (int step = 0; step < 60; ++step) s.updateWalls(0.1f);
    ASSERT_TRUE(s.monument->risen);
    rendertest::placeCamera(game(), s.monument->position + glm::vec3(0.0f, 420.0f, 820.0f), glm::vec3(0.0f, -0.4f, -1.0f));
    game().updateStatus(0.1f);
    ASSERT_EQ(game().messageLog.messages().size(), 1u);
    EXPECT_EQ(game().messageLog.messages()[0].text, "Settlement 3 is won");

    const omxtest::Image shown = frame(true);
    rendertest::savePng(shown, "status-won.png");
    const StatusLayout layout = statusLayout(game().windowWidth, game().windowHeight);
    const glm::vec2 centre = markCentre(layout, statusView(game().statusNow).marks[2]);
    // The square's corner, inside its border, is as filled as its middle.
    const glm::vec3 fill = colourAt(shown, static_cast<int>(centre.x - layout.markRadius * 0.6f),
                                    static_cast<int>(centre.y - layout.markRadius * 0.6f));
    EXPECT_GT(fill.g, 0.5f);
    EXPECT_GT(fill.g, 2.0f * fill.r);
    EXPECT_GT(fill.g, 2.0f * fill.b);
}

TEST_F(StatusDisplayFrame, InTheOverviewTheMessagesWaitUnderThePanel) {
    settlement(2).status = SettlementStatus::Warning;
    game().updateStatus(0.1f);
    ASSERT_EQ(game().messageLog.messages().size(), 1u);
    const StatusLayout layout = statusLayout(game().windowWidth, game().windowHeight);
    const int x0 = static_cast<int>(layout.messageAnchor.x) - 200, x1 = x0 + 400;
    const int y1 = game().windowHeight, y0 = static_cast<int>(layout.messageAnchor.y - layout.messageSpacing);
    const auto messageChange = [&](const omxtest::Image& a, const omxtest::Image& b) {
        return a.meanDifference(b, x0, y0, x1, y1);
    };
    game().toggleOverview(nullptr);
    const omxtest::Image overview = frame(true);
    EXPECT_LT(messageChange(overview, frame(false)), 0.01) << "a message over the panel";
    const PixelRect plate = layout.plate;
    EXPECT_GT(overview.meanDifference(frame(false), static_cast<int>(plate.x), static_cast<int>(plate.y),
                                      static_cast<int>(plate.x + plate.width), static_cast<int>(plate.y + plate.height)),
              5.0)
        << "the map is not shown in the overview";
    game().toggleOverview(nullptr);
    EXPECT_GT(messageChange(frame(true), frame(false)), 5.0) << "the message did not come back with the world";
}

}  // namespace
