// FontGeneratorTest.cpp -- the font generator: a second run writes the same source as the build's, and a font it
// cannot read or an output it cannot write is refused with its name and leaves no file behind.
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/wait.h>

#include <gtest/gtest.h>

#include "support/Files.h"

namespace {

const std::string fontgen = "tools/fontgen/omnivex_fontgen";

// Runs the generator from the build folder with its output in `log`; gives the exit status.
int runFontgen(const std::string& arguments, const std::string& log) {
    const int status = std::system(("cd \"" OMNIVEX_BINARY_DIR "\" && ./" + fontgen + " " + arguments + " > \"" + log +
                                    "\" 2>&1")
                                       .c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(FontGenerator, ASecondRunWritesTheBuildsSource) {
    omxtest::TempFolder folder("fontgen");
    ASSERT_TRUE(folder.ok());
    ASSERT_EQ(runFontgen("\"" + folder / "FontAtlas.cpp" + "\"", folder / "log"), 0) << omxtest::readFile(folder / "log");
    const std::string again = omxtest::readFile(folder / "FontAtlas.cpp");
    EXPECT_GT(again.size(), 100000u);
    EXPECT_TRUE(again == omxtest::readFile(OMNIVEX_BINARY_DIR "/generated/FontAtlas.cpp")) << "differs run to run";
    EXPECT_EQ(omxtest::filesIn(folder.path()), (std::vector<std::string>{"FontAtlas.cpp", "log"}))
        << "a part file was left";
}

TEST(FontGenerator, RefusesAFontItCannotRead) {
    omxtest::TempFolder folder("fontgen");
    const std::string output = folder / "FontAtlas.cpp", notAFont = folder / "broken.ttf", cut = folder / "cut.ttf";
    ASSERT_TRUE(omxtest::writeFile(notAFont, "not a font"));
    const std::string dejaVu = omxtest::readFile("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
    ASSERT_GT(dejaVu.size(), 20000u);
    ASSERT_TRUE(omxtest::writeFile(cut, dejaVu.substr(0, 20000)));  // its tables reach beyond the end
    for (const std::string& font : {notAFont, cut, folder / "missing.ttf"}) {
        EXPECT_EQ(runFontgen("\"" + output + "\" \"" + font + "\"", folder / "log"), 1) << font;
        EXPECT_NE(omxtest::readFile(folder / "log").find("cannot read the font " + font), std::string::npos)
            << omxtest::readFile(folder / "log");
        EXPECT_TRUE(omxtest::readFile(output).empty()) << "an output was written";
    }
}

TEST(FontGenerator, RefusesAnOutputItCannotWrite) {
    omxtest::TempFolder folder("fontgen");
    const std::string blocked = folder / "blocked";  // a file where a folder should be
    ASSERT_TRUE(omxtest::writeFile(blocked, "x"));
    EXPECT_EQ(runFontgen("\"" + blocked + "/FontAtlas.cpp\"", folder / "log"), 1);
    EXPECT_NE(omxtest::readFile(folder / "log").find("cannot write " + blocked + "/FontAtlas.cpp"), std::string::npos)
        << omxtest::readFile(folder / "log");
    EXPECT_EQ(runFontgen("", folder / "log"), 2) << "no output named";
}
