// StatusDisplayTest.cpp -- the status display's content without GL: each settlement's mark by status and
// progress, the map's area and the camera on it, the counts, speed and pause lines, the layout at two window
// sizes with the mark hit test, and the messages for each change that matters, each once.
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "game/StatusDisplay.h"

namespace {

// Five settlements in a cross 2000 apart around the origin, all being built.
StatusInput crossWorld() {
    StatusInput input;
    const glm::vec2 places[5] = {{0.0f, 0.0f}, {2000.0f, 0.0f}, {0.0f, 2000.0f}, {-2000.0f, 0.0f}, {0.0f, -2000.0f}};
    for (std::size_t i = 0; i < 5; ++i) input.settlements[i].position = places[i];
    return input;
}

StatusView viewWith(MarkStatus status, float progress = 0.0f, bool blinkOn = false) {
    StatusInput input = crossWorld();
    input.settlements[2].status = status;
    input.settlements[2].progress = progress;
    input.settlements[2].blinkOn = blinkOn;
    return statusView(input);
}

const MarkStatus allStatuses[] = {MarkStatus::BeingBuilt, MarkStatus::Warning, MarkStatus::ReadyToThrow,
                                  MarkStatus::Thrown,     MarkStatus::Won,     MarkStatus::Lost};

std::string name(MarkStatus status) {
    const char* names[] = {"being built", "warning", "ready to throw", "thrown", "won", "lost"};
    return names[static_cast<int>(status)];
}

}  // namespace

TEST(StatusMarks, CarryTheSettlementsNumbersInOrder) {
    const StatusView view = statusView(crossWorld());
    for (int i = 0; i < 5; ++i) EXPECT_EQ(view.marks[static_cast<std::size_t>(i)].number, i + 1);
}

TEST(StatusMarks, OpenSettlementsAreRoundAndDecidedOnesSquare) {
    const struct {
        MarkStatus status;
        MarkShape shape;
    } cases[] = {{MarkStatus::BeingBuilt, MarkShape::Round}, {MarkStatus::Warning, MarkShape::Round},
                 {MarkStatus::ReadyToThrow, MarkShape::Round}, {MarkStatus::Thrown, MarkShape::Round},
                 {MarkStatus::Won, MarkShape::Square},         {MarkStatus::Lost, MarkShape::Square}};
    for (const auto& c : cases) EXPECT_EQ(viewWith(c.status).marks[2].shape, c.shape) << name(c.status);
}

TEST(StatusMarks, EachStatusHasAFillOfItsOwn) {
    for (MarkStatus a : allStatuses)
        for (MarkStatus b : allStatuses) {
            if (a == b) continue;
            EXPECT_NE(viewWith(a, 0.5f).marks[2].fill, viewWith(b, 0.5f).marks[2].fill)
                << name(a) << " and " << name(b) << " look alike";
        }
}

TEST(StatusMarks, AGrowingGrenadeShowsItsProgressAsAnArc) {
    const struct {
        float given, shown;
    } cases[] = {{0.0f, 0.0f}, {0.25f, 0.25f}, {0.5f, 0.5f}, {0.99f, 0.99f}, {1.0f, 1.0f},
                 {-0.4f, 0.0f}, {1.7f, 1.0f}, {std::numeric_limits<float>::quiet_NaN(), 0.0f}};
    for (MarkStatus status : {MarkStatus::BeingBuilt, MarkStatus::Warning})
        for (const auto& c : cases) {
            const MapMark mark = viewWith(status, c.given).marks[2];
            EXPECT_TRUE(mark.showsProgress) << name(status);
            EXPECT_FLOAT_EQ(mark.progress, c.shown) << name(status) << " at " << c.given;
        }
}

TEST(StatusMarks, FinishedAndDecidedSettlementsShowNoProgressArc) {
    for (MarkStatus status : {MarkStatus::ReadyToThrow, MarkStatus::Thrown, MarkStatus::Won, MarkStatus::Lost})
        EXPECT_FALSE(viewWith(status, 0.6f).marks[2].showsProgress) << name(status);
}

TEST(StatusMarks, AWarningBlinksWithItsWall) {
    const MapMark lit = viewWith(MarkStatus::Warning, 0.0f, true).marks[2];
    const MapMark dark = viewWith(MarkStatus::Warning, 0.0f, false).marks[2];
    EXPECT_NE(lit.fill, dark.fill);
    EXPECT_GT(lit.fill.r, dark.fill.r) << "the lit half is the brighter one";
    EXPECT_TRUE(lit.halo);
    EXPECT_FALSE(dark.halo);
}

TEST(StatusMarks, OnlyAReadyGrenadeAndALitWarningHaveAHalo) {
    for (MarkStatus status : allStatuses) {
        const bool expected = status == MarkStatus::ReadyToThrow || status == MarkStatus::Warning;
        EXPECT_EQ(viewWith(status, 0.3f, true).marks[2].halo, expected) << name(status);
    }
}

TEST(StatusMarks, TheBlinkChangesNothingOutsideAWarning) {
    for (MarkStatus status : allStatuses) {
        if (status == MarkStatus::Warning) continue;
        EXPECT_EQ(viewWith(status, 0.3f, true).marks[2].fill, viewWith(status, 0.3f, false).marks[2].fill) << name(status);
    }
}

TEST(StatusMap, ShowsTheSettlementsWithRoomAroundThem) {
    const StatusView view = statusView(crossWorld());
    // Spread 4000, and 1200 on each side: 6400 across, centred on the cross.
    EXPECT_FLOAT_EQ(view.areaSize, 6400.0f);
    EXPECT_FLOAT_EQ(view.areaCorner.x, -3200.0f);
    EXPECT_FLOAT_EQ(view.areaCorner.y, -3200.0f);
    const glm::vec2 expected[5] = {{0.5f, 0.5f}, {0.8125f, 0.5f}, {0.5f, 0.8125f}, {0.1875f, 0.5f}, {0.5f, 0.1875f}};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_FLOAT_EQ(view.marks[i].place.x, expected[i].x) << "settlement " << i + 1;
        EXPECT_FLOAT_EQ(view.marks[i].place.y, expected[i].y) << "settlement " << i + 1;
    }
}

TEST(StatusMap, SettlementsCloseTogetherGetASmallestAreaAndMarksThatDoNotOverlap) {
    StatusInput input;
    // The closest the world allows: 960 apart, in a row.
    for (std::size_t i = 0; i < 5; ++i) input.settlements[i].position = glm::vec2(960.0f * static_cast<float>(i), 100.0f);
    const StatusView view = statusView(input);
    EXPECT_FLOAT_EQ(view.areaSize, 960.0f * 4.0f + 2400.0f);
    for (const auto& size : {glm::ivec2(1200, 800), glm::ivec2(3840, 2160)}) {
        const StatusLayout layout = statusLayout(size.x, size.y);
        for (std::size_t i = 0; i + 1 < 5; ++i) {
            const glm::vec2 a = markCentre(layout, view.marks[i]), b = markCentre(layout, view.marks[i + 1]);
            EXPECT_GE(glm::length(b - a), 2.0f * layout.markRadius) << "marks " << i + 1 << " and " << i + 2;
            EXPECT_LT(a.x, b.x) << "the row keeps its order";
        }
    }
}

TEST(StatusMap, MarksOnTheSameSpotArePartedAndStayOnTheMap) {
    StatusInput input;  // all five at the origin
    const StatusView view = statusView(input);
    const StatusLayout layout = statusLayout(1200, 800);
    for (std::size_t i = 0; i < 5; ++i) {
        const glm::vec2 centre = markCentre(layout, view.marks[i]);
        EXPECT_TRUE(layout.map.contains(centre)) << "mark " << i + 1;
        for (std::size_t j = i + 1; j < 5; ++j)
            EXPECT_GE(glm::length(markCentre(layout, view.marks[j]) - centre), 2.0f * layout.markRadius)
                << "marks " << i + 1 << " and " << j + 1;
    }
}

TEST(StatusMap, TheCameraIsPlacedWithItsViewDirection) {
    StatusInput input = crossWorld();
    input.cameraPosition = glm::vec2(1600.0f, -1600.0f);
    input.cameraDirection = glm::vec2(3.0f, 4.0f);
    const CameraMark camera = statusView(input).camera;
    EXPECT_FLOAT_EQ(camera.place.x, 0.75f);
    EXPECT_FLOAT_EQ(camera.place.y, 0.25f);
    EXPECT_FALSE(camera.outside);
    EXPECT_FLOAT_EQ(camera.direction.x, 0.6f);
    EXPECT_FLOAT_EQ(camera.direction.y, 0.8f);
}

TEST(StatusMap, ACameraBeyondTheMapSitsOnItsEdge) {
    StatusInput input = crossWorld();
    input.cameraPosition = glm::vec2(0.0f, 9000.0f);  // far beyond the bottom
    const CameraMark camera = statusView(input).camera;
    EXPECT_TRUE(camera.outside);
    EXPECT_FLOAT_EQ(camera.place.x, 0.5f);
    EXPECT_FLOAT_EQ(camera.place.y, 1.0f);
}

TEST(StatusMap, ACameraLookingStraightDownPointsNorth) {
    StatusInput input = crossWorld();
    input.cameraDirection = glm::vec2(0.0f);
    const CameraMark camera = statusView(input).camera;
    EXPECT_FLOAT_EQ(camera.direction.x, 0.0f);
    EXPECT_FLOAT_EQ(camera.direction.y, -1.0f);
}

TEST(StatusLines, CountsAreShownAgainstThree) {
    StatusInput input = crossWorld();
    input.wonCount = 1;
    input.lostCount = 2;
    EXPECT_EQ(statusView(input).counts, "Won 1/3 · Lost 2/3");
}

TEST(StatusLines, TheSpeedIsShownWhenItIsNotNormal) {
    const struct {
        float speed;
        const char* text;
    } cases[] = {{1.0f, ""},           {1.04f, ""},           {3.0f, "Speed 3×"},   {2.9999f, "Speed 3×"},
                 {0.5f, "Speed 0.5×"}, {1.7f, "Speed 1.7×"}, {0.0f, "Speed 0×"},   {-0.01f, "Speed 0×"},
                 {12.0f, "Speed 12×"}, {std::numeric_limits<float>::infinity(), ""}};
    for (const auto& c : cases) EXPECT_EQ(speedText(c.speed), c.text) << "at " << c.speed;
    StatusInput input = crossWorld();
    input.speed = 3.0f;
    EXPECT_EQ(statusView(input).speed, "Speed 3×");
}

TEST(StatusLines, PausedIsShownOnlyWhilePaused) {
    StatusInput input = crossWorld();
    EXPECT_EQ(statusView(input).paused, "");
    EXPECT_EQ(statusView(input).pausedHint, "");
    input.paused = true;
    EXPECT_EQ(statusView(input).paused, "Paused");
    EXPECT_EQ(statusView(input).pausedHint, "Press P to resume");
}

TEST(StatusLayoutTest, ScalesWithTheWindow) {
    const StatusLayout small = statusLayout(1200, 800), large = statusLayout(3840, 2160);
    EXPECT_FLOAT_EQ(small.scale, 1.0f);
    EXPECT_FLOAT_EQ(large.scale, 2.7f);
    EXPECT_FLOAT_EQ(large.map.width, small.map.width * 2.7f);
    EXPECT_FLOAT_EQ(large.messageSize, small.messageSize * 2.7f);
    EXPECT_GE(small.countsSize, 14.0f) << "the smallest text must stay readable";
    EXPECT_GE(small.numberSize, 14.0f);
}

TEST(StatusLayoutTest, AHiDpiFramebufferGetsEverythingTwiceAsLarge) {
    const StatusLayout normal = statusLayout(1200, 800), doubled = statusLayout(2400, 1600);
    EXPECT_FLOAT_EQ(doubled.map.x, 2.0f * normal.map.x);
    EXPECT_FLOAT_EQ(doubled.map.y, 2.0f * normal.map.y);
    EXPECT_FLOAT_EQ(doubled.map.width, 2.0f * normal.map.width);
    EXPECT_FLOAT_EQ(doubled.markRadius, 2.0f * normal.markRadius);
    EXPECT_FLOAT_EQ(doubled.messageAnchor.y, 2.0f * normal.messageAnchor.y);
}

TEST(StatusLayoutTest, TheMapSitsInsideTheTopRightCorner) {
    for (const auto& size : {glm::ivec2(1200, 800), glm::ivec2(3840, 2160), glm::ivec2(800, 600)}) {
        const StatusLayout layout = statusLayout(size.x, size.y);
        const PixelRect& plate = layout.plate;
        EXPECT_GE(plate.x, static_cast<float>(size.x) * 0.5f) << size.x << " x " << size.y;
        EXPECT_LE(plate.x + plate.width, static_cast<float>(size.x)) << size.x << " x " << size.y;
        EXPECT_GE(plate.y, 0.0f) << size.x << " x " << size.y;
        EXPECT_LE(plate.y + plate.height, static_cast<float>(size.y) * 0.5f) << size.x << " x " << size.y;
        EXPECT_GE(layout.map.x, plate.x);
        EXPECT_LE(layout.map.x + layout.map.width, plate.x + plate.width);
        EXPECT_LT(layout.countsAnchor.y, plate.y + plate.height) << "the counts are on the plate";
        EXPECT_GT(layout.countsAnchor.y, layout.map.y + layout.map.height) << "under the map";
    }
}

TEST(StatusHitTest, FindsEachMarkAtTwoWindowSizes) {
    const StatusView view = statusView(crossWorld());
    for (const auto& size : {glm::ivec2(1200, 800), glm::ivec2(3840, 2160)}) {
        const StatusLayout layout = statusLayout(size.x, size.y);
        for (int i = 0; i < 5; ++i) {
            const glm::vec2 centre = markCentre(layout, view.marks[static_cast<std::size_t>(i)]);
            EXPECT_EQ(markAt(layout, view, centre), i) << size.x << ": centre of mark " << i + 1;
            // Just inside its ring, towards the map's middle row (clear of the other marks).
            const glm::vec2 rim = centre + glm::vec2(0.0f, layout.markRadius * 0.9f) * (i == 2 ? -1.0f : 1.0f);
            EXPECT_EQ(markAt(layout, view, rim), i) << size.x << ": rim of mark " << i + 1;
        }
    }
}

TEST(StatusHitTest, MissesBesideTheMarksAndOnTheRestOfTheDisplay) {
    const StatusView view = statusView(crossWorld());
    for (const auto& size : {glm::ivec2(1200, 800), glm::ivec2(3840, 2160)}) {
        const StatusLayout layout = statusLayout(size.x, size.y);
        const glm::vec2 beside = markCentre(layout, view.marks[1]) + glm::vec2(layout.markRadius * 1.5f, 0.0f);
        EXPECT_EQ(markAt(layout, view, beside), -1) << size.x << ": beside mark 2";
        const glm::vec2 mapCorner(layout.map.x + 2.0f, layout.map.y + 2.0f);
        EXPECT_EQ(markAt(layout, view, mapCorner), -1) << size.x << ": the map's corner";
        EXPECT_EQ(markAt(layout, view, layout.countsAnchor), -1) << size.x << ": the counts";
        EXPECT_EQ(markAt(layout, view, glm::vec2(10.0f, static_cast<float>(size.y) - 10.0f)), -1) << size.x;
    }
}

TEST(StatusHitTest, TheNearerOfTwoTouchingMarksWins) {
    StatusInput input;
    for (std::size_t i = 0; i < 5; ++i) input.settlements[i].position = glm::vec2(2000.0f * static_cast<float>(i), 0.0f);
    input.settlements[1].position = glm::vec2(960.0f, 0.0f);  // close to settlement 1
    const StatusView view = statusView(input);
    const StatusLayout layout = statusLayout(1200, 800);
    const glm::vec2 a = markCentre(layout, view.marks[0]), b = markCentre(layout, view.marks[1]);
    EXPECT_EQ(markAt(layout, view, a + (b - a) * 0.45f), 0);
    EXPECT_EQ(markAt(layout, view, a + (b - a) * 0.55f), 1);
}

namespace {

// A log fed from a world whose settlement 3 (index 2) changes status.
struct LogRun {
    MessageLog log;
    StatusInput last = crossWorld();
    void step(const StatusInput& next, float seconds = 1.0f / 60.0f) {
        log.update(last, next, seconds);
        last = next;
    }
    void setStatus(std::size_t index, MarkStatus status, float seconds = 1.0f / 60.0f) {
        StatusInput next = last;
        next.settlements[index].status = status;
        step(next, seconds);
    }
};

}  // namespace

TEST(StatusMessages, EachChangeThatMattersGetsItsMessage) {
    const struct {
        MarkStatus from, to;
        MessageKind kind;
        const char* text;
    } cases[] = {
        {MarkStatus::BeingBuilt, MarkStatus::Warning, MessageKind::Warning,
         "Settlement 3 is in danger: nobody is working on its grenade"},
        {MarkStatus::Warning, MarkStatus::Lost, MessageKind::Lost, "Settlement 3 is lost: its grenade has sunk"},
        {MarkStatus::BeingBuilt, MarkStatus::ReadyToThrow, MessageKind::Ready,
         "Settlement 3's grenade is ready: left-click it to throw it"},
        {MarkStatus::Thrown, MarkStatus::Won, MessageKind::Won, "Settlement 3 is won"},
    };
    for (const auto& c : cases) {
        LogRun run;
        run.setStatus(2, c.from);
        const std::size_t before = run.log.messages().size();
        run.setStatus(2, c.to);
        ASSERT_EQ(run.log.messages().size(), before + 1) << name(c.from) << " to " << name(c.to);
        const StatusMessage& message = run.log.messages().back();
        EXPECT_EQ(message.kind, c.kind);
        EXPECT_EQ(message.settlement, 2);
        EXPECT_EQ(message.text, c.text);
    }
}

TEST(StatusMessages, OtherChangesAreQuiet) {
    const struct {
        MarkStatus from, to;
    } cases[] = {{MarkStatus::Warning, MarkStatus::BeingBuilt}, {MarkStatus::ReadyToThrow, MarkStatus::Thrown}};
    for (const auto& c : cases) {
        LogRun run;
        run.setStatus(2, c.from);
        const std::size_t before = run.log.messages().size();
        run.setStatus(2, c.to);
        EXPECT_EQ(run.log.messages().size(), before) << name(c.from) << " to " << name(c.to);
    }
}

TEST(StatusMessages, TheFirstFrameWithTheSameInputTwiceSaysNothing) {
    MessageLog log;
    StatusInput input = crossWorld();
    input.settlements[0].status = MarkStatus::Warning;
    log.update(input, input, 0.016f);
    EXPECT_TRUE(log.messages().empty());
}

TEST(StatusMessages, AStatusThatStaysIsNotRepeated) {
    LogRun run;
    run.setStatus(2, MarkStatus::Warning);
    for (int frame = 0; frame < 240; ++frame) {  // four seconds of the wall blinking
        StatusInput next = run.last;
        next.settlements[2].blinkOn = (frame / 42) % 2 == 0;
        run.step(next);
    }
    EXPECT_EQ(run.log.messages().size(), 1u);
}

TEST(StatusMessages, AWarningThatComesBackSoonIsNotRepeatedButOneLaterIs) {
    LogRun run;
    run.setStatus(2, MarkStatus::Warning);
    run.setStatus(2, MarkStatus::BeingBuilt, 2.0f);
    run.setStatus(2, MarkStatus::Warning, 2.0f);  // 4 s after the first
    EXPECT_EQ(run.log.messages().size(), 1u);
    run.setStatus(2, MarkStatus::BeingBuilt, 10.0f);
    run.setStatus(2, MarkStatus::Warning, 10.0f);  // 24 s after the first
    ASSERT_EQ(run.log.messages().size(), 1u) << "the first has expired, the new one is shown";
    EXPECT_EQ(run.log.messages().back().kind, MessageKind::Warning);
    EXPECT_FLOAT_EQ(run.log.messages().back().age, 0.0f);
}

TEST(StatusMessages, TheGamesEndIsAnnouncedOnce) {
    const struct {
        GameOutcome outcome;
        MessageKind kind;
        const char* text;
    } cases[] = {{GameOutcome::Won, MessageKind::GameWon, "You have won the game: three settlements are won"},
                 {GameOutcome::Lost, MessageKind::GameLost, "You have lost the game: three settlements are lost"}};
    for (const auto& c : cases) {
        LogRun run;
        StatusInput next = run.last;
        next.outcome = c.outcome;
        run.step(next);
        run.step(next);
        run.step(next);
        ASSERT_EQ(run.log.messages().size(), 1u);
        EXPECT_EQ(run.log.messages()[0].kind, c.kind);
        EXPECT_EQ(run.log.messages()[0].settlement, -1);
        EXPECT_EQ(run.log.messages()[0].text, c.text);
    }
}

TEST(StatusMessages, ASettlementsMessageLastsSixSecondsOfRealTimeAndFadesInTheLast) {
    LogRun run;
    run.setStatus(2, MarkStatus::Lost);
    run.step(run.last, 4.0f);
    ASSERT_EQ(run.log.messages().size(), 1u);
    EXPECT_FLOAT_EQ(run.log.messages()[0].opacity(), 1.0f);
    run.step(run.last, 1.5f);
    ASSERT_EQ(run.log.messages().size(), 1u);
    EXPECT_NEAR(run.log.messages()[0].opacity(), 0.5f, 1e-4f);
    run.step(run.last, 0.6f);
    EXPECT_TRUE(run.log.messages().empty());
}

TEST(StatusMessages, TheGamesEndStaysTenSeconds) {
    LogRun run;
    StatusInput next = run.last;
    next.outcome = GameOutcome::Won;
    run.step(next);
    run.step(next, 9.5f);
    EXPECT_EQ(run.log.messages().size(), 1u);
    run.step(next, 0.6f);
    EXPECT_TRUE(run.log.messages().empty());
}

TEST(StatusMessages, TimeThatIsNotARealStepAgesNothing) {
    LogRun run;
    run.setStatus(2, MarkStatus::Won);
    run.step(run.last, 1.0f);
    for (float seconds : {0.0f, -3.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()})
        run.step(run.last, seconds);
    ASSERT_EQ(run.log.messages().size(), 1u);
    EXPECT_FLOAT_EQ(run.log.messages()[0].age, 1.0f);
}

TEST(StatusMessages, AtMostFourAreShownTheNewestKept) {
    LogRun run;
    StatusInput next = run.last;
    for (std::size_t i = 0; i < 5; ++i) next.settlements[i].status = MarkStatus::ReadyToThrow;
    run.step(next);
    ASSERT_EQ(run.log.messages().size(), MessageLog::mostShown);
    EXPECT_EQ(run.log.messages().front().settlement, 1) << "the first settlement's message, the oldest, gave way";
    EXPECT_EQ(run.log.messages().back().settlement, 4);
}

TEST(StatusMessages, EveryMessageHasAColourOfItsKind) {
    EXPECT_NE(messageColour(MessageKind::Warning), messageColour(MessageKind::Ready));
    EXPECT_NE(messageColour(MessageKind::Lost), messageColour(MessageKind::Won));
    EXPECT_EQ(messageColour(MessageKind::Won), messageColour(MessageKind::GameWon));
    EXPECT_EQ(messageColour(MessageKind::Lost), messageColour(MessageKind::GameLost));
}
