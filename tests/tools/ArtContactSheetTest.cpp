// ArtContactSheetTest.cpp -- the contact sheet renders every model and picture through the game's loaders
// (real GL under Xvfb) and each tile of the PNG shows something.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include <stb/stb_image.h>

namespace fs = std::filesystem;

TEST(ArtContactSheet, EveryTileOfTheSheetShowsItsModelOrPicture) {
    const std::string program = std::string(OMNIVEX_BINARY_DIR) + "/tools/contactsheet/omnivex_contactsheet";
    ASSERT_TRUE(fs::exists(program)) << program << " is not built";
    const char* display = std::getenv("DISPLAY");
    ASSERT_TRUE(display && *display) << "no display: run the tests under xvfb-run";
    const fs::path output = fs::temp_directory_path() / ("omnivex-sheet-" + std::to_string(::getpid()) + ".png");
    const std::string command = "cd \"" OMNIVEX_BINARY_DIR "\" && \"" + program + "\" \"" + output.string() + "\" > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load(output.string().c_str(), &width, &height, &channels, 3);
    fs::remove(output);
    ASSERT_NE(pixels, nullptr);
    constexpr int tile = 224, label = 20, columns = 8, tiles = 54;
    EXPECT_EQ(width, columns * tile);
    EXPECT_EQ(height, 7 * (tile + label));
    // The tile background is (0.16, 0.17, 0.2); a tile whose model failed to load stays that colour.
    for (int t = 0; t < tiles; ++t) {
        const int x0 = (t % columns) * tile, y0 = (t / columns) * (tile + label);
        int drawn = 0;
        for (int y = y0; y < y0 + tile && y < height; ++y)
            for (int x = x0; x < x0 + tile; ++x) {
                const unsigned char* p = pixels + (static_cast<size_t>(y) * width + x) * 3;
                drawn += std::abs(p[0] - 41) + std::abs(p[1] - 43) + std::abs(p[2] - 51) > 30;
            }
        EXPECT_GT(drawn, tile * tile / 100) << "tile " << t << " is empty";
    }
    stbi_image_free(pixels);
}
