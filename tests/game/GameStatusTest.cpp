// GameStatusTest.cpp -- what the status display is told about a game: each settlement's mark by its status and its
// grenade, the grenade's progress, the blink, the places, counts, speed, pause and intro; the messages the game's
// own updates bring; the mark under a pixel; and the flight to a settlement by its number.
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "game/GameStatus.h"
#include "support/GameBuilders.h"

using omxtest::SettlementWorld;
using omxtest::World;

namespace {

std::string name(MarkStatus status) {
    const char* names[] = {"being built", "warning", "ready to throw", "thrown", "won", "lost"};
    return names[static_cast<int>(status)];
}

// A playing world whose intro is over and whose status has been taken once.
struct PlayingWorld : World {
    PlayingWorld() {
        startPlaying();
        run(0.1f, 0.1f);
    }
    Settlement& settlement(int i) { return *game->settlements[static_cast<std::size_t>(i)]; }
};

}  // namespace

TEST(MarkStatus, FollowsTheSettlementThenItsGrenade) {
    const struct {
        SettlementStatus status;
        GrenadeState grenade;
        MarkStatus shown;
    } cases[] = {
        {SettlementStatus::Active, GrenadeState::Growing, MarkStatus::BeingBuilt},
        {SettlementStatus::Warning, GrenadeState::Growing, MarkStatus::Warning},
        {SettlementStatus::Active, GrenadeState::Ready, MarkStatus::ReadyToThrow},
        {SettlementStatus::Active, GrenadeState::Rolling, MarkStatus::Thrown},
        {SettlementStatus::Active, GrenadeState::Exploding, MarkStatus::Thrown},
        {SettlementStatus::Won, GrenadeState::Exploding, MarkStatus::Won},
        {SettlementStatus::Won, GrenadeState::Gone, MarkStatus::Won},
        {SettlementStatus::Lost, GrenadeState::Sunk, MarkStatus::Lost},
    };
    SettlementWorld w;
    Settlement& s = w.addFixed();
    for (const auto& c : cases) {
        s.status = c.status;
        s.grenade->grenadeState = c.grenade;
        EXPECT_EQ(markStatusOf(s), c.shown) << "settlement status " << static_cast<int>(c.status) << ", grenade "
                                            << static_cast<int>(c.grenade) << ": expected " << name(c.shown);
    }
}

TEST(StatusOfGame, ProgressIsTheShareOfTheGrenadesWorkDone) {
    const struct {
        float grenadeProgress;
        float shown;
    } cases[] = {{-1500.0f, 0.0f}, {0.0f, 0.0f}, {1000.0f, 0.25f}, {3000.0f, 0.75f}, {4000.0f, 1.0f}, {4500.0f, 1.0f}};
    PlayingWorld w;
    for (const auto& c : cases) {
        w.settlement(3).grenadeProgress = c.grenadeProgress;
        EXPECT_FLOAT_EQ(statusInputOf(*w.game).settlements[3].progress, c.shown) << c.grenadeProgress;
    }
}

TEST(StatusOfGame, AWarningMarkIsLitWhileItsWallIs) {
    PlayingWorld w;
    w.settlement(1).status = SettlementStatus::Warning;
    for (const bool lit : {true, false, true}) {
        w.settlement(1).wall->blinkPhase = lit;
        EXPECT_EQ(statusInputOf(*w.game).settlements[1].blinkOn, lit);
    }
}

TEST(StatusOfGame, EachSettlementIsPlacedAtItsWallWhichStaysWhereItWasBuilt) {
    PlayingWorld w;
    for (int i = 0; i < 5; ++i) {
        const glm::vec3 built = w.settlement(i).position;
        EXPECT_EQ(statusInputOf(*w.game).settlements[static_cast<std::size_t>(i)].position, glm::vec2(built.x, built.z))
            << "settlement " << i;
    }
    // A won settlement floats up and its centre moves off with its wall; its mark stays.
    Settlement& s = w.settlement(2);
    const glm::vec2 built(s.position.x, s.position.z);
    s.status = SettlementStatus::Won;
    s.tree->gone = true;
    s.grenade->grenadeState = GrenadeState::Gone;
    w.run(10.0f, 0.1f);
    ASSERT_NE(glm::vec2(s.position.x, s.position.z), built) << "the settlement's centre was meant to have moved";
    EXPECT_EQ(statusInputOf(*w.game).settlements[2].position, built);
}

TEST(StatusOfGame, CountsWonAndLostSettlements) {
    PlayingWorld w;
    w.settlement(0).status = SettlementStatus::Won;
    w.settlement(3).status = SettlementStatus::Won;
    w.settlement(4).status = SettlementStatus::Lost;
    const StatusInput input = statusInputOf(*w.game);
    EXPECT_EQ(input.wonCount, 2);
    EXPECT_EQ(input.lostCount, 1);
}

TEST(StatusOfGame, TheGamesOutcomeFollowsItsState) {
    const struct {
        GameState state;
        GameOutcome outcome;
        bool intro;
    } cases[] = {{GameState::Intro, GameOutcome::Playing, true},
                 {GameState::Playing, GameOutcome::Playing, false},
                 {GameState::Won, GameOutcome::Won, false},
                 {GameState::Lost, GameOutcome::Lost, false}};
    World w;
    for (const auto& c : cases) {
        w.game->state = c.state;
        const StatusInput input = statusInputOf(*w.game);
        EXPECT_EQ(input.outcome, c.outcome) << static_cast<int>(c.state);
        EXPECT_EQ(input.intro, c.intro) << static_cast<int>(c.state);
    }
}

TEST(StatusOfGame, SpeedAndPauseAreTheGames) {
    PlayingWorld w;
    w.game->timeScale = 3.0f;
    w.game->setPaused(true);
    const StatusInput input = statusInputOf(*w.game);
    EXPECT_EQ(input.speed, 3.0f);
    EXPECT_TRUE(input.paused);
    EXPECT_EQ(statusView(input).speed, "Speed 3×");
}

TEST(StatusOfGame, TheCameraIsWhereItFliesLookingAlongItsLastHorizontalDirection) {
    PlayingWorld w;
    Game& g = *w.game;
    g.camera->position = glm::vec3(1500.0f, 300.0f, -700.0f);
    g.camera->direction = glm::normalize(glm::vec3(1.0f, -1.0f, 0.0f));
    w.run(0.1f, 0.1f);
    EXPECT_EQ(g.statusNow.cameraPosition, glm::vec2(1500.0f, -700.0f));
    EXPECT_NEAR(glm::length(g.statusNow.cameraDirection - glm::vec2(1.0f, 0.0f)), 0.0f, 1e-5f);
    // Straight down, it keeps the last direction it had.
    g.camera->direction = glm::vec3(0.0f, -1.0f, 0.0f);
    w.run(0.1f, 0.1f);
    EXPECT_NEAR(glm::length(g.statusNow.cameraDirection - glm::vec2(1.0f, 0.0f)), 0.0f, 1e-5f);
}

TEST(StatusOfGame, EachUpdateTakesTheWorldAsItStands) {
    PlayingWorld w;
    w.settlement(4).status = SettlementStatus::Lost;
    w.settlement(4).grenade->grenadeState = GrenadeState::Sunk;
    EXPECT_NE(w.game->statusNow.settlements[4].status, MarkStatus::Lost);
    w.run(0.1f, 0.1f);
    EXPECT_EQ(w.game->statusNow.settlements[4].status, MarkStatus::Lost);
}

TEST(StatusMessagesInPlay, ASettlementThatWarnsIsAnnouncedOnceByTheGamesOwnUpdates) {
    PlayingWorld w;
    EXPECT_TRUE(w.game->messageLog.messages().empty());
    // Nobody works on settlement 3's grenade: it is one second from the warning.
    w.settlement(2).grenadeProgress = -1250.0f;
    w.run(2.0f, 0.1f);
    ASSERT_EQ(w.game->messageLog.messages().size(), 1u);
    EXPECT_EQ(w.game->messageLog.messages()[0].text, "Settlement 3 is in danger: nobody is working on its grenade");
}

TEST(StatusMessagesInPlay, WaitWhileTheGameIsPausedAndAgeOnRealTime) {
    PlayingWorld w;
    Game& g = *w.game;
    w.settlement(2).status = SettlementStatus::Won;
    w.settlement(2).tree->gone = true;
    w.settlement(2).grenade->grenadeState = GrenadeState::Gone;
    w.run(0.1f, 0.1f);
    ASSERT_EQ(g.messageLog.messages().size(), 1u);
    const float age = g.messageLog.messages()[0].age;
    g.setPaused(true);
    w.run(3.0f, 0.1f);
    EXPECT_EQ(g.messageLog.messages()[0].age, age);
    g.setPaused(false);
    // Three times as fast, a real second is three seconds of game time.
    g.timeScale = 3.0f;
    for (int i = 0; i < 10; ++i) g.update(0.1f * g.timeScale);
    EXPECT_NEAR(g.messageLog.messages()[0].age - age, 1.0f, 1e-4f);
}

TEST(MarkUnderTheCursor, IsFoundAtEachMarkAndNowhereElse) {
    PlayingWorld w;
    const Game& g = *w.game;
    const StatusLayout layout = statusLayout(g.windowWidth, g.windowHeight);
    const StatusView view = statusView(g.statusNow);
    for (int i = 0; i < 5; ++i) {
        const glm::vec2 centre = markCentre(layout, view.marks[static_cast<std::size_t>(i)]);
        const MousePosition at{static_cast<int>(centre.x), static_cast<int>(centre.y)};
        EXPECT_EQ(settlementMarkAt(g, at), i);
    }
    EXPECT_EQ(settlementMarkAt(g, MousePosition{600, 400}), -1);  // the world
    // The counts under the map are part of the display but no target.
    EXPECT_EQ(settlementMarkAt(g, MousePosition{static_cast<int>(layout.countsAnchor.x),
                                                static_cast<int>(layout.countsAnchor.y) - 4}),
              -1);
}

TEST(MarkUnderTheCursor, NoneDuringTheIntro) {
    World w;
    w.run(0.1f, 0.1f);
    const Game& g = *w.game;
    const StatusLayout layout = statusLayout(g.windowWidth, g.windowHeight);
    const glm::vec2 centre = markCentre(layout, statusView(g.statusNow).marks[0]);
    EXPECT_EQ(settlementMarkAt(g, MousePosition{static_cast<int>(centre.x), static_cast<int>(centre.y)}), -1);
}

namespace {

// Flies with real-time frames of 1/60 s until the camera has no target (or a minute has passed); returns the
// seconds flown.
float flyUntilArrived(World& w, float& lowest) {
    Game& g = *w.game;
    float flown = 0.0f;
    lowest = g.camera->position.y;
    omxtest::capturedStdout([&] {
        for (; g.camera->target && flown < 60.0f; flown += 1.0f / 60.0f) {
            g.update(g.timeScale / 60.0f);
            lowest = std::fmin(lowest, g.camera->position.y);
        }
    });
    return flown;
}

}  // namespace

TEST(FlightToASettlement, ReachesEachTreeAsARightClickOnItDoes) {
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE("settlement " + std::to_string(i + 1));
        PlayingWorld byKey, byClick;
        SceneObject& tree = *byKey.settlement(i).tree;
        byKey.game->flyToSettlement(i);
        byClick.game->actOnClick(MouseButton::Right, byClick.settlement(i).tree->id);
        ASSERT_EQ(byKey.game->camera->target, &tree);
        // Frame by frame the same flight.
        for (int frame = 0; frame < 30; ++frame) {
            byKey.run(1.0f / 60.0f, 1.0f / 60.0f);
            byClick.run(1.0f / 60.0f, 1.0f / 60.0f);
        }
        EXPECT_EQ(byKey.game->camera->position, byClick.game->camera->position);
        float lowest = 0.0f;
        flyUntilArrived(byKey, lowest);
        EXPECT_EQ(byKey.game->camera->target, nullptr) << "it did not arrive";
        EXPECT_LT(glm::distance(byKey.game->camera->position, tree.position + glm::vec3(0.0f, 80.0f, 0.0f)), 250.0f);
    }
}

TEST(FlightToASettlement, BringsTheStrikeDownOnTheTreeUntilArrival) {
    PlayingWorld w;
    Game& g = *w.game;
    w.sound.clear();
    g.flyToSettlement(3);
    const SceneObject& tree = *w.settlement(3).tree;
    EXPECT_TRUE(g.strike->visible);
    EXPECT_EQ(g.strikeKind, StrikeKind::Pick);
    EXPECT_EQ(w.sound.playCount(SoundLightningPick), 1);
    EXPECT_EQ(g.strike->position, tree.position);
    w.run(0.5f, 0.1f);
    EXPECT_TRUE(g.strike->visible) << "the strike stays on the tree while the camera flies";
    float lowest = 0.0f;
    flyUntilArrived(w, lowest);
    w.run(0.6f, 0.1f);
    EXPECT_FALSE(g.strike->visible);
}

TEST(FlightToASettlement, KeepsAboveTheFloorFromLowDown) {
    PlayingWorld w;
    Game& g = *w.game;
    g.camera->position = glm::vec3(0.0f, 12.0f, 0.0f);
    g.camera->direction = glm::normalize(glm::vec3(0.0f, -0.9f, 0.1f));
    g.flyToSettlement(2);
    float lowest = 0.0f;
    flyUntilArrived(w, lowest);
    EXPECT_EQ(g.camera->target, nullptr);
    EXPECT_GE(lowest, 10.0f);
}

TEST(FlightToASettlement, GoesToTheMonumentOfADecidedSettlement) {
    const struct {
        SettlementStatus status;
        bool treeGone;
    } cases[] = {{SettlementStatus::Won, true}, {SettlementStatus::Lost, false}};
    for (const auto& c : cases) {
        PlayingWorld w;
        Settlement& s = w.settlement(1);
        s.status = c.status;
        s.tree->gone = c.treeGone;
        w.game->flyToSettlement(1);
        EXPECT_EQ(w.game->camera->target, s.monument) << static_cast<int>(c.status);
        float lowest = 0.0f;
        flyUntilArrived(w, lowest);
        EXPECT_EQ(w.game->camera->target, nullptr) << static_cast<int>(c.status);
        const glm::vec3 monument = s.monument->position;
        EXPECT_LT(glm::distance(glm::vec2(w.game->camera->position.x, w.game->camera->position.z),
                                glm::vec2(monument.x, monument.z)),
                  250.0f)
            << static_cast<int>(c.status);
    }
}

TEST(FlightToASettlement, PausedTheCameraFliesWithoutLightning) {
    PlayingWorld w;
    Game& g = *w.game;
    g.setPaused(true);
    w.sound.clear();
    g.flyToSettlement(4);
    EXPECT_EQ(g.camera->target, w.settlement(4).tree);
    EXPECT_FALSE(g.strike->visible);
    EXPECT_EQ(w.sound.playCount(SoundLightningPick), 0);
    float lowest = 0.0f;
    flyUntilArrived(w, lowest);
    EXPECT_EQ(g.camera->target, nullptr);
}

TEST(FlightToASettlement, NothingInTheIntroTheOverviewOrForAnotherNumber) {
    World intro;
    intro.game->flyToSettlement(0);
    EXPECT_EQ(intro.game->camera->target, nullptr) << "intro";
    PlayingWorld overview;
    overview.game->toggleOverview(nullptr);
    overview.game->flyToSettlement(0);
    EXPECT_EQ(overview.game->camera->target, nullptr) << "overview";
    PlayingWorld playing;
    for (const int index : {-1, 5}) {
        playing.game->flyToSettlement(index);
        EXPECT_EQ(playing.game->camera->target, nullptr) << index;
        EXPECT_FALSE(playing.game->strike->visible) << index;
    }
}
