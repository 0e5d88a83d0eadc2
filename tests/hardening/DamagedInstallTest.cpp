// DamagedInstallTest.cpp -- the real game started from an install with one damaged file: a texture, a model, a
// shader and a sound, each missing, empty, truncated and replaced by random bytes. Textures and models are
// reported and the game plays on; shaders and sounds are reported and the game ends with its status.
// Never a signal, never a hang.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/EndToEnd.h"
#include "support/Files.h"
#include "support/Image.h"

namespace {

enum class Damage { Missing, Empty, Truncated, RandomBytes };

const char* damageName(Damage damage) {
    const char* const names[] = {"missing", "empty", "truncated", "random"};
    return names[static_cast<int>(damage)];
}

// Copies the build folder's resources/ and shaders/ into `folder` (hard links where the file system allows, a
// plain copy where the temporary folder is on another one), then damages the file at `relativePath`, always
// replacing it, never writing through a link. A truncated file keeps its first `keepBytes` bytes (half the file
// when keepBytes is 0); random bytes have the file's own length and come from a fixed seed.
bool makeDamagedInstall(const std::string& folder, const std::string& relativePath, Damage damage, size_t keepBytes) {
    const std::string build = OMNIVEX_BINARY_DIR;
    const std::string copy = "'" + build + "/resources' '" + build + "/shaders' '" + folder + "/'";
    if (std::system(("cp -al " + copy + " 2>/dev/null || { rm -rf '" + folder + "'/* && cp -a " + copy + "; }").c_str()))
        return false;
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

constexpr double startTimeout = 120.0;  // two games start side by side on two busy cores
constexpr double exitTimeout = 60.0;

enum class Outcome { PlaysOn, EndsWithStatus1, EndsWithStatus255 };

struct Case {
    const char* file;       // below the install folder
    Damage damage;
    size_t keepBytes;       // of a truncated file; 0 keeps half
    Outcome outcome;
    const char* stream;     // "out" or "err": where the expected text appears
    std::string expected;   // text that must appear there
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.file << " " << damageName(c.damage) << " (kept " << c.keepBytes << ")";
}

std::string caseName(const testing::TestParamInfo<Case>& info) {
    std::string file = info.param.file;
    file = file.substr(file.find_last_of('/') + 1);
    std::string name;
    for (char c : file) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    name += std::string("_") + damageName(info.param.damage);
    if (info.param.keepBytes) name += "_to_" + std::to_string(info.param.keepBytes);
    return name;
}

// The model is cut inside a face line, so the last face keeps one corner.
size_t faceCut(const std::string& relativePath) {
    const std::string text = omxtest::readFile(std::string(OMNIVEX_BINARY_DIR) + "/" + relativePath);
    const size_t face = text.find("\nf ", text.size() / 2);
    return face == std::string::npos ? 0 : face + 4;
}

const char* const texture = "resources/textures/moai/moai.tga";
const char* const model = "resources/models/moai_duplicated.obj";
const char* const shader = "shaders/skyboxshader.frag";
const char* const sound = "resources/sounds/SoundApple.mp3";

const std::string textureLine = std::string("image load failed: ") + texture + "\n";
const std::string modelLine = std::string("model load failed: ") + model + ": ";
const std::string soundUnread = std::string("Sound error! (Mix_LoadWAV_RW ") + sound + ") ";

const std::vector<Case> cases = {
    {texture, Damage::Missing, 0, Outcome::PlaysOn, "err", textureLine},
    {texture, Damage::Empty, 0, Outcome::PlaysOn, "err", textureLine},
    {texture, Damage::Truncated, 0, Outcome::PlaysOn, "err", textureLine},
    {texture, Damage::RandomBytes, 0, Outcome::PlaysOn, "err", textureLine},
    {model, Damage::Missing, 0, Outcome::PlaysOn, "err", modelLine + "the file cannot be opened\n"},
    {model, Damage::Empty, 0, Outcome::PlaysOn, "err", modelLine + "the file is empty\n"},
    {model, Damage::Truncated, 1, Outcome::PlaysOn, "err", modelLine + "line "},
    {model, Damage::RandomBytes, 0, Outcome::PlaysOn, "err", modelLine + "line 1: "},
    {shader, Damage::Missing, 0, Outcome::EndsWithStatus1, "err",
     "Fragment shader file shaders/skyboxshader.frag does not exist.\nCould not compile shader program.\n"},
    {shader, Damage::Empty, 0, Outcome::EndsWithStatus1, "out", "Shader compilation failed."},
    {shader, Damage::Truncated, 0, Outcome::EndsWithStatus1, "out", "Shader compilation failed."},
    {shader, Damage::RandomBytes, 0, Outcome::EndsWithStatus1, "out", "Shader compilation failed."},
    {sound, Damage::Missing, 0, Outcome::EndsWithStatus255, "out", std::string("Sound error! (SDL_RWFromFile ") + sound + ") "},
    {sound, Damage::Empty, 0, Outcome::EndsWithStatus255, "out", soundUnread},
    // Cut inside its first frames the file has no sound left; cut after whole frames it is a shorter sound.
    {sound, Damage::Truncated, 200, Outcome::EndsWithStatus255, "out", soundUnread},
    {sound, Damage::Truncated, 0, Outcome::PlaysOn, "out", "fbo recreate"},
    {sound, Damage::RandomBytes, 0, Outcome::EndsWithStatus255, "out", soundUnread},
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
    const auto output = [&game, &c] {
        return std::string(c.stream) == "out" ? game.standardOutput() : game.standardError();
    };

    if (c.outcome == Outcome::PlaysOn) {
        ASSERT_TRUE(game.waitForOutput("fbo recreate", startTimeout)) << game.standardOutput() << game.standardError();
        ASSERT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex", 30.0));
        // A moment later the window shows the world: sky and ground, not a blank picture.
        std::this_thread::sleep_for(std::chrono::seconds(2));
        const std::string png = omxtest::scratchFolder() + "/" + caseName({c, 0}) + ".png";
        ASSERT_TRUE(omxtest::screenshotWindow(display.name(), "Omnivex", png));
        omxtest::Image image;
        ASSERT_TRUE(image.load(png));
        EXPECT_GT(image.meanBrightness(0, 0, image.width, image.height / 2), 20.0) << "the sky is not drawn";
        EXPECT_EQ(omxtest::xdotool(display.name(), "key Escape"), 0);
        EXPECT_EQ(game.waitForExit(exitTimeout), 0) << game.standardOutput() << game.standardError();
    } else {
        const int status = c.outcome == Outcome::EndsWithStatus1 ? 1 : 255;
        EXPECT_EQ(game.waitForExit(startTimeout), status) << game.standardOutput() << game.standardError();
    }
    EXPECT_NE(output().find(c.expected), std::string::npos) << output();
    if (c.outcome == Outcome::EndsWithStatus1) {
        EXPECT_NE(game.standardError().find("Could not compile shader program.\n"), std::string::npos);
    }
    // The failure is one line naming the file, not a burst of lines.
    EXPECT_LE(game.standardError().size(), 400u) << game.standardError();
}

INSTANTIATE_TEST_SUITE_P(EveryAssetFolder, DamagedInstall, testing::ValuesIn(cases), caseName);

}  // namespace
