// ControlsPanelTest.cpp -- the controls panel teaches the player's keys, the same ones --help lists under
// "Playing:", and none of the developers' switches; its picture shows every line it says, apart and large
// enough to read where the game shows it.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "../../tools/artgen/ControlsPanel.h"
#include "ArtResources.h"
#include "app/Options.h"

namespace {

// The key column of one section of --help: each line after the heading that starts with two blanks and a key,
// up to the next blank line. Lines that carry on a description (more blanks) name no key.
std::set<std::string> helpKeys(const std::string& heading) {
    const char* argv[] = {"omnivex", "--help"};
    std::ostringstream out, err;
    answerWithoutPlaying(readCommandLine(2, argv), "omnivex", out, err);
    std::istringstream lines(out.str());
    std::set<std::string> keys;
    bool inSection = false;
    for (std::string line; std::getline(lines, line);) {
        if (line == heading) {
            inSection = true;
        } else if (inSection && line.empty()) {
            break;
        } else if (inSection && line.rfind("  ", 0) == 0 && line.size() > 2 && line[2] != ' ') {
            keys.insert(line.substr(2, line.find("  ", 2) - 2));
        }
    }
    return keys;
}

std::set<std::string> panelKeys() {
    std::set<std::string> keys;
    for (const auto& key : artgen::controlsPanelMouse) keys.insert(key.keys);
    for (const auto& key : artgen::controlsPanelFlying) keys.insert(key.keys);
    for (const auto& key : artgen::controlsPanelSwitches) keys.insert(key.keys);
    return keys;
}

TEST(ControlsPanel, ListsThePlayersKeysOfHelp) {
    const std::set<std::string> playing = helpKeys("Playing:");
    ASSERT_GE(playing.size(), 10u) << "no \"Playing:\" section in --help";
    EXPECT_EQ(panelKeys(), playing);
}

TEST(ControlsPanel, LeavesTheDevelopersSwitchesToHelp) {
    const std::set<std::string> developers = helpKeys("For developers:");
    const std::set<std::string> expected = {"F2", "F3", "F4", "F5", "F8", "F9", "F", "Right Ctrl + keypad + / - / 0"};
    EXPECT_EQ(developers, expected);
    const std::set<std::string> onPanel = panelKeys();
    for (const std::string& key : developers) EXPECT_EQ(onPanel.count(key), 0u) << key;
}

// Rows of the picture (top first) that hold text: bright texels well inside the frame. Text on the panel is
// white, gold or light blue (luminance above 170); the ground, the key boxes and the dividing line stay below 150.
std::vector<bool> textRows(const arttest::Picture& p) {
    const int margin = p.width * 3 / 64;  // inside the double frame and its corner discs
    std::vector<bool> rows(static_cast<size_t>(p.height), false);
    for (int top = margin; top < p.height - margin; ++top) {
        int bright = 0;
        for (int x = margin; x < p.width - margin; ++x) {
            const auto c = p.at(x, p.height - 1 - top);
            bright += 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2] > 170.0;
        }
        rows[static_cast<size_t>(top)] = bright >= 2;
    }
    return rows;
}

struct Band {
    int top = 0, height = 0;
};

// Lines of text: runs of text rows, where a gap of a few rows (under a thin descender) does not part a line.
std::vector<Band> bandsOf(const std::vector<bool>& rows) {
    constexpr int gapWithinLine = 4;
    std::vector<Band> bands;
    for (int y = 0; y < static_cast<int>(rows.size()); ++y) {
        if (!rows[static_cast<size_t>(y)]) continue;
        if (bands.empty() || bands.back().top + bands.back().height + gapWithinLine < y) bands.push_back({y, 0});
        bands.back().height = y - bands.back().top + 1;
    }
    return bands;
}

// The game shows the 1024-texel panel about 690 pixels tall in its 1200 x 800 window. A line whose bright core
// spans fewer than 16 texels (11 pixels there) from the top of its capitals to the foot of its descenders, or to
// its baseline when it has none, is too small to read.
constexpr int smallestReadableLine = 16;

TEST(ControlsPanel, ShowsEveryLineApartAndLargeEnoughToRead) {
    const arttest::Picture p = arttest::loadPicture("infopanel/infocontrols.tga");
    ASSERT_TRUE(p.ok);
    const std::vector<Band> bands = bandsOf(textRows(p));
    // The title, two headings, the rules (some on two lines), the mouse's two lines each, the longer column of
    // keys and the closing line.
    size_t lines = 1 + 2 + 2 * artgen::controlsPanelMouse.size() +
                   std::max(artgen::controlsPanelFlying.size(), artgen::controlsPanelSwitches.size()) + 1;
    for (const std::string rule : artgen::controlsPanelRules) lines += 1 + std::count(rule.begin(), rule.end(), '\n');
    EXPECT_EQ(bands.size(), lines) << "lines run together, or are missing";
    for (const Band& band : bands)
        EXPECT_GE(band.height, smallestReadableLine) << "the line " << band.top << " texels from the top";
}

}  // namespace
