// InstallTest.cpp -- the game installed to a prefix and unpacked from its Debian package: the files a desktop
// expects, valid by their checkers, and the program started from a folder without data to its first frame.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "support/EndToEnd.h"
#include "support/Files.h"
#include "support/Image.h"

namespace fs = std::filesystem;

namespace {

const std::string appId = "io.github.omnivex.Omnivex";

struct Command {
    int status = -1;
    std::string output;  // standard output and error together
};

Command run(const std::string& command) {
    Command result;
    if (FILE* pipe = popen(("{ " + command + "; } 2>&1").c_str(), "r")) {
        std::array<char, 4096> buffer;
        for (size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) result.output.append(buffer.data(), n);
        const int status = pclose(pipe);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return result;
}

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

class Install : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(scratch.ok()); }

    // Starts the program from / (which holds no data) to its first frame, checks that it read its models from
    // `dataFolder` and missed no file, and ends it with Escape.
    void playFromRoot(const fs::path& program, const fs::path& dataFolder) {
        ASSERT_TRUE(fs::is_regular_file(program)) << program;
        omxtest::VirtualDisplay display;
        ASSERT_TRUE(display.ok());
        omxtest::GameProcess game({"--seed", "7"}, display.name(), "/", program.string());
        ASSERT_TRUE(game.waitForOutput("fbo recreate", 60.0)) << game.standardOutput() << game.standardError();
        EXPECT_EQ(game.standardError(), "");
        EXPECT_NE(game.standardOutput().find("Loading: " + (dataFolder / "resources" / "models").string() + "/"),
                  std::string::npos)
            << game.standardOutput();
        EXPECT_TRUE(omxtest::waitForWindow(display.name(), "Omnivex", 10.0));
        EXPECT_EQ(omxtest::xdotool(display.name(), "key Escape"), 0);
        EXPECT_EQ(game.waitForExit(30.0), 0) << game.standardError();
    }

    // The desktop entry, metainfo, icons and manual page below `share`, each as its checker wants it.
    void expectDesktopFiles(const fs::path& share) {
        const Command desktop = run("desktop-file-validate " + quoted(share / "applications" / (appId + ".desktop")));
        EXPECT_EQ(std::make_pair(desktop.status, desktop.output), std::make_pair(0, std::string()));
        const Command metainfo =
            run("appstreamcli validate --no-net " + quoted(share / "metainfo" / (appId + ".metainfo.xml")));
        EXPECT_EQ(metainfo.status, 0) << metainfo.output;
        for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
            const std::string name = std::to_string(size) + "x" + std::to_string(size);
            omxtest::Image icon;
            ASSERT_TRUE(icon.load((share / "icons" / "hicolor" / name / "apps" / "omnivex.png").string())) << name;
            EXPECT_EQ(std::make_pair(icon.width, icon.height), std::make_pair(size, size));
        }
        const fs::path manual = share / "man" / "man6" / "omnivex.6.gz";
        ASSERT_TRUE(fs::is_regular_file(manual));
        const Command page = run("MANWIDTH=80 man --warnings -l " + quoted(manual) + " 2>&1 >/dev/null");
        EXPECT_EQ(std::make_pair(page.status, page.output), std::make_pair(0, std::string())) << "manual page mistakes";
        EXPECT_TRUE(fs::is_regular_file(share / "doc" / "omnivex" / "copyright"));
    }

    omxtest::TempFolder scratch{"install"};
    fs::path root{scratch.path()};
};

TEST_F(Install, TheInstalledGameStartsFromAnyFolderAndStillAfterItsPrefixMoved) {
    const Command install = run(std::string(OMNIVEX_CMAKE) + " --install '" OMNIVEX_BINARY_DIR "' --prefix " +
                                quoted(root / "prefix"));
    ASSERT_EQ(install.status, 0) << install.output;
    expectDesktopFiles(root / "prefix" / "share");

    fs::rename(root / "prefix", root / "moved");
    playFromRoot(root / "moved" / "bin" / "omnivex", root / "moved" / "share" / "omnivex");
}

TEST_F(Install, TheDebianPackageIsCleanAndItsUnpackedGameStarts) {
    const Command pack = run(std::string(OMNIVEX_CPACK) + " --config '" OMNIVEX_BINARY_DIR
                             "/CPackConfig.cmake' -G DEB -B " + quoted(root / "package"));
    ASSERT_EQ(pack.status, 0) << pack.output;
    const fs::path deb = root / "package" / ("omnivex_" OMNIVEX_VERSION "_amd64.deb");
    ASSERT_TRUE(fs::is_regular_file(deb)) << pack.output;

    // The libraries the program links come from the program itself.
    const Command depends = run("dpkg-deb -f " + quoted(deb) + " Depends Section");
    EXPECT_EQ(depends.status, 0);
    for (const char* library :
         {"libglfw3", "libsdl2-mixer-2.0-0", "libassimp5", "libepoxy0", "libc6", "Section: games"})
        EXPECT_NE(depends.output.find(library), std::string::npos) << library << " in " << depends.output;
    const Command version = run("dpkg-deb -f " + quoted(deb) + " Version");
    EXPECT_EQ(version.output, OMNIVEX_VERSION "\n");
    const Command lintian = run("lintian --fail-on error " + quoted(deb));
    EXPECT_EQ(lintian.status, 0) << lintian.output;

    const Command unpack = run("dpkg-deb -x " + quoted(deb) + " " + quoted(root / "unpacked"));
    ASSERT_EQ(unpack.status, 0) << unpack.output;
    const fs::path usr = root / "unpacked" / "usr";
    EXPECT_FALSE(fs::exists(usr / "bin")) << "Debian keeps games in /usr/games";
    expectDesktopFiles(usr / "share");
    playFromRoot(usr / "games" / "omnivex", usr / "share" / "omnivex");
}

// The version is written once, in CMake's project(): the program, the manual page, the metainfo's release, the
// changelog and the package all carry that one, and the templates they are made from write none of their own.
TEST(Version, ProgramManualPageMetainfoChangelogAndPackageAgree) {
    const std::string version = OMNIVEX_VERSION;
    const Command program = run("'" OMNIVEX_GAME_BINARY "' --version");
    EXPECT_EQ(program.output, "omnivex " + version + "\n");
    const std::string dist = std::string(OMNIVEX_BINARY_DIR) + "/dist/";
    const std::string manual = omxtest::readFile(dist + "omnivex.6");
    EXPECT_EQ(manual.substr(0, manual.find('\n')),
              ".TH OMNIVEX 6 \"December 2026\" \"Omnivex " + version + "\" \"Games\"");
    const std::string metainfo = omxtest::readFile(dist + appId + ".metainfo.xml");
    const size_t release = metainfo.find("<release ");
    ASSERT_NE(release, std::string::npos) << metainfo;
    EXPECT_EQ(metainfo.substr(release, 19 + version.size()), "<release version=\"" + version + "\"");
    const std::string changelog = omxtest::readFile(dist + "changelog");
    EXPECT_EQ(changelog.substr(0, changelog.find(')') + 1), "omnivex (" + version + ")");
    const std::string cpack = omxtest::readFile(std::string(OMNIVEX_BINARY_DIR) + "/CPackConfig.cmake");
    EXPECT_NE(cpack.find("set(CPACK_PACKAGE_VERSION \"" + version + "\")"), std::string::npos);

    const std::regex anyVersion("[0-9]+\\.[0-9]+\\.[0-9]+");
    const std::vector<std::string> templates = {"omnivex.6.in", "changelog.in", appId + ".metainfo.xml.in"};
    for (const std::string& name : templates) {
        const std::string text = omxtest::readFile(std::string(OMNIVEX_SOURCE_DIR) + "/dist/" + name);
        EXPECT_NE(text.find("@PROJECT_VERSION@"), std::string::npos) << name;
        std::smatch found;
        EXPECT_FALSE(std::regex_search(text, found, anyVersion)) << name << " writes " << found.str();
    }
}

}  // namespace
