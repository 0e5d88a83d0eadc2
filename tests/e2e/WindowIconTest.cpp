// WindowIconTest.cpp -- the real game's window offers the generated icon at the window manager's sizes, and a
// damaged or missing icon file leaves that size out without stopping the game.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/EndToEnd.h"
#include "support/Files.h"
#include "support/Image.h"

namespace {

namespace fs = std::filesystem;

constexpr double startTimeout = 60.0;

std::string iconPath(const std::string& iconFolder, int size) {
    const std::string side = std::to_string(size);
    return iconFolder + "/hicolor/" + side + "x" + side + "/apps/omnivex.png";
}

std::vector<std::pair<int, int>> sizesOf(const std::vector<omxtest::Image>& icons) {
    std::vector<std::pair<int, int>> sizes;
    for (const omxtest::Image& icon : icons) sizes.emplace_back(icon.width, icon.height);
    return sizes;
}

// Starts the game, waits for its first frame and its window, reads the window's icons and ends it with Escape.
std::vector<omxtest::Image> iconsOfTheGame(const std::vector<std::string>& args, std::string& err) {
    omxtest::VirtualDisplay display;
    EXPECT_TRUE(display.ok());
    omxtest::GameProcess game(args, display.name());
    EXPECT_TRUE(game.waitForOutput("fbo recreate", startTimeout)) << game.standardOutput() << game.standardError();
    EXPECT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex", 10.0));
    const std::vector<omxtest::Image> icons = omxtest::windowIcons(display.name(), "Omnivex");
    EXPECT_EQ(omxtest::xdotool(display.name(), "key Escape"), 0);
    EXPECT_EQ(game.waitForExit(30.0), 0) << game.standardError();
    err = game.standardError();
    return icons;
}

TEST(WindowIcon, TheWindowOffersTheGeneratedIconAtEachSize) {
    std::string err;
    const std::vector<omxtest::Image> icons = iconsOfTheGame({}, err);
    EXPECT_EQ(err, "");
    const std::vector<std::pair<int, int>> expected = {{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}};
    ASSERT_EQ(sizesOf(icons), expected);
    // Pixel for pixel the generator's files, transparency included.
    for (const omxtest::Image& icon : icons) {
        omxtest::Image file;
        ASSERT_TRUE(file.load(iconPath(std::string(OMNIVEX_BINARY_DIR) + "/icons", icon.width)));
        EXPECT_EQ(icon.rgba, file.rgba) << icon.width;
    }
}

TEST(WindowIcon, DamagedOrMissingIconFilesAreLeftOutAndTheGamePlays) {
    const omxtest::TempFolder data("icons");
    ASSERT_TRUE(data.ok());
    for (const char* folder : {"shaders", "resources"})
        fs::create_directory_symlink(fs::path(OMNIVEX_BINARY_DIR) / folder, data / folder);
    const std::string built = std::string(OMNIVEX_BINARY_DIR) + "/icons";
    const std::string icons = data / "icons";
    const std::string good48 = omxtest::readFile(iconPath(built, 48));
    ASSERT_FALSE(good48.empty());
    std::string random(good48.size(), '\0');
    for (size_t i = 0; i < random.size(); ++i) random[i] = static_cast<char>((i * 2654435761u) >> 13);
    ASSERT_TRUE(omxtest::writeFile(iconPath(icons, 16), random));
    ASSERT_TRUE(omxtest::writeFile(iconPath(icons, 24), omxtest::readFile(iconPath(built, 24)).substr(0, 200)));
    ASSERT_TRUE(omxtest::writeFile(iconPath(icons, 32), good48));  // a 48-pixel picture under the 32 name
    ASSERT_TRUE(omxtest::writeFile(iconPath(icons, 48), good48));
    ASSERT_TRUE(omxtest::writeFile(iconPath(icons, 64), ""));
    // 128 is missing.

    std::string err;
    const std::vector<omxtest::Image> offered = iconsOfTheGame({"--data", data.path()}, err);
    EXPECT_EQ(err, "") << "a damaged icon is no error worth a line";
    const std::vector<std::pair<int, int>> expected = {{48, 48}};
    EXPECT_EQ(sizesOf(offered), expected);
}

}  // namespace
