// WindowIconTest.cpp -- the window icon's files: each size read from the build's or the install's icon folder,
// and anything that is not a PNG of its size left out.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/WindowIcon.h"
#include "support/Files.h"
#include "support/Image.h"

namespace {

// A PNG of one colour, size x size pixels.
std::string plainPng(const omxtest::TempFolder& scratch, int size, unsigned char red) {
    omxtest::Image image;
    image.width = image.height = size;
    for (int i = 0; i < size * size; ++i) image.rgba.insert(image.rgba.end(), {red, 20, 30, 255});
    const std::string path = scratch / ("plain" + std::to_string(size) + "-" + std::to_string(red) + ".png");
    EXPECT_TRUE(image.save(path));
    return omxtest::readFile(path);
}

std::vector<int> sizesOf(const std::vector<IconImage>& icons) {
    std::vector<int> sizes;
    for (const IconImage& icon : icons) sizes.push_back(icon.size);
    return sizes;
}

TEST(WindowIcon, EverySizeIsReadFromTheDataFoldersIconsOrFromBesideIt) {
    const omxtest::TempFolder scratch("icon");
    ASSERT_TRUE(scratch.ok());
    // A build folder keeps them in its own icons/, an install in share/icons beside share/omnivex.
    for (const int size : windowIconSizes()) {
        const unsigned char red = static_cast<unsigned char>(size);
        ASSERT_TRUE(omxtest::writeFile(iconFile(scratch / "build/icons/", size), plainPng(scratch, size, red)));
        ASSERT_TRUE(omxtest::writeFile(iconFile(scratch / "share/icons/", size), plainPng(scratch, size, red)));
    }
    std::filesystem::create_directories(scratch / "share/omnivex");
    for (const std::string& data : {scratch / "build/", scratch / "share/omnivex/"}) {
        const std::vector<IconImage> icons = loadWindowIcons(data);
        ASSERT_EQ(sizesOf(icons), windowIconSizes()) << data;
        for (const IconImage& icon : icons) {
            ASSERT_EQ(icon.rgba.size(), static_cast<size_t>(icon.size * icon.size * 4));
            EXPECT_EQ(icon.rgba[0], icon.size) << "the file of its own size";
            EXPECT_EQ(icon.rgba.back(), 255);
        }
    }
    EXPECT_TRUE(loadWindowIcons(scratch / "nowhere/").empty());
}

TEST(WindowIcon, AFileThatIsNotAPngOfItsSizeIsLeftOut) {
    const omxtest::TempFolder scratch("icon");
    ASSERT_TRUE(scratch.ok());
    const std::string png16 = plainPng(scratch, 16, 200);
    std::string random(png16.size(), '\0');
    for (size_t i = 0; i < random.size(); ++i) random[i] = static_cast<char>((i * 2654435761u) >> 11);
    std::string wrongHeader = png16;
    wrongHeader[1] = 'X';
    const std::pair<std::string, std::string> files[] = {
        {"good", png16},
        {"empty", ""},
        {"random", random},
        {"truncated", png16.substr(0, png16.size() / 2)},
        {"header only", png16.substr(0, 33)},
        {"not a PNG", wrongHeader},
        {"another size", plainPng(scratch, 17, 200)},
        {"a tall one", [&] {
             omxtest::Image tall;
             tall.width = 16, tall.height = 32;
             tall.rgba.assign(16 * 32 * 4, 90);
             EXPECT_TRUE(tall.save(scratch / "tall.png"));
             return omxtest::readFile(scratch / "tall.png");
         }()},
    };
    for (const auto& [name, bytes] : files) {
        const std::string path = scratch / "file.png";
        ASSERT_TRUE(omxtest::writeFile(path, bytes));
        IconImage image;
        EXPECT_EQ(readIconPng(path, 16, image), name == "good") << name;
        EXPECT_EQ(image.size, name == "good" ? 16 : 0) << name;
    }
    IconImage missing;
    EXPECT_FALSE(readIconPng(scratch / "absent.png", 16, missing));

    // Sizes whose files are damaged are left out; the rest are read.
    ASSERT_TRUE(omxtest::writeFile(iconFile(scratch / "data/icons/", 16), random));
    ASSERT_TRUE(omxtest::writeFile(iconFile(scratch / "data/icons/", 32), plainPng(scratch, 32, 1)));
    ASSERT_TRUE(omxtest::writeFile(iconFile(scratch / "data/icons/", 48), plainPng(scratch, 16, 1)));
    EXPECT_EQ(sizesOf(loadWindowIcons(scratch / "data/")), std::vector<int>{32});
}

// The art generator's own icons, as the build makes them: every size, with the transparent corners kept.
TEST(WindowIcon, TheGeneratedIconIsReadAtEverySize) {
    const std::vector<IconImage> icons = loadWindowIcons(std::string(OMNIVEX_BINARY_DIR) + "/");
    ASSERT_EQ(sizesOf(icons), windowIconSizes());
    for (const IconImage& icon : icons) EXPECT_EQ(icon.rgba[3], 0) << "the top-left corner is transparent";
}

}  // namespace
