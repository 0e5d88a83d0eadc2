// SoakTest.cpp -- hours of the whole world at a fixed step with random clicks: people stay home, counts and
// numbers stay sane, and the population limit holds.
#include <cmath>
#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "WorldFixture.h"

namespace {

// Records whether the game ever asked for a volume that is not a number.
class VolumeCheckingSound : public omxtest::RecordingSound {
public:
    void setVolume(int type, float volume) override {
        if (!std::isfinite(volume)) badVolume = true;
        omxtest::RecordingSound::setVolume(type, volume);
    }
    bool badVolume = false;
};

bool finite(const glm::vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

constexpr float squareHalfWidth = 307.0f;
constexpr float longOutside = 10.0f;  // seconds a walking person may spend outside its square

struct SoakResult {
    int born = 0;
    int struck = 0;
    int thrown = 0;
    int decided = 0;
    float longestOutside = 0.0f;
    std::string longestWho;  // the person who stayed out longest, for the failure message
};

// Runs `hours` of game time of one seeded world, clicking every second and a half.
SoakResult soak(unsigned seed, float hours) {
    VolumeCheckingSound sound;
    omxtest::ScriptedInput input;
    testing::internal::CaptureStdout();
    Game g(omxtest::windowlessOptions(&sound, seed, &input));
    std::mt19937 clicks(seed);
    SoakResult result;

    input.held = {Key::F1};
    g.update(0.1f);
    input.held.clear();
    const int firstPerson = nextObjectId;

    const float dt = 1.0f / 60.0f;
    const long steps = std::lround(hours * 3600.0f / dt);
    std::map<int, float> outside;  // person id -> seconds outside its square without a break
    for (long step = 0; step < steps; ++step) {
        if (g.overviewMode) g.toggleOverview(nullptr);  // the player closes every panel at once
        if (step % 90 == 0) {
            // A player who mostly helps: sends good people to work, smites bad ones, throws ready grenades;
            // one click in three lands anywhere with either button.
            const Settlement& s = *g.settlements[clicks() % 5];
            const unsigned kind = clicks() % 3;
            int button = kind == 1 ? 1 : 0;
            int id = 0;
            if (kind == 0) {
                button = static_cast<int>(clicks() % 2);
                id = static_cast<int>(clicks() % static_cast<unsigned>(nextObjectId));
            } else {
                const std::vector<SceneObject*>& people = kind == 1 ? s.goodPeople : s.badPeople;
                if (!people.empty()) id = people[clicks() % people.size()]->id;
            }
            if (s.grenade->state == Ready) {
                button = 0;
                id = s.grenade->id;
            }
            SceneObject* o = findObject(id);
            if (o && button == 0 && (o->type == GoodPerson || o->type == BadPerson) && o->state != Struck &&
                o->state != Gone)
                ++result.struck;
            if (o && button == 0 && o->type == HolyGrenade && o->state == Ready) ++result.thrown;
            g.actOnClick(button, id);
        }
        g.update(dt);

        for (const Settlement* s : g.settlements) {
            EXPECT_GE(s->workerCount, 0);
            EXPECT_GE(s->deadGoodCount, 0);
            int alive = 0;
            for (const std::vector<SceneObject*>* list : {&s->goodPeople, &s->badPeople}) {
                for (const SceneObject* p : *list) {
                    if (p->state == Gone) continue;
                    ++alive;
                    const float dx = std::fabs(p->position.x - s->position.x);
                    const float dz = std::fabs(p->position.z - s->position.z);
                    if (s->status == SettlementWon || s->status == SettlementLost) {
                        // Decided: everyone stands and rises or sinks; the centre has moved 60 off the wall.
                        EXPECT_LE(std::fmax(dx, dz), squareHalfWidth + 60.0f + 20.0f) << "person " << p->id;
                        continue;
                    }
                    if (p->state == Struck || p->state == Working) continue;  // standing still
                    const bool out = dx > squareHalfWidth || dz > squareHalfWidth;
                    float& t = outside[p->id];
                    t = out ? t + dt : 0.0f;
                    if (t > result.longestOutside) {
                        result.longestOutside = t;
                        std::ostringstream who;
                        who << "person " << p->id << " type " << p->type << " state " << p->state
                            << " settlement status " << s->status << " offset " << p->position.x - s->position.x << " "
                            << p->position.z - s->position.z;
                        result.longestWho = who.str();
                    }
                }
            }
            EXPECT_LE(alive + s->deadGoodCount, 50) << "settlement " << s->index;
        }
        if (step % 600 == 0) {
            for (const auto& entry : objectRegistry) {
                const SceneObject& o = *entry.second;
                if (!finite(o.position) || !finite(o.rotation) || !finite(o.scale)) {
                    ADD_FAILURE() << "object " << o.id << " of type " << o.type << " is not finite, seed " << seed;
                    testing::internal::GetCapturedStdout();
                    return result;
                }
            }
            EXPECT_TRUE(finite(g.camera->direction));
            EXPECT_TRUE(std::isfinite(g.badFactor));
            EXPECT_FALSE(sound.badVolume);
        }
        if (::testing::Test::HasFailure()) break;
    }
    testing::internal::GetCapturedStdout();
    result.born = nextObjectId - firstPerson;
    for (const Settlement* s : g.settlements) result.decided += s->status == SettlementWon || s->status == SettlementLost;
    return result;
}

}  // namespace

TEST(Soak, HoursOfPlayKeepPeopleHomeAndNumbersSane) {
    for (unsigned seed : {11u, 12u, 13u}) {
        const SoakResult r = soak(seed, 0.75f);
        SCOPED_TRACE(seed);
        std::cerr << "seed " << seed << ": " << r.born << " born, " << r.struck << " struck, " << r.thrown
                  << " thrown, " << r.decided << " decided, longest outside " << r.longestOutside << " s\n";
        EXPECT_GT(r.born, 100);  // births go on all along
        EXPECT_GT(r.struck, 50);
        EXPECT_LT(r.longestOutside, longOutside) << r.longestWho;
        EXPECT_GE(r.decided, 1);
        if (::testing::Test::HasFailure()) break;
    }
}
