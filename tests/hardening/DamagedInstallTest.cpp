// DamagedInstallTest.cpp -- the real game started from an install with one file missing, empty, truncated or
// random: a damaged texture or model is reported and the game plays on; a shader or sound is reported and the
// game ends with its status, except the overlay's, without which the game plays on without its status display.
// Never a signal, never a hang.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "support/EndToEnd.h"
#include "support/Files.h"
#include "support/Image.h"
#include "support/Wait.h"

namespace {

enum Damage { Missing, Empty, Truncated, RandomBytes };
const char* const damageName[] = {"missing", "empty", "truncated", "random"};

// Links (or, across file systems, copies) the build's resources/ and shaders/ into `folder`, then replaces the
// file at `relativePath`, never writing through a link. Random bytes keep the length and come from a fixed seed.
bool makeDamagedInstall(const std::string& folder, const std::string& relativePath, Damage damage, size_t keepBytes) {
    const std::string build = OMNIVEX_BINARY_DIR;
    const std::string copy = "'" + build + "/resources' '" + build + "/shaders' '" + folder + "/'";
    const std::string command =
        "cp -al " + copy + " 2>/dev/null || { rm -rf '" + folder + "'/* && cp -a " + copy + "; }";
    if (std::system(command.c_str())) return false;
    const std::string path = folder + "/" + relativePath;
    std::string bytes = omxtest::readFile(path);
    if (bytes.empty() || unlink(path.c_str()) != 0) return false;
    std::mt19937 random(20261206u);
    switch (damage) {
        case Damage::Missing: return true;
        case Damage::Empty: bytes.clear(); break;
        case Damage::Truncated: bytes.resize(keepBytes ? keepBytes : bytes.size() / 2); break;
        case Damage::RandomBytes:
            for (char& c : bytes) c = static_cast<char>(random() & 0xff);
            break;
    }
    return omxtest::writeFile(path, bytes);
}

constexpr double timeout = 120.0;  // two games start side by side on two busy cores

struct Case {
    const char* file;  // below the install folder
    Damage damage;
    size_t keepBytes;  // of a truncated file; 0 keeps half
    int status;        // 0: the game plays on until Escape; otherwise the status it ends with by itself
    std::string out, err;  // text that must appear on standard output and standard error
};

std::string caseName(const testing::TestParamInfo<Case>& info) {
    const std::string file = info.param.file;
    std::string name;
    for (char c : file.substr(file.find_last_of('/') + 1))
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    name += std::string("_") + damageName[info.param.damage];
    if (info.param.keepBytes) name += "_to_" + std::to_string(info.param.keepBytes);
    return name;
}

void PrintTo(const Case& c, std::ostream* out) { *out << caseName({c, 0}); }

// The model is cut inside a face line, so the last face keeps one corner.
size_t faceCut(const std::string& relativePath) {
    const std::string text = omxtest::readFile(std::string(OMNIVEX_BINARY_DIR) + "/" + relativePath);
    const size_t face = text.find("\nf ", text.size() / 2);
    return face == std::string::npos ? 0 : face + 4;
}

const char* const texture = "resources/textures/moai/moai.tga";
const char* const model = "resources/models/moai_duplicated.obj";
const char* const shader = "shaders/skyboxshader.frag";
const char* const overlayShader = "shaders/overlayshader.frag";
const char* const sound = "resources/sounds/SoundApple.mp3";
const std::string soundUnread = std::string("Sound error! (Mix_LoadWAV_RW ") + sound + ") ";
const std::string notCompiled = "Could not compile shader program.\n";

const std::vector<Case> cases = {
    {texture, Damage::RandomBytes, 0, 0, "", std::string("image load failed: ") + texture + "\n"},
    {model, Damage::Truncated, 1, 0, "", std::string("model load failed: ") + model + ": line "},
    {shader, Damage::Missing, 0, 1, "", std::string("Fragment shader file ") + shader + " does not exist.\n" +
                                            notCompiled},
    {shader, Damage::Empty, 0, 1, "Shader compilation failed.", notCompiled},
    // Without the overlay's program the world is played without the status display.
    {overlayShader, Damage::Missing, 0, 0, "fbo recreate",
     std::string("Fragment shader file ") + overlayShader + " does not exist.\n"},
    {sound, Damage::Missing, 0, 255, std::string("Sound error! (SDL_RWFromFile ") + sound + ") ", ""},
    {sound, Damage::RandomBytes, 0, 255, soundUnread, ""},
    // Cut inside its first frames the file has no sound left; cut after whole frames it is a shorter sound.
    {sound, Damage::Truncated, 200, 255, soundUnread, ""},
    {sound, Damage::Truncated, 0, 0, "fbo recreate", ""},
};

class DamagedInstall : public testing::TestWithParam<Case> {};

TEST_P(DamagedInstall, ReportsTheFileAndGoesOnOrEndsAsDesigned) {
    const Case& c = GetParam();
    const omxtest::TempFolder install("install-" + caseName({c, 0}));
    ASSERT_TRUE(install.ok());
    ASSERT_TRUE(makeDamagedInstall(install.path(), c.file, c.damage, c.keepBytes == 1 ? faceCut(c.file) : c.keepBytes));

    omxtest::VirtualDisplay display;
    ASSERT_TRUE(display.ok());
    omxtest::GameProcess game({}, display.name(), install.path());
    if (c.status == 0) {
        ASSERT_TRUE(game.waitForOutput("fbo recreate", timeout)) << game.standardOutput() << game.standardError();
        ASSERT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex", 30.0));
        // Soon the window shows the world: sky and ground, not a blank picture.
        const std::string png = omxtest::scratchFolder() + "/" + caseName({c, 0}) + ".png";
        omxtest::Image image;
        const auto skyDrawn = [&] {
            return omxtest::screenshotWindow(display.name(), "Omnivex", png) && image.load(png) &&
                   image.meanBrightness(0, 0, image.width, image.height / 2) > 20.0;
        };
        omxtest::waitUntil(skyDrawn, 30.0, 0.25);
        ASSERT_TRUE(image.load(png)) << "no screenshot of the window";
        EXPECT_GT(image.meanBrightness(0, 0, image.width, image.height / 2), 20.0) << "the sky is not drawn";
        EXPECT_EQ(omxtest::xdotool(display.name(), "key Escape"), 0);
    }
    EXPECT_EQ(game.waitForExit(timeout), c.status)
        << game.standardOutput() << game.standardError();
    EXPECT_NE(game.standardOutput().find(c.out), std::string::npos) << game.standardOutput();
    EXPECT_NE(game.standardError().find(c.err), std::string::npos) << game.standardError();
    // The failure is one line naming the file, not a burst of lines.
    EXPECT_LE(game.standardError().size(), 400u) << game.standardError();
}

INSTANTIATE_TEST_SUITE_P(EveryAssetFolder, DamagedInstall, testing::ValuesIn(cases), caseName);

}  // namespace
