// AnimationLongFrameTest.cpp -- swaying and bowing stay within their bounds when a frame takes long.
#include <gtest/gtest.h>

#include "support/GameBuilders.h"

namespace {

TEST(AnimationLongFrame, ATreeStaysWithinItsSwayWhateverTheStep) {
    omxtest::SettlementWorld world;
    Settlement& s = world.addFixed();
    SceneObject& tree = *s.tree;
    tree.rotationSpeed = glm::vec3(4.0f, 0.0f, 3.0f);
    for (float dt : {0.016f, 12.0f, 0.5f, 30.0f, 0.016f, 7.0f}) {
        tree.animate(&s, dt);
        EXPECT_LE(std::fabs(tree.rotation.x), 5.0f) << dt;
        EXPECT_LE(std::fabs(tree.rotation.z), 5.0f) << dt;
    }
    // At a normal frame rate it still swings from one side to the other.
    float lowest = 0.0f, highest = 0.0f;
    for (int i = 0; i < 600; ++i) {
        tree.animate(&s, 1.0f / 60.0f);
        lowest = std::min(lowest, tree.rotation.x);
        highest = std::max(highest, tree.rotation.x);
    }
    EXPECT_EQ(lowest, -5.0f);
    EXPECT_EQ(highest, 5.0f);
}

TEST(AnimationLongFrame, PeopleSwayAndBowWithinTheirAnglesAtOneFramePerSecond) {
    omxtest::SettlementWorld world;
    Settlement& s = world.addFixed();
    SceneObject& walker = world.addPerson(s, GoodPerson, Wandering, glm::vec3(0.0f));
    SceneObject& worker = world.addPerson(s, GoodPerson, Working, glm::vec3(10.0f, 0.0f, 0.0f));
    bool walkerReachedBothSides = false;
    for (int i = 0; i < 20; ++i) {
        walker.animate(&s, 1.0f);
        worker.animate(&s, 1.0f);
        EXPECT_LE(std::fabs(walker.rotation.z), 30.0f);
        EXPECT_GE(worker.rotation.x, -30.0f);
        EXPECT_LE(worker.rotation.x, 0.0f);
        walkerReachedBothSides = walkerReachedBothSides || walker.rotation.z == 30.0f;
    }
    EXPECT_TRUE(walkerReachedBothSides);
}

}  // namespace
