// GamePaceTest.cpp -- how a game goes when the player does nothing: whole worlds without a window, the intro
// ended with F1 and the controls panel closed, then untouched at 60 steps a second with the camera where the
// intro landed it. Asserts what the grenade rules guarantee whatever the people do (a grenade with no worker
// decays 10 a second from 0: it cannot warn before 126 s, nor be lost before 180 s or within 54 s of its last
// warning); prints, per seed, when the first settlement warns, when the first is lost, when the game is lost and
// when the lose picture comes up: the measured pace the README quotes. More seeds by hand, e.g.
//   OMNIVEX_PACE_SEEDS=20 ./tests/test_game --gtest_filter=GamePace.*
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "support/GameBuilders.h"

namespace {

constexpr int stepsPerSecond = 60;
constexpr float frame = 1.0f / stepsPerSecond;
// Long enough for every seed measured so far to lose (over seeds 1 to 60 the last lose picture came at 571 s).
constexpr double giveUpAfter = 1800.0;

// Seconds of decay from progress 0 at 10 a second: to the warning at -1260, to the loss at -1800, and from the
// one to the other.
constexpr double warningAfterDecay = 126.0;
constexpr double lossAfterDecay = 180.0;
constexpr double warningToLoss = 54.0;
// The game is decided in the first step without a running change of mood; such a change lasts one second.
constexpr double longestMoodChange = 1.0;
// The lose picture comes up once, six seconds of game time after the game is lost.
constexpr double losePictureDelay = 6.0;
// One step, and what float progress may drift in 10 000 of them.
constexpr double slack = 1.0 / stepsPerSecond + 0.05;

constexpr double never = -1.0;

struct SettlementPace {
    double firstWarning = never;
    double lastWarningStart = never;
    double lost = never;
    bool warnedJustBeforeLoss = false;
    float highestProgress = 0.0f;
};

struct GamePace {
    unsigned seed = 0;
    std::array<SettlementPace, 5> settlements;
    double firstWarning = never, firstLoss = never, thirdLoss = never, gameLost = never, losePicture = never;
    float progressAtStart = 0.0f;  // the lowest of the five when play begins
};

// The world of `seed`, played by nobody from the end of the intro until the lose picture (or giveUpAfter).
GamePace playUntouched(unsigned seed) {
    omxtest::World world(seed);
    world.startPlaying();
    Game& game = *world.game;
    GamePace pace;
    pace.seed = seed;
    pace.progressAtStart = 0.0f;
    for (const Settlement* s : game.settlements) pace.progressAtStart = std::min(pace.progressAtStart, s->grenadeProgress);

    std::array<SettlementStatus, 5> before{};
    for (size_t i = 0; i < 5; ++i) before[i] = game.settlements[i]->status;
    int lostCount = 0;
    omxtest::capturedStdout([&] {
        for (long step = 1; step <= static_cast<long>(giveUpAfter * stepsPerSecond); ++step) {
            game.update(frame);
            const double t = static_cast<double>(step) / stepsPerSecond;
            for (size_t i = 0; i < 5; ++i) {
                const Settlement& s = *game.settlements[i];
                SettlementPace& p = pace.settlements[i];
                p.highestProgress = std::max(p.highestProgress, s.grenadeProgress);
                if (s.status == SettlementStatus::Warning && before[i] != SettlementStatus::Warning) {
                    if (p.firstWarning == never) p.firstWarning = t;
                    if (pace.firstWarning == never) pace.firstWarning = t;
                    p.lastWarningStart = t;
                }
                if (s.status == SettlementStatus::Lost && before[i] != SettlementStatus::Lost) {
                    p.lost = t;
                    p.warnedJustBeforeLoss = before[i] == SettlementStatus::Warning;
                    if (++lostCount == 1) pace.firstLoss = t;
                    if (lostCount == 3) pace.thirdLoss = t;
                }
                before[i] = s.status;
            }
            if (pace.gameLost == never && game.state == GameState::Lost) pace.gameLost = t;
            if (game.state == GameState::Lost && game.overviewMode && game.infoPanel->visible) {
                pace.losePicture = t;
                break;
            }
        }
    });
    return pace;
}

std::string seconds(double t) {
    if (t == never) return "never";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", t);
    return text;
}

int seedCount() {
    const char* text = std::getenv("OMNIVEX_PACE_SEEDS");
    const int n = text ? std::atoi(text) : 0;
    return n > 0 ? n : 6;
}

TEST(GamePace, AnUntouchedWorldWarnsAndLosesNoSoonerThanItsGrenadesDecay) {
    std::printf("seed  first warning  first loss  third loss  game lost  lose picture  (s of play)\n");
    for (int n = 1; n <= seedCount(); ++n) {
        const GamePace pace = playUntouched(static_cast<unsigned>(n));
        SCOPED_TRACE("seed " + std::to_string(pace.seed));
        std::printf("%4u  %13s  %10s  %10s  %9s  %12s\n", pace.seed, seconds(pace.firstWarning).c_str(),
                    seconds(pace.firstLoss).c_str(), seconds(pace.thirdLoss).c_str(), seconds(pace.gameLost).c_str(),
                    seconds(pace.losePicture).c_str());
        // Every grenade starts at 0: the intro ran the settlements for one tiny step only.
        EXPECT_GT(pace.progressAtStart, -0.01f);

        for (size_t i = 0; i < 5; ++i) {
            const SettlementPace& p = pace.settlements[i];
            SCOPED_TRACE("settlement " + std::to_string(i));
            if (p.firstWarning != never) {
                EXPECT_GE(p.firstWarning, warningAfterDecay - slack);
            }
            if (p.lost == never) continue;
            EXPECT_GE(p.lost, lossAfterDecay - slack);
            EXPECT_TRUE(p.warnedJustBeforeLoss) << "lost without a warning";
            EXPECT_GE(p.lost - p.lastWarningStart, warningToLoss - slack);
        }

        // Lost exactly when the third settlement falls, or once a running change of mood has ended.
        if (pace.thirdLoss == never) {
            EXPECT_EQ(pace.gameLost, never);
            continue;
        }
        ASSERT_NE(pace.gameLost, never);
        EXPECT_GE(pace.gameLost, pace.thirdLoss);
        EXPECT_LE(pace.gameLost, pace.thirdLoss + longestMoodChange + slack);
        ASSERT_NE(pace.losePicture, never);
        EXPECT_NEAR(pace.losePicture - pace.gameLost, losePictureDelay, slack);
    }
}

}  // namespace
