// ClickTargetTest.cpp -- which object a click acts on: the one under the cursor, or the nearest person beside it.
#include <cstdlib>
#include <utility>

#include <gtest/gtest.h>

#include "game/ClickTarget.h"
#include "game/WorldView.h"
#include "support/GameBuilders.h"

namespace {

// A square of the given radius holding `id` at each of the given offsets from the cursor.
IdSquare squareWith(int radius, const std::vector<std::pair<glm::ivec2, int>>& placed) {
    IdSquare square;
    square.radius = radius;
    const int side = 2 * radius + 1;
    square.ids.assign(static_cast<std::size_t>(side * side), 0);
    for (const auto& [at, id] : placed)
        square.ids[static_cast<std::size_t>((at.y + radius) * side + (at.x + radius))] = id;
    return square;
}

bool anyId(int) { return true; }

// A picture without GL: the ids around any pixel are the ones set for it, offsets from that pixel.
class PaintedView : public WorldView {
public:
    void drawFrame() override {}
    void resizeView(int, int) override {}
    int objectIdAt(int x, int y) override { return objectIdsAround(x, y, 0).at(0, 0); }
    IdSquare objectIdsAround(int x, int y, int radius) override {
        std::vector<std::pair<glm::ivec2, int>> inside;
        for (const auto& [at, id] : painted) {
            const glm::ivec2 offset = at - glm::ivec2(x, y);
            if (std::abs(offset.x) <= radius && std::abs(offset.y) <= radius) inside.emplace_back(offset, id);
        }
        asked.emplace_back(glm::ivec2(x, y), radius);
        return squareWith(radius, inside);
    }
    std::vector<std::pair<glm::ivec2, int>> painted;  // window pixel, id
    std::vector<std::pair<glm::ivec2, int>> asked;    // pixel, radius
};

}  // namespace

TEST(ClickTarget, TheObjectUnderTheCursorWinsElseTheNearestAcceptedPixelWithinTheRadius) {
    const std::function<bool(int)> onlyPeople = [](int id) { return id >= 100; };  // 100 and up: people
    const struct {
        const char* what;
        std::vector<std::pair<glm::ivec2, int>> placed;
        int chosen;
    } cases[] = {
        {"nothing near", {}, 0},
        {"a person under the cursor", {{{0, 0}, 100}}, 100},
        {"a tree under the cursor, a person beside it", {{{0, 0}, 7}, {{1, 0}, 100}}, 7},
        {"a person three pixels right", {{{3, 0}, 100}}, 100},
        {"the nearer of two people", {{{5, 0}, 100}, {{0, -4}, 101}}, 101},
        {"the nearest pixel of a person counts, not its first", {{{-2, 6}, 100}, {{6, 0}, 101}, {{2, -1}, 101}}, 101},
        {"a person at the radius", {{{0, 8}, 100}}, 100},
        {"a person in the square's corner, beyond the radius", {{{6, 6}, 100}}, 0},
        {"a tree beside the cursor is not taken", {{{1, 0}, 7}}, 0},
        {"a tree nearer than a person", {{{1, 0}, 7}, {{4, 0}, 100}}, 100},
        {"equal distances: the lower row first", {{{0, 3}, 101}, {{0, -3}, 100}}, 100},
        {"equal distances in one row: the left first", {{{3, 0}, 101}, {{-3, 0}, 100}}, 100},
    };
    for (const auto& c : cases) EXPECT_EQ(chooseClickTarget(squareWith(8, c.placed), onlyPeople), c.chosen) << c.what;
}

TEST(ClickTarget, AnEmptyOrShortSquareGivesNothingAndOffsetsOutsideReadZero) {
    IdSquare empty;
    EXPECT_EQ(chooseClickTarget(empty, anyId), 0);
    const IdSquare one = squareWith(0, {{{0, 0}, 5}});
    EXPECT_EQ(chooseClickTarget(one, anyId), 5);
    EXPECT_EQ(one.at(1, 0), 0);
    IdSquare cut = squareWith(2, {{{2, 2}, 9}});
    cut.ids.resize(3);  // fewer ids than the radius says
    EXPECT_EQ(chooseClickTarget(cut, anyId), 0);
}

TEST(ClickTarget, RadiusIsEightAt800PixelsHighAndGrowsWithTallerWindows) {
    const std::pair<int, int> heights[] = {{800, 8}, {400, 8}, {1, 8}, {0, 8}, {-5, 8}, {1080, 11}, {1600, 16},
                                           {2160, 22}, {1000000000, 64}};
    for (const auto& [height, radius] : heights) EXPECT_EQ(nearbyPersonRadius(height), radius) << "height " << height;
}

namespace {

// A playing world whose picture is painted by hand, a good and a bad person and the home tree in it.
struct AimWorld : omxtest::World {
    PaintedView view;
    Settlement* s = nullptr;
    SceneObject* good = nullptr;
    SceneObject* bad = nullptr;

    AimWorld() {
        startPlaying();
        game->setView(&view);
        s = game->settlements[0];
        good = &omxtest::addPerson(*game, *s, ObjectType::GoodPerson, PersonState::Wandering, s->position + glm::vec3(-100, 0, 50));
        bad = &omxtest::addPerson(*game, *s, ObjectType::BadPerson, PersonState::Wandering, s->position + glm::vec3(100, 0, 50));
        sound.clear();
    }
    // The cursor on window pixel (x, y), y from the bottom.
    void cursorAt(int x, int y) { game->mouse = MousePosition{x, game->windowHeight - 1 - y}; }
};

}  // namespace

TEST(AimedObject, ClicksAndTheHoverTakeTheNearestLivingPersonBesideTheCursor) {
    AimWorld w;
    Game& g = *w.game;
    w.cursorAt(600, 300);
    w.view.painted = {{{605, 300}, w.good->id}, {{600, 303}, w.bad->id}};
    EXPECT_EQ(g.aimedObjectId(), w.bad->id);
    // The view was asked around the cursor's pixel, with the radius of the window's height.
    ASSERT_FALSE(w.view.asked.empty());
    EXPECT_EQ(w.view.asked.back().first, glm::ivec2(600, 300));
    EXPECT_EQ(w.view.asked.back().second, nearbyPersonRadius(g.windowHeight));

    g.updateHover();
    EXPECT_TRUE(w.bad->highlighted);
    EXPECT_FALSE(w.good->highlighted);
    g.onMouseButton(MouseButton::Left);
    EXPECT_EQ(w.bad->personState, PersonState::Struck);
    EXPECT_EQ(w.sound.playCount(SoundPeopleShot), 1);
    // Struck, it is passed over: the next click beside both takes the good one, and the right button sends it.
    EXPECT_EQ(g.aimedObjectId(), w.good->id);
    g.updateHover();
    EXPECT_TRUE(w.good->highlighted);
    g.onMouseButton(MouseButton::Right);
    EXPECT_EQ(w.good->personState, PersonState::Sent);
}

TEST(AimedObject, ThingsBesideTheCursorAreNotTakenAndWhatIsUnderItWins) {
    AimWorld w;
    Game& g = *w.game;
    w.cursorAt(600, 300);
    // A tree and a ready grenade beside the cursor: a click there strikes the ground only.
    w.s->grenade->grenadeState = GrenadeState::Ready;
    w.view.painted = {{{602, 300}, w.s->tree->id}, {{598, 300}, w.s->grenade->id}};
    EXPECT_EQ(g.aimedObjectId(), 0);
    g.onMouseButton(MouseButton::Left);
    EXPECT_EQ(w.s->grenade->grenadeState, GrenadeState::Ready);
    // The grenade under the cursor with a person beside it: the grenade is thrown and the person lives.
    w.view.painted = {{{600, 300}, w.s->grenade->id}, {{601, 300}, w.good->id}};
    g.updateHover();
    EXPECT_TRUE(w.s->grenade->highlighted);
    EXPECT_FALSE(w.good->highlighted);
    g.onMouseButton(MouseButton::Left);
    EXPECT_EQ(w.s->grenade->grenadeState, GrenadeState::Rolling);
    EXPECT_EQ(w.good->personState, PersonState::Wandering);
    // A person farther than the radius is not reached.
    const int beyond = nearbyPersonRadius(g.windowHeight) + 1;
    w.view.painted = {{{600 + beyond, 300}, w.good->id}};
    g.onMouseButton(MouseButton::Left);
    EXPECT_EQ(w.good->personState, PersonState::Wandering);
    EXPECT_EQ(w.sound.playCount(SoundPeopleShot), 0);
}
