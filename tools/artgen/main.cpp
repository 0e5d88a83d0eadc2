// main.cpp -- omnivex_artgen: writes every OBJ model and TGA texture of the game into one folder.
// Usage: omnivex_artgen <resource folder>   (creates models/ and textures/ below it)
//        omnivex_artgen --icons <icon folder> (creates hicolor/<N>x<N>/apps/omnivex.png below it)
// Fixed seeds throughout: two runs write identical bytes.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "Icon.h"
#include "Models.h"
#include "Textures.h"

namespace {

using artgen::Image;

bool failed = false;

void reportFailure(const std::string& path) {
    std::fprintf(stderr, "omnivex_artgen: cannot write %s\n", path.c_str());
    failed = true;
}

void writeModel(const std::filesystem::path& root, const std::string& name, const std::vector<artgen::Mesh>& meshes) {
    const std::string path = (root / "models" / name).string();
    if (!artgen::writeObj(path, meshes)) return reportFailure(path);
    std::printf("  %-26s %2zu meshes %5zu triangles\n", name.c_str(), meshes.size(), artgen::triangleCount(meshes));
}

void writeTexture(const std::filesystem::path& root, const std::string& name, const Image& image, bool alpha) {
    const std::filesystem::path path = root / "textures" / name;
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (!artgen::writeTga(path.string(), image, alpha)) reportFailure(path.string());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--icons") {
        if (!artgen::writeIcons(argv[2])) {
            std::fprintf(stderr, "omnivex_artgen: cannot write the icons into %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <resource folder>\n       %s --icons <icon folder>\n", argv[0], argv[0]);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const std::filesystem::path root(argv[1]);
    for (const char* folder : {"models", "textures"}) {
        std::error_code error;
        std::filesystem::create_directories(root / folder, error);
        if (!std::filesystem::is_directory(root / folder)) {
            std::fprintf(stderr, "omnivex_artgen: cannot create the folder %s\n", (root / folder).string().c_str());
            return 1;
        }
    }

    const char* fontDir = "/usr/share/fonts/truetype/dejavu/";
    const artgen::Font regular(std::string(fontDir) + "DejaVuSans.ttf");
    const artgen::Font bold(std::string(fontDir) + "DejaVuSans-Bold.ttf");
    if (!regular.ok() || !bold.ok()) {
        std::fprintf(stderr, "omnivex_artgen: cannot read the DejaVu fonts in %s (package fonts-dejavu-core)\n", fontDir);
        return 1;
    }

    std::printf("omnivex_artgen: models\n");
    writeModel(root, "goodbobob2.obj", artgen::buildPerson(true));
    writeModel(root, "badbobob3.obj", artgen::buildPerson(false));
    writeModel(root, "MediumPolyTree2.obj", artgen::buildTree());
    writeModel(root, "moai_duplicated.obj", artgen::buildMoai());
    writeModel(root, "holygrenade2.obj", artgen::buildGrenade());
    writeModel(root, "holygrenadeborder2.obj", artgen::buildGrenadeBorder());
    writeModel(root, "wall7.obj", artgen::buildWall());
    writeModel(root, "groundborder.obj", artgen::buildGroundBorder());

    writeTexture(root, "ground/ground2halfglow.tga", artgen::paintGround(), false);
    writeTexture(root, "ground/groundborderglow.tga", artgen::paintGroundBorderGlow(), false);
    writeTexture(root, "infopanel/infocontrols.tga", artgen::paintControlsPanel(regular, bold), false);
    writeTexture(root, "infopanel/infowin.tga", artgen::paintWinPanel(regular, bold), false);
    writeTexture(root, "infopanel/infolose.tga", artgen::paintLosePanel(regular, bold), false);
    writeTexture(root, "peoplegood/goodbobob.tga", artgen::paintPerson(true), false);
    writeTexture(root, "peoplebad/badbobob2.tga", artgen::paintPerson(false), false);
    writeTexture(root, "tree/leaf3.tga", artgen::paintLeafColour(), false);
    writeTexture(root, "tree/leafalpha.tga", artgen::paintLeafAlpha(), true);
    writeTexture(root, "tree/bark.tga", artgen::paintBark(), false);
    writeTexture(root, "moai/moai.tga", artgen::paintMoai(), false);
    writeTexture(root, "lightning/lightning5.tga", artgen::paintLightning(true), true);
    writeTexture(root, "lightning/lightningalpha5.tga", artgen::paintLightningAlpha(true), true);
    writeTexture(root, "lightning/lightning2.tga", artgen::paintLightning(false), true);
    writeTexture(root, "lightning/lightningalpha2.tga", artgen::paintLightningAlpha(false), true);
    writeTexture(root, "projection/projection1.tga", artgen::paintProjection(true), false);
    writeTexture(root, "projection/projection2.tga", artgen::paintProjection(false), false);
    writeTexture(root, "holygrenade/holygrenade2.tga", artgen::paintGrenade(false), false);
    writeTexture(root, "holygrenade/holygrenade3.tga", artgen::paintGrenade(true), false);
    writeTexture(root, "stonewall/stonegood3.tga", artgen::paintStone(true), false);
    writeTexture(root, "stonewall/stonebad3.tga", artgen::paintStone(false), false);
    const auto sky = artgen::paintSky(512);
    const char* faceNames[6] = {"xpos", "xneg", "ypos", "yneg", "zpos", "zneg"};
    for (int face = 0; face < 6; ++face)
        writeTexture(root, std::string("skyboxgood/") + faceNames[face] + ".tga", sky[static_cast<size_t>(face)], false);

    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("omnivex_artgen: %s in %.2f s\n", failed ? "FAILED" : "models and textures written", seconds);
    return failed ? 1 : 0;
}
