// CommandLineAndStatisticsTest.cpp -- the echoed command line, its two words, the version check and
// the once-a-second statistics lines.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "app/App.h"

namespace {

CommandLine parse(const std::vector<const char*>& words, std::string* printed = nullptr) {
    std::ostringstream out;
    const CommandLine line = parseCommandLine(static_cast<int>(words.size()), words.data(), out);
    if (printed) *printed = out.str();
    return line;
}

TEST(CommandLine, EveryArgumentIsEchoedOnItsOwnLineProgramPathIncluded) {
    std::string printed;
    const CommandLine line = parse({"/opt/omnivex", "--verbose", "highestframerate"}, &printed);
    EXPECT_EQ(printed, "/opt/omnivex\n--verbose\nhighestframerate\n");
    EXPECT_TRUE(line.highestFrameRate);
    EXPECT_FALSE(line.fullscreenRequested);
}

TEST(CommandLine, NoArgumentsMeansWindowedWithDefaultSwapInterval) {
    std::string printed;
    const CommandLine line = parse({"./omnivex"}, &printed);
    EXPECT_EQ(printed, "./omnivex\n");
    EXPECT_FALSE(line.fullscreenRequested);
    EXPECT_FALSE(line.highestFrameRate);
}

TEST(CommandLine, WordsAreExactCaseSensitiveAndMayStandAnywhere) {
    EXPECT_FALSE(parse({"x", "Fullscreen"}).fullscreenRequested);
    EXPECT_FALSE(parse({"x", "fullscreen2"}).fullscreenRequested);
    EXPECT_FALSE(parse({"x", "HIGHESTFRAMERATE"}).highestFrameRate);
    const CommandLine both = parse({"x", "highestframerate", "junk", "fullscreen", "fullscreen"});
    EXPECT_TRUE(both.fullscreenRequested);
    EXPECT_TRUE(both.highestFrameRate);
    // The program path is compared too.
    EXPECT_TRUE(parse({"fullscreen"}).fullscreenRequested);
}

TEST(GLVersionCheck, AcceptsThreeThreeAndLaterAndExplainsOlderVersions) {
    std::ostringstream err;
    EXPECT_TRUE(acceptGLVersion(3, 3, err));
    EXPECT_TRUE(acceptGLVersion(4, 0, err));
    EXPECT_TRUE(acceptGLVersion(4, 6, err));
    EXPECT_EQ(err.str(), "");
    EXPECT_FALSE(acceptGLVersion(3, 2, err));
    EXPECT_EQ(err.str(),
              "Error: OpenGL version 3.3 not supported.\n"
              "       Your version is 3.2.\n"
              "       Try updating your graphics driver.\n");
    std::ostringstream err2;
    EXPECT_FALSE(acceptGLVersion(2, 1, err2));
    EXPECT_NE(err2.str().find("Your version is 2.1."), std::string::npos);
}

TEST(FrameGameTime, AStallPausesTheWorldInsteadOfFastForwardingIt) {
    EXPECT_FLOAT_EQ(frameGameTime(1.0 / 60.0, 1.0f), 1.0f / 60.0f);
    EXPECT_FLOAT_EQ(frameGameTime(0.05, 10.0f), 0.5f);
    EXPECT_FLOAT_EQ(frameGameTime(60.0, 1.0f), 0.25f);  // the window was dragged for a minute
    EXPECT_FLOAT_EQ(frameGameTime(60.0, 10.0f), 2.5f);
    EXPECT_EQ(frameGameTime(-1.0, 1.0f), 0.0f);  // a clock that stepped back
}

TEST(FrameStatistics, PrintsOncePerPeriodOfJustOverOneSecond) {
    std::ostringstream out;
    FrameStatistics stats;
    for (int i = 0; i < 10; ++i) stats.addFrame(0.1, true, false, 0, 0, out);
    EXPECT_EQ(out.str(), "");  // exactly 1.0 s is not yet more than a second
    stats.addFrame(0.05, true, false, 0, 0, out);
    EXPECT_EQ(out.str(), "Fps: 11\n");
    EXPECT_EQ(stats.frameCount, 0);
    EXPECT_EQ(stats.fpsAccumulator, 0.0);
}

TEST(FrameStatistics, CullingLineHalvesTheCountsRoundingDown) {
    std::ostringstream out;
    FrameStatistics stats;
    stats.addFrame(1.5, false, true, 7, 3, out);
    EXPECT_EQ(out.str(), "Drawn Objects: 3, Culled Objects: 1\n");
}

TEST(FrameStatistics, BothLinesInOrderAndNothingWhenBothAreOff) {
    std::ostringstream out;
    FrameStatistics stats;
    stats.addFrame(2.0, true, true, 100, 40, out);
    EXPECT_EQ(out.str(), "Fps: 1\nDrawn Objects: 50, Culled Objects: 20\n");
    std::ostringstream quiet;
    stats.addFrame(2.0, false, false, 100, 40, quiet);
    EXPECT_EQ(quiet.str(), "");
    EXPECT_EQ(stats.frameCount, 0);
}

}  // namespace
