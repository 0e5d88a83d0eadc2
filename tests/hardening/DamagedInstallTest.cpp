// DamagedInstallTest.cpp -- the real game started from an install with one damaged file: a texture, a model, a
// shader and a sound, each missing, empty, truncated and replaced by random bytes. Textures and models are
// reported and the game plays on; shaders and sounds are reported and the game ends with its status.
// Never a signal, never a hang.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <thread>
#include <string>
#include <vector>

#include "DamagedInstall.h"
#include "HardeningFiles.h"
#include "support/EndToEnd.h"
#include "support/Screenshot.h"

using hardening::Damage;

namespace {

constexpr double startTimeout = 120.0;  // two games start side by side on two busy cores
constexpr double exitTimeout = 60.0;

enum class Outcome { PlaysOn, EndsWithStatus1, EndsWithStatus255 };

struct Case {
    const char* file;       // below the install folder
    Damage damage;
    size_t keepBytes;       // of a truncated file; 0 keeps half
    Outcome outcome;
    const char* stream;     // "out" or "err": where the expected text appears
    const char* expected;   // text that must appear there
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.file << " " << hardening::damageName(c.damage) << " (kept " << c.keepBytes << ")";
}

std::string caseName(const testing::TestParamInfo<Case>& info) {
    std::string file = info.param.file;
    file = file.substr(file.find_last_of('/') + 1);
    std::string name;
    for (char c : file) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    name += std::string("_") + hardening::damageName(info.param.damage);
    if (info.param.keepBytes) name += "_to_" + std::to_string(info.param.keepBytes);
    return name;
}

// The model is cut inside a face line, so the last face keeps one corner.
size_t faceCut(const std::string& relativePath) {
    const std::string text = hardening::readFile(std::string(OMNIVEX_BINARY_DIR) + "/" + relativePath);
    const size_t face = text.find("\nf ", text.size() / 2);
    return face == std::string::npos ? 0 : face + 4;
}

const char* const texture = "resources/textures/moai/moai.tga";
const char* const model = "resources/models/moai_duplicated.obj";
const char* const shader = "shaders/skyboxshader.frag";
const char* const sound = "resources/sounds/SoundApple.mp3";

const std::vector<Case> cases = {
    {texture, Damage::Missing, 0, Outcome::PlaysOn, "err", "image load failed: resources/textures/moai/moai.tga\n"},
    {texture, Damage::Empty, 0, Outcome::PlaysOn, "err", "image load failed: resources/textures/moai/moai.tga\n"},
    {texture, Damage::Truncated, 0, Outcome::PlaysOn, "err", "image load failed: resources/textures/moai/moai.tga\n"},
    {texture, Damage::RandomBytes, 0, Outcome::PlaysOn, "err",
     "image load failed: resources/textures/moai/moai.tga\n"},
    {model, Damage::Missing, 0, Outcome::PlaysOn, "err",
     "model load failed: resources/models/moai_duplicated.obj: the file cannot be opened\n"},
    {model, Damage::Empty, 0, Outcome::PlaysOn, "err",
     "model load failed: resources/models/moai_duplicated.obj: the file is empty\n"},
    {model, Damage::Truncated, 1, Outcome::PlaysOn, "err", "model load failed: resources/models/moai_duplicated.obj: line "},
    {model, Damage::RandomBytes, 0, Outcome::PlaysOn, "err",
     "model load failed: resources/models/moai_duplicated.obj: line 1: "},
    {shader, Damage::Missing, 0, Outcome::EndsWithStatus1, "err",
     "Fragment shader file shaders/skyboxshader.frag does not exist.\nCould not compile shader program.\n"},
    {shader, Damage::Empty, 0, Outcome::EndsWithStatus1, "out", "Shader compilation failed."},
    {shader, Damage::Truncated, 0, Outcome::EndsWithStatus1, "out", "Shader compilation failed."},
    {shader, Damage::RandomBytes, 0, Outcome::EndsWithStatus1, "out", "Shader compilation failed."},
    {sound, Damage::Missing, 0, Outcome::EndsWithStatus255, "out",
     "Sound error! (SDL_RWFromFile resources/sounds/SoundApple.mp3) "},
    {sound, Damage::Empty, 0, Outcome::EndsWithStatus255, "out",
     "Sound error! (Mix_LoadWAV_RW resources/sounds/SoundApple.mp3) "},
    // Cut inside its first frames the file has no sound left; cut after whole frames it is a shorter sound.
    {sound, Damage::Truncated, 200, Outcome::EndsWithStatus255, "out",
     "Sound error! (Mix_LoadWAV_RW resources/sounds/SoundApple.mp3) "},
    {sound, Damage::Truncated, 0, Outcome::PlaysOn, "out", "fbo recreate"},
    {sound, Damage::RandomBytes, 0, Outcome::EndsWithStatus255, "out",
     "Sound error! (Mix_LoadWAV_RW resources/sounds/SoundApple.mp3) "},
};

class DamagedInstall : public testing::TestWithParam<Case> {};

TEST_P(DamagedInstall, ReportsTheFileAndGoesOnOrEndsAsDesigned) {
    const Case& c = GetParam();
    hardening::Install install(caseName({c, 0}));
    ASSERT_TRUE(install.ok());
    const size_t keep = c.keepBytes == 1 ? faceCut(c.file) : c.keepBytes;
    ASSERT_TRUE(install.damage(c.file, c.damage, keep));

    omxtest::VirtualDisplay display;
    ASSERT_TRUE(display.ok());
    omxtest::GameProcess game({}, display.name(), install.folder());
    const auto output = [&game, &c] {
        return std::string(c.stream) == "out" ? game.standardOutput() : game.standardError();
    };

    if (c.outcome == Outcome::PlaysOn) {
        ASSERT_TRUE(game.waitForOutput("fbo recreate", startTimeout)) << game.standardOutput() << game.standardError();
        ASSERT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex", 30.0));
        // A moment later the window shows the world: sky and ground, not a blank picture.
        std::this_thread::sleep_for(std::chrono::seconds(2));
        const std::string png = hardening::scratchDirectory() + "/" + caseName({c, 0}) + ".png";
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
