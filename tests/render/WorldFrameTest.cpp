// WorldFrameTest.cpp -- frames of the real world: what the id image holds, what hover and clicks find, culling
// counts, and what the window shows (sky above ground, wireframe, a darker world in a bad mood, the glow).
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include <epoxy/gl.h>
#include <glm/gtc/constants.hpp>

#include "RenderFixture.h"
#include "support/GlContext.h"
#include "assets/Model.h"
#include "game/ClickTarget.h"
#include "game/WorldConstants.h"
#include "sound/SoundManager.h"

namespace {

float luminance(const glm::vec3& c) { return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b; }

class WorldFrame : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rendertest::buildRealWorld(scene)) << "no world drawn: " << omxtest::glContextFailure();
    }
    Game& game() { return *scene.game; }
    Settlement& home() { return *scene.game->settlements[0]; }
    // Screen pixel of a model-space point of an object.
    glm::ivec2 pixelOf(const SceneObject& object, const glm::vec3& modelPoint) {
        return rendertest::screenPoint(game(), glm::vec3(object.modelMatrix() * glm::vec4(modelPoint, 1.0f)));
    }
    glm::ivec2 centreOf(const SceneObject& object, const std::string& objFile) {
        return rendertest::centrePixel(game(), object, objFile);
    }
    int idAt(const glm::ivec2& p) { return game().readObjectId(p.x, p.y); }
    void pointMouseAt(const glm::ivec2& p) { game().mouse = MousePosition{p.x, game().windowHeight - 1 - p.y}; }
    void overlookHome() { rendertest::overlookHome(scene); }
    // Looks across the world towards the horizon from its southern part.
    void lookAcross() {
        rendertest::placeCamera(game(), glm::vec3(0.0f, 300.0f, 2500.0f), glm::vec3(0.0f, -0.15f, -1.0f));
    }
    // A good person standing on open ground in front of settlement 0's centre.
    SceneObject& personInFront() {
        return omxtest::addPerson(game(), home(), ObjectType::GoodPerson, PersonState::Wandering, scene.centre + glm::vec3(-60, 0, 150));
    }
    // A ground point inside settlement 0's square, at least 120 units from each of its objects and people.
    glm::vec3 openGround() {
        const Settlement& s = home();
        std::vector<const SceneObject*> taken = {s.tree, s.moai, s.grenade};
        taken.insert(taken.end(), s.goodPeople.begin(), s.goodPeople.end());
        taken.insert(taken.end(), s.badPeople.begin(), s.badPeople.end());
        for (float dz = -200.0f; dz <= 200.0f; dz += 40.0f)
            for (float dx = -200.0f; dx <= 200.0f; dx += 40.0f) {
                const glm::vec3 candidate = scene.centre + glm::vec3(dx, 0.0f, dz);
                if (std::all_of(taken.begin(), taken.end(), [&](const SceneObject* t) {
                        return glm::length(glm::vec2(candidate.x - t->position.x, candidate.z - t->position.z)) > 120.0f;
                    }))
                    return candidate;
            }
        ADD_FAILURE() << "no open ground in the settlement";
        return scene.centre;
    }
    // A point half-way up the wall's near (+z) side, in the middle of its thickness.
    glm::vec3 nearWallPoint() {
        MeshArrays wall;
        std::string reason;
        importMeshArrays(modelPath + "wall7.obj", wall, reason);
        float maxZ = -1e9f, maxY = -1e9f;
        for (int v = 0; v < wall.vertexCount(); ++v) {
            maxZ = std::max(maxZ, wall.positions[v * 4 + 2]);
            maxY = std::max(maxY, wall.positions[v * 4 + 1]);
        }
        float innerZ = maxZ;
        for (int v = 0; v < wall.vertexCount(); ++v) {
            const float z = wall.positions[v * 4 + 2];
            if (z >= 0.8f * maxZ) innerZ = std::min(innerZ, z);
        }
        return glm::vec3(0.0f, maxY * 0.4f, (maxZ + innerZ) * 0.5f);
    }
    glm::vec3 meanAround(const omxtest::Image& image, const glm::ivec2& p, int half) {
        return rendertest::mean(image, p.x - half, p.y - half, p.x + half + 1, p.y + half + 1);
    }
    omxtest::Image frame() { return rendertest::windowImage(game()); }
    // The whole id image of the frame's view, rows from the bottom.
    std::vector<int> idImage() {
        scene.renderer->drawIdPass(0, 0, 1200, 800);
        return rendertest::readIdImage(*scene.renderer);
    }
    // Every object number found in the id image.
    std::set<int> idsInImage() {
        const std::vector<int> ids = idImage();
        return std::set<int>(ids.begin(), ids.end());
    }
    // The object the hover highlight marks, 0 for none.
    int hovered() {
        for (const auto& entry : objectRegistry)
            if (entry.second->highlighted) return entry.first;
        return 0;
    }
    rendertest::Scene scene;
};

// Hover and clicks act on the object of the id image's pixel under the cursor, or on a person beside it: where
// the id changes from one row to the next, and on the window's top and bottom rows.
TEST_F(WorldFrame, HoverReadsTheIdsAroundThePixelUnderTheCursorOnEveryRow) {
    home().grenade->grenadeState = GrenadeState::Ready;  // a ready grenade, the tree and the people all light up under the cursor
    const auto expectHoverMatchesImage = [&](int x, int row, const std::vector<int>& ids) {
        pointMouseAt(glm::ivec2(x, row));
        game().updateHover();
        // What the rule picks from the whole image's pixels around the cursor.
        IdSquare around;
        around.radius = nearbyPersonRadius(800);
        for (int dy = -around.radius; dy <= around.radius; ++dy)
            for (int dx = -around.radius; dx <= around.radius; ++dx) {
                const int px = x + dx, py = row + dy;
                const bool inside = px >= 0 && py >= 0 && px < 1200 && py < 800;
                around.ids.push_back(inside ? ids[static_cast<std::size_t>(py * 1200 + px)] : 0);
            }
        const int aimed = chooseClickTarget(around, [](int id) {
            const SceneObject* o = findObject(id);
            return o && (o->type == ObjectType::GoodPerson || o->type == ObjectType::BadPerson);
        });
        EXPECT_EQ(hovered(), aimed) << "pixel " << x << ", row " << row;
    };

    overlookHome();
    personInFront();
    game().render();
    std::vector<int> ids = idImage();
    int edges = 0;
    for (int x = 1; x < 1200; x += 13)
        for (int row = 0; row + 1 < 800; ++row) {
            if (ids[static_cast<std::size_t>(row * 1200 + x)] == ids[static_cast<std::size_t>((row + 1) * 1200 + x)]) continue;
            expectHoverMatchesImage(x, row, ids);
            expectHoverMatchesImage(x, row + 1, ids);
            ++edges;
        }
    EXPECT_GT(edges, 20);

    // Close in front of the tree, which fills the window from its top row to its bottom row.
    const glm::vec3 tree = home().tree->position;
    rendertest::placeCamera(game(), tree + glm::vec3(0.0f, 90.0f, 45.0f), glm::vec3(0.0f, 0.0f, -1.0f));
    game().render();
    ids = idImage();
    int treeOnEdge = 0;
    for (int x = 0; x < 1200; x += 7)
        for (const int row : {0, 799}) {
            treeOnEdge += ids[static_cast<std::size_t>(row * 1200 + x)] == home().tree->id;
            expectHoverMatchesImage(x, row, ids);
        }
    EXPECT_GT(treeOnEdge, 100);
}

TEST_F(WorldFrame, TheIdImageHoldsWhatAClickActsOnAndHoverBrightensIt) {
    overlookHome();
    SceneObject& person = personInFront();
    game().render();
    const glm::ivec2 personPixel = centreOf(person, "goodbobob2.obj");
    EXPECT_EQ(idAt(centreOf(*home().tree, "MediumPolyTree2.obj")), home().tree->id);
    EXPECT_EQ(idAt(centreOf(*home().grenade, "holygrenade2.obj")), home().grenade->id);
    EXPECT_EQ(idAt(personPixel), person.id);
    EXPECT_EQ(idAt(centreOf(*home().moai, "moai_duplicated.obj")), 0);
    EXPECT_EQ(idAt(pixelOf(*home().wall, nearWallPoint())), 0);
    EXPECT_EQ(idAt(rendertest::screenPoint(game(), openGround())), 0);
    // Nothing but trees, grenades and people of the settlements is in the image.
    std::set<int> pickable = {0};
    for (const Settlement* s : game().settlements) {
        pickable.insert({s->tree->id, s->grenade->id, s->monument->id});
        for (const SceneObject* p : s->goodPeople) pickable.insert(p->id);
    }
    const std::set<int> found = idsInImage();
    for (int id : found) EXPECT_TRUE(pickable.count(id)) << "object " << id << " is in the id image";
    EXPECT_EQ(found.count(home().tree->id), 1u) << "the tree is not in the id image";
    EXPECT_EQ(found.count(person.id), 1u) << "the person is not in the id image";

    const glm::vec3 before = meanAround(frame(), personPixel, 2);
    pointMouseAt(personPixel);
    game().updateHover();
    EXPECT_TRUE(person.highlighted);
    game().render();
    EXPECT_GT(luminance(meanAround(frame(), personPixel, 2)), luminance(before) + 0.15f);

    // Left click on the person: struck, with the hit sound, and the bolt strikes the ground under the cursor.
    game().onMouseButton(0);
    EXPECT_EQ(person.personState, PersonState::Struck);
    EXPECT_EQ(scene.sound.playCount(SoundPeopleShot), 1);
    EXPECT_TRUE(game().strike->visible);
    EXPECT_LT(glm::length(glm::vec2(game().strike->position.x - person.position.x,
                                    game().strike->position.z - person.position.z)), 60.0f);
    // A finished grenade is thrown by a left click on it.
    home().grenade->grenadeState = GrenadeState::Ready;
    game().render();
    pointMouseAt(centreOf(*home().grenade, "holygrenade2.obj"));
    game().updateHover();
    EXPECT_TRUE(home().grenade->highlighted);
    game().onMouseButton(0);
    EXPECT_EQ(home().grenade->grenadeState, GrenadeState::Rolling);
}

TEST_F(WorldFrame, CullingCountsFollowWhatIsInView) {
    personInFront();
    // Tiles, statues, trees, grenades and the person, each once in every pass that draws it: the colour pass
    // and the id pass (trees, grenades, people).
    const int counted = 100 + 5 + 5 * 2 + 5 * 2 + 2;
    const auto countsFrom = [&](const glm::vec3& position, const glm::vec3& direction) {
        rendertest::placeCamera(game(), position, direction);
        game().render();
        return std::pair{scene.renderer->counts().drawn, scene.renderer->counts().culled};
    };
    // Off: nothing is counted whatever is drawn.
    EXPECT_EQ(countsFrom(glm::vec3(0, 9000, 0), glm::vec3(0, -1, -0.05f)), std::pair(0, 0));
    scene.renderer->settings.frustumCulling = true;
    // From high above the whole world is in view; looking up into the sky nothing is.
    EXPECT_EQ(countsFrom(glm::vec3(0, 9000, 0), glm::vec3(0, -1, -0.05f)), std::pair(counted, 0));
    EXPECT_EQ(countsFrom(glm::vec3(0, 3000, 0), glm::vec3(0, 1, -0.3f)), std::pair(0, counted));
    // Across the world part is culled, and every tested object is either drawn or culled.
    const auto [drawn, culled] = countsFrom(glm::vec3(0, 300, 2500), glm::vec3(0, -0.15f, -1));
    EXPECT_GT(drawn, 0);
    EXPECT_GT(culled, 0);
    EXPECT_EQ(drawn + culled, counted);
}

TEST_F(WorldFrame, SkyAboveGroundAndTheMoodDarkensBoth) {
    lookAcross();
    game().render();
    const omxtest::Image good = frame();
    const glm::vec3 sky = rendertest::mean(good, 0, 700, 1200, 800);
    const glm::vec3 ground = rendertest::mean(good, 0, 0, 1200, 150);
    EXPECT_GT(sky.b, sky.r + 0.1f) << "blue sky at the top";
    EXPECT_GT(ground.g, ground.b + 0.1f) << "green ground at the bottom";

    game().badFactor = 1.0f;
    game().render();
    const omxtest::Image bad = frame();
    EXPECT_LT(luminance(rendertest::mean(bad, 0, 700, 1200, 800)), 0.6f * luminance(sky));
    EXPECT_LT(luminance(rendertest::mean(bad, 0, 0, 1200, 150)), 0.6f * luminance(ground));
    EXPECT_LT(luminance(rendertest::mean(bad, 0, 0, 1200, 800)),
              0.6f * luminance(rendertest::mean(good, 0, 0, 1200, 800)));
}

TEST_F(WorldFrame, WireframeDrawsLinesWhileTheIdImageStaysFilled) {
    overlookHome();
    SceneObject& person = personInFront();
    const auto darkShare = [](const omxtest::Image& image) {
        int dark = 0;
        for (int y = 0; y < image.height; y += 4)
            for (int x = 0; x < image.width; x += 4)
                dark += luminance(rendertest::mean(image, x, y, x + 1, y + 1)) < 0.03f ? 1 : 0;
        return static_cast<float>(dark) / static_cast<float>((image.height / 4) * (image.width / 4));
    };
    game().render();
    EXPECT_LT(darkShare(frame()), 0.05f);

    scene.renderer->settings.wireframe = true;
    game().render();
    const omxtest::Image lines = frame();
    EXPECT_GT(darkShare(lines), 0.3f) << "only the edges are drawn over the black clear colour";
    EXPECT_LT(darkShare(lines), 0.99f);
    EXPECT_EQ(idAt(centreOf(person, "goodbobob2.obj")), person.id);
    EXPECT_EQ(idAt(centreOf(*home().grenade, "holygrenade2.obj")), home().grenade->id);
}

TEST_F(WorldFrame, FinishedGrenadeGlowsGolden) {
    const glm::vec3 at = home().grenade->position;
    rendertest::placeCamera(game(), at + glm::vec3(0.0f, 90.0f, 120.0f), glm::vec3(0.0f, -90.0f, -120.0f));
    const glm::ivec2 p = centreOf(*home().grenade, "holygrenade2.obj");
    game().render();
    const omxtest::Image growing = frame();
    home().grenade->grenadeState = GrenadeState::Ready;
    game().render();
    const omxtest::Image ready = frame();
    const glm::vec3 before = meanAround(growing, p, 40), after = meanAround(ready, p, 40);
    EXPECT_GT(luminance(after), luminance(before) + 0.05f);
    // Brighter but still gold, not washed out to white (the pulse's phase follows the clock).
    EXPECT_GT(after.r, after.b + 0.15f);
    EXPECT_GT(after.g, after.b + 0.1f);
}

// The circling indicator of a finished grenade glows with it, whatever the state of the grenades drawn after
// it: here the next settlement's, still growing. The glow pulses with the glow time, a plain texture does not.
TEST_F(WorldFrame, AReadyGrenadesIndicatorGlowsWhenALaterGrenadeIsStillGrowing) {
    Settlement& ready = home();
    ready.grenade->grenadeState = GrenadeState::Ready;
    game().settlements[1]->grenade->grenadeState = GrenadeState::Growing;
    ready.updateIndicator(0.0f);
    SceneObject& indicator = *ready.grenadeIndicator;
    // From the far side of the indicator, the grenade behind it.
    const glm::vec3 out = glm::normalize(indicator.position - ready.grenade->position);
    rendertest::placeCamera(game(), indicator.position + out * 40.0f + glm::vec3(0.0f, 15.0f, 0.0f),
                            -out * 40.0f - glm::vec3(0.0f, 15.0f, 0.0f));
    // The indicator's pixels: those that change when it is taken away.
    const auto frameAt = [&](float glowTime) {
        game().glowTime = glowTime;
        game().render();
        return frame();
    };
    const float dimmest = 3.0f * glm::pi<float>() / 8.0f, brightest = glm::pi<float>() / 8.0f;  // sin(4t) = -1, 1
    const omxtest::Image dim = frameAt(dimmest);
    const glm::vec3 place = indicator.position;
    indicator.position.y -= 10000.0f;
    const omxtest::Image without = frameAt(dimmest);
    indicator.position = place;
    const omxtest::Image bright = frameAt(brightest);

    glm::dvec3 dimSum(0.0), brightSum(0.0);
    int pixels = 0;
    for (std::size_t i = 0; i < dim.rgba.size(); i += 4) {
        if (dim.rgba[i] == without.rgba[i] && dim.rgba[i + 1] == without.rgba[i + 1] && dim.rgba[i + 2] == without.rgba[i + 2])
            continue;
        ++pixels;
        dimSum += glm::dvec3(dim.rgba[i], dim.rgba[i + 1], dim.rgba[i + 2]) / 255.0;
        brightSum += glm::dvec3(bright.rgba[i], bright.rgba[i + 1], bright.rgba[i + 2]) / 255.0;
    }
    ASSERT_GT(pixels, 500) << "the indicator is in view";
    const glm::vec3 dimMean(dimSum / double(pixels)), brightMean(brightSum / double(pixels));
    // A third of the gold more at the top of the pulse than at its bottom, where red is not already full.
    EXPECT_GT(brightMean.g, dimMean.g + 0.08f) << rendertest::savePng(bright, "indicator_glow.png");
    EXPECT_GT(brightMean.b, dimMean.b + 0.02f);
}

// Closed models leave out the faces turned away from the camera: from the middle of the grenade's orb the
// world shows through it as if the grenade were not there, but for the few gems on its outside that face the
// middle. In wireframe every edge is drawn, the far side's too.
TEST_F(WorldFrame, FromInsideAClosedModelTheWorldShowsThroughExceptInWireframe) {
    SceneObject& grenade = *home().grenade;
    grenade.position.y = 40.0f;  // risen out of the ground
    rendertest::placeCamera(game(), grenade.position, glm::vec3(1.0f, 0.0f, 0.3f));
    const auto differing = [&](bool wireframe) {
        scene.renderer->settings.wireframe = wireframe;
        grenade.grenadeState = GrenadeState::Growing;
        game().render();
        const omxtest::Image inside = frame();
        grenade.grenadeState = GrenadeState::Gone;
        game().render();
        const omxtest::Image absent = frame();
        int count = 0;
        for (std::size_t i = 0; i < inside.rgba.size(); i += 4)
            count += inside.rgba[i] != absent.rgba[i] || inside.rgba[i + 1] != absent.rgba[i + 1] ||
                     inside.rgba[i + 2] != absent.rgba[i + 2];
        return static_cast<float>(count) / (1200.0f * 800.0f);
    };
    EXPECT_LT(differing(false), 0.05f);  // the gems: about one pixel in fifty
    EXPECT_GT(differing(true), 0.005f);  // the orb's edges over the world, about one pixel in a hundred
}

TEST_F(WorldFrame, StrikeProjectsItsPictureOnlyWhileVisible) {
    overlookHome();
    game().render();
    const omxtest::Image plain = frame();

    // Without a strike a bright picture on the projection unit changes nothing.
    const uint32_t white = rendertest::solidTexture({{255, 255, 255, 255}});
    const uint32_t black = rendertest::solidTexture({{0, 0, 0, 255}});
    glActiveTexture(GL_TEXTURE3);
    glBindTexture(GL_TEXTURE_2D, white);
    game().render();
    EXPECT_EQ(frame().rgba, plain.rgba);

    // A right click on open ground: the strike's picture falls around the struck point and nowhere else.
    const glm::vec3 target = openGround();
    pointMouseAt(rendertest::screenPoint(game(), target));
    game().onMouseButton(1);
    // The projector slides back along the bolt, so late in the strike its picture covers the most ground.
    game().updateStrike(0.45f);
    ASSERT_TRUE(game().strike->visible);
    game().render();
    const uint32_t picture = modelTexture(scene.renderer->models().lightning, LightningTexture::PickProjection);
    ASSERT_NE(picture, 0u);
    rendertest::fillTexture(picture, {{0, 0, 0, 255}});
    game().render();
    const omxtest::Image dark = frame();
    rendertest::fillTexture(picture, {{255, 255, 255, 255}});
    game().render();
    const omxtest::Image lit = frame();
    const glm::ivec2 p = rendertest::screenPoint(game(), game().strike->position);
    EXPECT_GT(luminance(meanAround(lit, p, 10)), luminance(meanAround(dark, p, 10)) + 0.2f);
    EXPECT_EQ(luminance(rendertest::mean(lit, 0, 0, 60, 60)), luminance(rendertest::mean(dark, 0, 0, 60, 60)));
    glDeleteTextures(1, &white);
    glDeleteTextures(1, &black);
}

TEST_F(WorldFrame, InfoPanelShowsThePictureOfTheGameStateUnlit) {
    game().toggleOverview(nullptr);
    ASSERT_TRUE(game().infoPanel->visible);
    rendertest::placeCamera(game(), game().camera->position, game().camera->direction);
    std::vector<glm::vec3> pictures;
    for (GameState state : {GameState::Playing, GameState::Won, GameState::Lost}) {
        game().state = state;
        game().render();
        pictures.push_back(rendertest::mean(frame(), 500, 300, 700, 500));
    }
    EXPECT_GT(glm::length(pictures[0] - pictures[1]), 0.1f);
    EXPECT_GT(glm::length(pictures[1] - pictures[2]), 0.1f);
    EXPECT_GT(glm::length(pictures[0] - pictures[2]), 0.1f);
    // The panel is not lit: without light it looks the same.
    game().light->position.y = 0.0f;
    game().render();
    EXPECT_LT(glm::length(rendertest::mean(frame(), 500, 300, 700, 500) - pictures[2]), 0.01f);
}

TEST_F(WorldFrame, AtNightOnlyTheSettlementsAreLit) {
    lookAcross();
    game().render();
    const omxtest::Image day = frame();
    game().nightMode = true;
    game().light->position = glm::vec3(0.0f, 5.0f, 0.0f);
    game().render();
    const omxtest::Image night = frame();
    // Open ground in the foreground and the sky go dark; the nearest settlement's wall keeps its light.
    const glm::vec3 foregroundDay = rendertest::mean(day, 0, 0, 1200, 60);
    const glm::vec3 foregroundNight = rendertest::mean(night, 0, 0, 1200, 60);
    EXPECT_LT(luminance(foregroundNight), 0.5f * luminance(foregroundDay));
    const Settlement* nearest = game().settlements[0];
    for (const Settlement* s : game().settlements)
        if (s->position.z > nearest->position.z) nearest = s;
    // The far side's inner face looks towards the camera and the settlement's own light.
    const glm::vec3 nearSide = nearWallPoint();
    const glm::ivec2 wall = pixelOf(*nearest->wall, glm::vec3(nearSide.x, nearSide.y, -nearSide.z));
    EXPECT_GT(luminance(meanAround(night, wall, 1)), 2.0f * luminance(foregroundNight));
    EXPECT_LT(luminance(rendertest::mean(night, 0, 700, 1200, 800)),
              0.6f * luminance(rendertest::mean(day, 0, 700, 1200, 800)));
}

TEST_F(WorldFrame, LeavesAreCutOutUnlessTransparencyIsOff) {
    const SceneObject& tree = *home().tree;
    rendertest::placeCamera(game(), tree.position + glm::vec3(0.0f, 250.0f, 350.0f), glm::vec3(0.0f, -150.0f, -350.0f));
    // Pixels the tree changes against the same view without it.
    const auto treePixels = [this](const omxtest::Image& bare, const omxtest::Image& withTree) {
        int changed = 0;
        for (std::size_t i = 0; i < bare.rgba.size(); i += 4)
            changed += (bare.rgba[i] != withTree.rgba[i] || bare.rgba[i + 1] != withTree.rgba[i + 1]) ? 1 : 0;
        return changed;
    };
    home().tree->gone = true;
    game().render();
    const omxtest::Image bare = frame();
    home().tree->gone = false;
    game().render();
    const int cutOut = treePixels(bare, frame());
    scene.renderer->settings.transparency = false;
    game().render();
    const int solid = treePixels(bare, frame());
    EXPECT_GT(cutOut, 500);
    EXPECT_GT(solid, cutOut + cutOut / 10) << "without transparency the leaf cards are drawn whole";
}

TEST_F(WorldFrame, ATreeAtTheWindowsEdgeIsNotCulledWhileAnyOfItShows) {
    scene.renderer->settings.frustumCulling = true;
    const SceneObject& tree = *home().tree;
    // The camera raised until the tree's foot lies 130 units below the bottom plane: beyond its nominal
    // radius of 100, while its crown, which reaches 165 at its scale, still pokes into the window.
    const auto bottomDistance = [this, &tree](float y) {
        rendertest::placeCamera(game(), tree.position + glm::vec3(0.0f, y, 700.0f), glm::vec3(0.0f, -0.1f, -1.0f));
        const ViewVolume view = ViewVolume::of(game().camera->viewMatrix, game().projectionMatrix);
        return static_cast<float>(glm::dot(view.planes[2], glm::dvec4(glm::dvec3(tree.position), 1.0)));
    };
    const float d0 = bottomDistance(0.0f), d1 = bottomDistance(100.0f);
    const float y = (-130.0f - d0) / ((d1 - d0) / 100.0f);
    ASSERT_NEAR(bottomDistance(y), -130.0f, 1.0f);
    EXPECT_LT(static_cast<float>(tree.boundingRadius) + bottomDistance(y), 0.0f);
    EXPECT_GE(scene.renderer->reachOf(tree), 160.0f);

    game().render();
    const omxtest::Image culled = frame();
    scene.renderer->settings.frustumCulling = false;
    game().render();
    const omxtest::Image all = frame();
    home().tree->gone = true;
    game().render();
    const omxtest::Image bare = frame();
    home().tree->gone = false;
    EXPECT_NE(all.rgba, bare.rgba) << "part of the tree shows at the edge";
    EXPECT_EQ(culled.rgba, all.rgba) << "culling leaves out nothing that shows";
}

TEST_F(WorldFrame, OnlyTheBoltDrawsWithAlphaBelowOne) {
    // Everything but the bolt is drawn without blending: every colour texture it samples has no alpha
    // channel (the leaves' alpha is a separate cut-out texture), and every material colour is opaque.
    const auto hasAlpha = [](uint32_t texture) {
        GLint alphaBits = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
        glBindTexture(GL_TEXTURE_2D, 0);
        return alphaBits > 0;
    };
    const WorldModels& m = scene.renderer->models();
    for (const Model* model : {&m.ground, &m.groundBorder, &m.infoPanel, &m.goodPerson, &m.badPerson, &m.moai,
                               &m.wall, &m.grenade}) {
        ASSERT_FALSE(model->textures.empty());
        for (uint32_t texture : model->textures) EXPECT_FALSE(hasAlpha(texture)) << "texture " << texture;
    }
    EXPECT_FALSE(hasAlpha(modelTexture(m.tree, TreeTexture::Leaves)));
    EXPECT_FALSE(hasAlpha(modelTexture(m.tree, TreeTexture::Bark)));
    for (const Model* model : allModels) EXPECT_EQ(model->diffuseColor[3], 1.0f);
    EXPECT_TRUE(hasAlpha(modelTexture(m.lightning, LightningTexture::Shoot)) ||
                hasAlpha(modelTexture(m.lightning, LightningTexture::ShootAlpha)));
}

}  // namespace
