// PeopleVisibilityTest.cpp -- people stand out in the view the game starts play with: on a real frame, with the id
// image as each person's mask, the colour contrast between a person and the ground around it, and between good
// and bad people, in the good and in the bad mood.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "RenderFixture.h"
#include "game/WorldConstants.h"
#include "support/GlContext.h"

namespace {

// CIE L*a*b* (D65) of an sRGB colour, and its relative luminance.
struct Lab {
    double l = 0.0, a = 0.0, b = 0.0;
};

double linear(unsigned char byte) {
    const double c = byte / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double labCurve(double t) { return t > 216.0 / 24389.0 ? std::cbrt(t) : (24389.0 / 27.0 * t + 16.0) / 116.0; }

double relativeLuminance(const unsigned char* rgb) {
    return 0.2126 * linear(rgb[0]) + 0.7152 * linear(rgb[1]) + 0.0722 * linear(rgb[2]);
}

Lab toLab(const unsigned char* rgb) {
    const double r = linear(rgb[0]), g = linear(rgb[1]), b = linear(rgb[2]);
    const double x = (0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047;
    const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    const double z = (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883;
    const double fx = labCurve(x), fy = labCurve(y), fz = labCurve(z);
    return Lab{116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

double deltaE76(const Lab& p, const Lab& q) { return std::hypot(p.l - q.l, p.a - q.a, p.b - q.b); }

// The mean colour of a set of pixels, as L*a*b* and as relative luminance.
struct PixelSet {
    Lab lab;
    double luminance = 0.0;
    int count = 0;

    void add(const unsigned char* rgb) {
        const Lab c = toLab(rgb);
        const double n = count;
        lab = Lab{(lab.l * n + c.l) / (n + 1), (lab.a * n + c.a) / (n + 1), (lab.b * n + c.b) / (n + 1)};
        luminance = (luminance * n + relativeLuminance(rgb)) / (n + 1);
        ++count;
    }
    void add(const PixelSet& other) {
        const double n = count, m = other.count;
        if (other.count == 0) return;
        lab = Lab{(lab.l * n + other.lab.l * m) / (n + m), (lab.a * n + other.lab.a * m) / (n + m),
                  (lab.b * n + other.lab.b * m) / (n + m)};
        luminance = (luminance * n + other.luminance * m) / (n + m);
        count += other.count;
    }
};

// Luminance contrast ratio of two colours, 1 (none) to 21.
double contrastRatio(double y1, double y2) { return (std::max(y1, y2) + 0.05) / (std::min(y1, y2) + 0.05); }

// A person's pixels and the ground seen around them.
struct PersonPicture {
    int id = 0;
    bool good = true;
    PixelSet person;
    PixelSet ground;
    double deltaE() const { return deltaE76(person.lab, ground.lab); }
    double ratio() const { return contrastRatio(person.luminance, ground.luminance); }
};

// What one mood's frame shows of the people.
struct MoodPicture {
    omxtest::Image image;
    std::vector<PersonPicture> people;
    PixelSet good, bad;
    glm::dvec2 middle = glm::dvec2(0.0);  // mean position of the people's pixels (rows from the top)
    double weakest(bool ofGood) const {
        double low = 1e9;
        for (const PersonPicture& p : people)
            if (p.good == ofGood) low = std::min(low, p.deltaE());
        return low;
    }
    double meanDeltaE(bool ofGood) const {
        double sum = 0.0;
        int n = 0;
        for (const PersonPicture& p : people)
            if (p.good == ofGood) sum += p.deltaE(), ++n;
        return n ? sum / n : 0.0;
    }
    double meanRatio(bool ofGood) const {
        double sum = 0.0;
        int n = 0;
        for (const PersonPicture& p : people)
            if (p.good == ofGood) sum += p.ratio(), ++n;
        return n ? sum / n : 0.0;
    }
    double goodToBad() const { return deltaE76(good.lab, bad.lab); }
};

// The part of a picture w x h from (x0, top) (rows from the top), each pixel made a zoom x zoom block.
omxtest::Image zoomedCrop(const omxtest::Image& image, int x0, int top, int w, int h, int zoom) {
    omxtest::Image crop;
    crop.width = w * zoom;
    crop.height = h * zoom;
    crop.rgba.assign(static_cast<std::size_t>(crop.width) * static_cast<std::size_t>(crop.height) * 4, 0);
    for (int y = 0; y < crop.height; ++y)
        for (int x = 0; x < crop.width; ++x) {
            const int sx = std::clamp(x0 + x / zoom, 0, image.width - 1), sy = std::clamp(top + y / zoom, 0, image.height - 1);
            for (std::size_t c = 0; c < 4; ++c)
                crop.rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(crop.width) + static_cast<std::size_t>(x)) * 4 + c] =
                    image.rgba[(static_cast<std::size_t>(sy) * static_cast<std::size_t>(image.width) + static_cast<std::size_t>(sx)) * 4 + c];
        }
    return crop;
}

// A mouse pointer, white with a black edge, drawn into a picture with its tip at (x, y) (rows from the top).
void drawPointer(omxtest::Image& image, int x, int y) {
    static const char* const arrow[] = {
        "X",          "XX",         "X.X",        "X..X",       "X...X",      "X....X",
        "X.....X",    "X......X",   "X.......X",  "X........X", "X.....XXXXX", "X..X..X",
        "X.X X..X",   "XX  X..X",   "X    X..X",  "     X..X",  "      XX",
    };
    const int zoom = 2;
    for (int row = 0; row < 17; ++row)
        for (int col = 0; arrow[row][col] != '\0'; ++col) {
            const char c = arrow[row][col];
            if (c == ' ') continue;
            const unsigned char v = c == 'X' ? 0 : 255;
            for (int dy = 0; dy < zoom; ++dy)
                for (int dx = 0; dx < zoom; ++dx) {
                    const int px = x + col * zoom + dx, py = y + row * zoom + dy;
                    if (px < 0 || py < 0 || px >= image.width || py >= image.height) continue;
                    unsigned char* pixel = &image.rgba[(static_cast<std::size_t>(py) * static_cast<std::size_t>(image.width) + static_cast<std::size_t>(px)) * 4];
                    pixel[0] = pixel[1] = pixel[2] = v;
                    pixel[3] = 255;
                }
        }
}

// Ground pixels counted around a person: those within this many pixels of it that show no pickable object.
constexpr int groundReach = 4;
// What "told apart at a glance" asks of the picture, as CIE76 colour differences and luminance contrast ratios:
// every person against the ground around it, each kind on average, and good people against bad ones.
constexpr double leastPersonDeltaE = 22.0;
constexpr double leastMeanDeltaE = 30.0;
constexpr double leastMeanRatio = 1.4;
constexpr double leastGoodToBadDeltaE = 40.0;
// Window pixels of the crops saved for the eye.
constexpr int cropWidth = 240;
constexpr int cropHeight = 140;

class PeopleVisibility : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rendertest::buildRealWorld(scene)) << "no world drawn: " << omxtest::glContextFailure();
        Game& g = *scene.game;
        // The view at the end of the intro, over settlement 0, lit as play lights it (behind the camera).
        rendertest::placeCamera(g, scene.centre + glm::vec3(0.0f, 576.0f, 576.0f), glm::vec3(0.0f, -1.0f, -1.0f));
        g.light->position = scene.centre + glm::vec3(0.0f, static_cast<float>(introLightHeight), 586.0f);
        placePeople();
    }

    // Good and bad people, alternating, spread over the settlement's open grass from the near side to the far.
    void placePeople() {
        Game& g = *scene.game;
        Settlement& s = *g.settlements[0];
        const std::vector<const SceneObject*> taken = {s.tree, s.moai, s.grenade};
        for (float dz = -200.0f; dz <= 200.0f; dz += 80.0f)
            for (float dx = -200.0f; dx <= 200.0f; dx += 80.0f) {
                const glm::vec3 at = scene.centre + glm::vec3(dx, 0.0f, dz);
                const bool open = std::all_of(taken.begin(), taken.end(), [&](const SceneObject* t) {
                    return glm::length(glm::vec2(at.x - t->position.x, at.z - t->position.z)) > 100.0f;
                });
                // Nor hidden behind the tree or the statue, as the camera looks towards -z.
                const bool hidden = std::any_of(taken.begin(), taken.end(), [&](const SceneObject* t) {
                    return t != s.grenade && std::fabs(at.x - t->position.x) < 110.0f && t->position.z - at.z > 0.0f &&
                           t->position.z - at.z < 320.0f;
                });
                if (!open || hidden) continue;
                const int n = static_cast<int>(people.size());
                const ObjectType type = n % 2 == 0 ? ObjectType::GoodPerson : ObjectType::BadPerson;
                people.push_back(&omxtest::addPerson(g, s, type, PersonState::Wandering, at, 37.0f * static_cast<float>(n)));
            }
        ASSERT_GE(people.size(), 12u) << "not enough open grass in settlement 0";
    }

    // Draws the frame in the mood and measures every person against the ground around it.
    MoodPicture measure(float badFactor) {
        Game& g = *scene.game;
        g.badFactor = badFactor;
        g.render();
        MoodPicture mood;
        mood.image = rendertest::windowImage(g);
        const omxtest::Image& image = mood.image;
        scene.renderer->drawIdPass(0, 0, g.windowWidth, g.windowHeight);
        const std::vector<int> ids = rendertest::readIdImage(*scene.renderer);
        const int w = g.windowWidth, h = g.windowHeight;
        const auto idAt = [&](int x, int row) { return ids[static_cast<std::size_t>(row * w + x)]; };
        const auto rgbAt = [&](int x, int row) {
            return &image.rgba[(static_cast<std::size_t>(h - 1 - row) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)) * 4];
        };

        long pixels = 0;
        for (const SceneObject* person : people) {
            PersonPicture p;
            p.id = person->id;
            p.good = person->type == ObjectType::GoodPerson;
            int x0 = w, x1 = -1, y0 = h, y1 = -1;
            for (int row = 0; row < h; ++row)
                for (int x = 0; x < w; ++x)
                    if (idAt(x, row) == p.id) {
                        p.person.add(rgbAt(x, row));
                        mood.middle += glm::dvec2(x, h - 1 - row);
                        ++pixels;
                        x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, row), y1 = std::max(y1, row);
                    }
            for (int row = std::max(0, y0 - groundReach); row <= std::min(h - 1, y1 + groundReach); ++row)
                for (int x = std::max(0, x0 - groundReach); x <= std::min(w - 1, x1 + groundReach); ++x) {
                    if (idAt(x, row) != 0) continue;
                    bool near = false;
                    for (int dy = -groundReach; dy <= groundReach && !near; ++dy)
                        for (int dx = -groundReach; dx <= groundReach && !near; ++dx) {
                            const int nx = x + dx, ny = row + dy;
                            near = nx >= 0 && nx < w && ny >= 0 && ny < h && dx * dx + dy * dy <= groundReach * groundReach &&
                                   idAt(nx, ny) == p.id;
                        }
                    if (near) p.ground.add(rgbAt(x, row));
                }
            (p.good ? mood.good : mood.bad).add(p.person);
            mood.people.push_back(p);
        }
        if (pixels) mood.middle /= static_cast<double>(pixels);
        return mood;
    }

    static void print(const char* name, const MoodPicture& mood) {
        std::printf("%s mood, person against the ground within %d px (mean CIE76 dE / luminance ratio, weakest dE):\n",
                    name, groundReach);
        for (const bool good : {true, false})
            std::printf("  %s people: dE %.1f, ratio %.2f, weakest dE %.1f\n", good ? "good" : "bad ",
                        mood.meanDeltaE(good), mood.meanRatio(good), mood.weakest(good));
        std::printf("  good against bad people: dE %.1f\n", mood.goodToBad());
        for (const PersonPicture& p : mood.people)
            std::printf("    %s #%d: %d px, L %.0f a %.0f b %.0f | ground %d px, L %.0f a %.0f b %.0f | dE %.1f ratio %.2f\n",
                        p.good ? "good" : "bad ", p.id, p.person.count, p.person.lab.l, p.person.lab.a, p.person.lab.b,
                        p.ground.count, p.ground.lab.l, p.ground.lab.a, p.ground.lab.b, p.deltaE(), p.ratio());
    }

    rendertest::Scene scene;
    std::vector<SceneObject*> people;
};

TEST_F(PeopleVisibility, PeopleStandOutFromTheGrassAndFromEachOtherInBothMoods) {
    const MoodPicture good = measure(0.0f);
    const MoodPicture bad = measure(1.0f);
    print("good", good);
    print("bad", bad);
    // Zoomed crops of the middle of the crowd, for the eye.
    for (const MoodPicture* mood : {&good, &bad}) {
        const int x0 = static_cast<int>(mood->middle.x) - cropWidth / 2, top = static_cast<int>(mood->middle.y) - cropHeight / 2;
        rendertest::savePng(zoomedCrop(mood->image, x0, top, cropWidth, cropHeight, 3),
                            mood == &good ? "people-good-mood.png" : "people-bad-mood.png");
    }

    for (const MoodPicture* mood : {&good, &bad}) {
        SCOPED_TRACE(mood == &good ? "good mood" : "bad mood");
        for (const PersonPicture& p : mood->people) {
            ASSERT_GE(p.person.count, 12) << "person " << p.id << " is hardly drawn";
            EXPECT_GE(p.deltaE(), leastPersonDeltaE) << (p.good ? "good" : "bad") << " person " << p.id;
        }
        for (const bool ofGood : {true, false}) {
            EXPECT_GE(mood->meanDeltaE(ofGood), leastMeanDeltaE) << (ofGood ? "good" : "bad") << " people";
            EXPECT_GE(mood->meanRatio(ofGood), leastMeanRatio) << (ofGood ? "good" : "bad") << " people";
        }
        EXPECT_GE(mood->goodToBad(), leastGoodToBadDeltaE);
    }
}

// The cursor on a good person in the bad mood: lit up by the hover highlight, it stands out as what a click hits.
TEST_F(PeopleVisibility, AHoveredPersonStandsOutInTheBadMood) {
    Game& g = *scene.game;
    g.badFactor = 1.0f;
    const SceneObject& person = *people[2];
    const glm::ivec2 at = rendertest::centrePixel(g, person, "goodbobob2.obj");
    g.render();
    g.mouse = MousePosition{at.x, g.windowHeight - 1 - at.y};
    g.updateHover();
    ASSERT_TRUE(person.highlighted);
    const MoodPicture bad = measure(1.0f);
    const auto hovered = std::find_if(bad.people.begin(), bad.people.end(), [&](const PersonPicture& p) { return p.id == person.id; });
    ASSERT_NE(hovered, bad.people.end());
    std::printf("hovered good person in the bad mood: dE %.1f, ratio %.2f against the ground within %d px\n",
                hovered->deltaE(), hovered->ratio(), groundReach);
    EXPECT_GE(hovered->deltaE(), leastPersonDeltaE);

    const int zoom = 6, w = 64, h = 40;
    omxtest::Image crop = zoomedCrop(bad.image, at.x - w / 2, g.windowHeight - 1 - at.y - h / 2, w, h, zoom);
    drawPointer(crop, w / 2 * zoom + zoom / 2, h / 2 * zoom + zoom / 2);
    rendertest::savePng(crop, "people-hover-bad-mood.png");
}

}  // namespace
